#include "ui/control_table.h"

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

TEST(ControlTable, CreationStateAndPlaces) {
  const MainControl* generate = FindControl(kGenerateButtonId);
  EXPECT_EQ(generate->text, "Generate EEPROM File");
  EXPECT_TRUE(generate->createdDisabled);
  EXPECT_TRUE(FindControl(35101)->createdDisabled);  // "Enable keyboard": display only
  EXPECT_TRUE(FindControl(35198)->createdDisabled);
  EXPECT_FALSE(FindControl(35102)->createdDisabled);
  for (int id : {35084, 35187, 35193}) EXPECT_TRUE(FindControl(id)->digitsOnly) << id;
  EXPECT_FALSE(FindControl(35119)->digitsOnly);
  const MainControl* anyKey = FindControl(35081);
  EXPECT_EQ(anyKey->width, 220);
  const MainControl* pointDev = FindControl(35166);
  EXPECT_EQ(pointDev->x, 600);
  EXPECT_EQ(pointDev->y, 480);
  EXPECT_EQ(pointDev->width, 100);
  int labels = 0;
  for (const MainControl& c : ControlTable())
    if (c.kind == MainControlKind::Label && c.id == 0) ++labels;
  EXPECT_EQ(labels, 16 + 8 + 2 + 7 + 4);  // matrix labels, "Sns"/"Drv", settings, "Led n:"
}

TEST(ControlTable, MatrixGeometry) {
  const KeyButtonPlace first = KeyButtonAt(0, 0);
  const KeyButtonPlace last = KeyButtonAt(15, 7);
  EXPECT_EQ(first.id, 34560);
  EXPECT_EQ(last.id, 34687);
  EXPECT_EQ(last.x + last.width, 196);
  EXPECT_EQ(last.y + last.height, 356);
  const KeyButtonPlace p = KeyButtonAt(3, 5);
  EXPECT_EQ(p.x, 140);
  EXPECT_EQ(p.y, 100);
  EXPECT_EQ(KeyButtonIndex(p.id), 29);
  EXPECT_EQ(KeyButtonIndex(34559), -1);
  EXPECT_EQ(KeyButtonIndex(34688), -1);
}

}  // namespace
}  // namespace veltrane::ui
