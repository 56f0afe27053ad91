#include "ui/main_window/control_table.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrane::ui {
namespace {

TEST(ControlTable, IdsAreUniqueAndEveryMirroredControlHasItsKind) {
  std::set<int> ids;
  for (const MainControl& c : ControlTable()) {
    if (c.id == 0) continue;
    EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    EXPECT_EQ(KeyButtonIndex(c.id), -1) << c.id << " inside the matrix ids";
  }
  auto expectKind = [](int id, MainControlKind kind) {
    const MainControl* c = FindControl(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->kind, kind) << id;
  };
  for (const auto& b : kCheckBoxBindings) expectKind(b.id, MainControlKind::CheckBox);
  for (const auto& b : kEditFieldBindings) expectKind(b.id, MainControlKind::Edit);
  for (const auto& b : kComboBoxBindings) expectKind(b.id, MainControlKind::ComboBox);
  for (int id : kLedButtonIds) expectKind(id, MainControlKind::LedButton);
  expectKind(kGenerateButtonId, MainControlKind::PushButton);
  expectKind(kProgramVersionLabelId, MainControlKind::Label);
  EXPECT_EQ(FindControl(0), nullptr);
}

}  // namespace
}  // namespace veltrane::ui
