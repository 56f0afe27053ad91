// SPDX-License-Identifier: MIT
#include "ui/main_window/control_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "model/settings_schema.h"
#include "ui/dialogs/about_dialog_model.h"
#include "ui/dialogs/file_chooser_model.h"
#include "ui/dialogs/led_dialog_model.h"
#include "ui/dialogs/pointing_device_dialog_model.h"
#include "ui/keyedit/key_settings_model.h"
#include "ui/keyedit/string_editor_model.h"

namespace veltrane::ui {
namespace {

TEST(ControlTable, IdsAreUniqueAndEveryMirroredControlHasItsKind) {
  std::set<int> ids;
  for (const Control& c : ControlTable()) {
    if (c.id == id::kNone) continue;
    EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    EXPECT_EQ(KeyButtonIndex(c.id), -1) << c.id << " inside the matrix ids";
  }
  auto expectKind = [](int id, ControlKind kind) {
    const Control* c = FindControl(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->kind, kind) << id;
  };
  // A setting's control is a check box of a flag, a list of a listed or counted
  // setting, or a field.
  for (const SettingControl& b : SettingControls()) {
    const model::SettingEntry* entry = model::FindSetting(b.setting);
    ASSERT_NE(entry, nullptr) << b.setting;
    const Control* c = FindControl(b.id);
    ASSERT_NE(c, nullptr) << b.setting;
    if (entry->shown == model::Shown::Flag) {
      EXPECT_EQ(c->kind, ControlKind::CheckBox) << b.setting;
    } else if (c->kind != ControlKind::ComboBox) {
      EXPECT_TRUE(c->kind == ControlKind::Edit || c->kind == ControlKind::DigitsEdit) << b.setting;
    }
  }
  for (int id : id::kLedButtons) expectKind(id, ControlKind::PictureButton);
  expectKind(id::kGenerate, ControlKind::PushButton);
  expectKind(id::kProgramVersionLabel, ControlKind::Label);
  EXPECT_EQ(FindControl(id::kNone), nullptr);
  EXPECT_EQ(KeyButtonAt(15, 7).id, id::kLastKeyButton);
  EXPECT_EQ(KeyButtonIndex(id::kLastKeyButton + 1), -1);
}

// One id means one control in every window: a command or a widget found by
// its id can never be another window's control.
TEST(ControlTable, EveryWindowNamesItsControlsFromTheOneList) {
  std::map<int, std::string_view> meaning;
  const auto add = [&](std::span<const Control> controls, std::string_view window) {
    for (const Control& c : controls) {
      if (c.id == id::kNone || c.id == id::kOk || c.id == id::kCancel) continue;
      const auto [at, fresh] = meaning.emplace(c.id, window);
      EXPECT_TRUE(fresh) << c.id << " in " << window << " and " << at->second;
    }
  };
  add(ControlTable(), "main window");
  add(KeySettingsControls(), "Key Settings");
  add(StringEditorControls(), "Key Macro Tool");
  add(LedDialogLayout().controls, "Key LED");
  add(PointingDeviceDialogLayout().controls, "Pointing Device");
  add(FileChooserLayout(ChooserKind::Load).controls, "Load File");
  add(AboutDialogLayout().controls, "About");
  EXPECT_EQ(meaning.at(id::kLegend), "Key Settings");
  // "OK" and "Cancel" are the same two ids in every window that has them.
  const std::span<const Control> windows[] = {KeySettingsControls(), StringEditorControls(),
                                              LedDialogLayout().controls,
                                              PointingDeviceDialogLayout().controls};
  for (std::span<const Control> controls : windows) {
    std::set<std::string_view> named;
    for (const Control& c : controls)
      if (c.id == id::kOk || c.id == id::kCancel) named.insert(c.text);
    EXPECT_EQ(named, (std::set<std::string_view>{"OK", "Cancel"}));
  }
}

}  // namespace
}  // namespace veltrane::ui
