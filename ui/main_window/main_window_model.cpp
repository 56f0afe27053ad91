// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_model.h"

#include <algorithm>
#include <cctype>

#include "model/settings_schema.h"
#include "model/text_field.h"
#include "ui/controls/control_ids.h"
#include "ui/main_window/control_table.h"
#include "ui/main_window/edit_commands.h"
#include "ui/main_window/matrix_view.h"

namespace veltrane::ui {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

ControlKind KindOf(int id) {
  const Control* control = FindControl(id);
  return control == nullptr ? ControlKind::Static : control->kind;
}

// A list's entries: a listed setting's names, a counted one's numbers.
std::vector<std::string> EntriesOf(const model::SettingEntry& e) {
  std::vector<std::string> entries(e.names.begin(), e.names.end());
  if (entries.empty())
    for (std::int64_t n = e.min; n <= e.max; ++n) entries.push_back(std::to_string(n));
  return entries;
}

void ShowSetting(const SettingControl& control, const model::Settings& s, MainWindowModel& w) {
  const model::SettingEntry& e = model::SettingNamed(control.setting);
  switch (KindOf(control.id)) {
    case ControlKind::CheckBox:
      w.Box(control.id).checked = e.get(s) != 0;
      return;
    case ControlKind::ComboBox:
      w.List(control.id).Select(static_cast<int>(e.get(s) - e.min));
      return;
    default:
      w.Field(control.id).text = e.IsText() ? s.*e.text : std::to_string(e.get(s));
      return;
  }
}

void ShowSpecial(const AppState& app, MainWindowModel& w) {
  const model::Settings& s = app.doc.def.settings;
  const RunOptions& options = app.doc.options;
  w.Field(id::kVersion).text = app.doc.versionText;
  w.Field(id::kBeepLength).enabled = s.BeepLength != 0;
  w.Box(id::kEnableKeyboard).checked = (s.EnableBits & 0x01) != 0;
  w.Box(id::kEnablePointing).checked = (s.EnableBits & 0x02) != 0;
  w.Box(id::kActivateBeep).checked = s.BeepLength != 0;
  w.Box(id::kEnableMatrix).checked = options.matrixEnabled;
  w.Box(id::kWriteDat).checked = true;
  w.Box(id::kWriteBin).checked = options.writeBinFile;
  w.Box(id::kWriteTxt).checked = options.writeTxtFile;
  w.Box(id::kWriteSavedTxt).checked = options.writeSavedTxt;
  w.Box(id::kCopyEepromBin).checked = options.copyEepromBin;
  w.Box(id::kChangedWordsOnly).checked = options.changedWordsOnly;
}

// Why a field's text is not taken, or nothing when it is stored.
std::string StoreNumber(const SettingControl& control, const model::SettingEntry& e,
                        std::string_view text, model::Settings& s) {
  std::string refused = NumberRefusal(e, std::max(e.min, control.fieldMin), text, e.get(s));
  if (refused.empty()) e.set(s, *ReadUnsigned(text));
  return refused;
}

std::string StoreText(const model::SettingEntry& e, std::string_view text, model::Settings& s) {
  if (!model::IsPrintableText(text))
    return std::string(e.name) + " takes printable characters only: it stays \"" + s.*e.text + "\"";
  s.*e.text = model::CutText(text, model::kSettingTextLimit);
  return {};
}

}  // namespace

void CreateMainWindowControls(MainWindowModel& window) {
  window = MainWindowModel{};
  for (const Control& control : ControlTable()) {
    if (control.kind == ControlKind::CheckBox)
      window.checkBoxes[control.id].enabled = control.enabled;
    if (control.kind == ControlKind::Edit || control.kind == ControlKind::DigitsEdit)
      window.fields[control.id].enabled = control.enabled;
    if (control.kind == ControlKind::ComboBox) window.lists[control.id].enabled = control.enabled;
  }
  for (const SettingControl& control : SettingControls())
    if (KindOf(control.id) == ControlKind::ComboBox)
      window.List(control.id).items = EntriesOf(model::SettingNamed(control.setting));
  window.programVersion = std::string(kProgramVersion);
}

void RefreshControls(const AppState& app, MainWindowModel& w) {
  const model::Settings& s = app.doc.def.settings;
  for (const SettingControl& control : SettingControls()) ShowSetting(control, s, w);
  ShowSpecial(app, w);
  if (w.settingsShown != app.settingsApplied) {
    // A load or read enables the list exactly when a pointing device is chosen;
    // until then it stays as the creation or the pointing-device check box left it.
    if (w.settingsShown >= 0) w.List(id::kPointDevice).enabled = s.PointDevice != 0;
    w.settingsShown = app.settingsApplied;
  }
  w.locked = app.locked;
  w.generateEnabled = app.doc.options.writeBinFile || app.doc.options.writeTxtFile;
  w.modified = HasUnsavedChanges(app);
  RefreshEditMenu(app, w);
  RefreshPictures(app, w);
}

void RefreshPictures(const AppState& app, MainWindowModel& w) {
  for (int i = 0; i < model::kKeyCount; ++i) {
    const model::KeyDefinition& key = app.doc.def.keys[static_cast<std::size_t>(i)];
    const bool editing =
        w.editTarget.editing && model::KeyIndex(w.editTarget.row, w.editTarget.column) == i;
    w.keyPictures[static_cast<std::size_t>(i)] = ChooseKeyPicture(key, editing);
    w.keyTooltips[static_cast<std::size_t>(i)] = KeyTooltip(key);
  }
  const model::Settings& s = app.doc.def.settings;
  for (std::size_t n = 0; n < s.Leds.size(); ++n) w.ledPictures[n] = LedPicture(s.Leds[n]);
}

std::string CommitField(int id, std::string_view text, AppState& app) {
  if (id == id::kVersion) {
    app.doc.versionText = std::string(text);
    return {};
  }
  const SettingControl* control = SettingControlOf(id);
  if (control == nullptr) return {};
  const model::SettingEntry& e = model::SettingNamed(control->setting);
  model::Settings& s = app.doc.def.settings;
  return e.IsText() ? StoreText(e, text, s) : StoreNumber(*control, e, text, s);
}

bool ClickSettingBox(int id, AppState& app) {
  const SettingControl* control = SettingControlOf(id);
  if (control == nullptr || KindOf(id) != ControlKind::CheckBox) return false;
  const model::SettingEntry& e = model::SettingNamed(control->setting);
  e.set(app.doc.def.settings, e.get(app.doc.def.settings) == 0 ? 1 : 0);
  return true;
}

void PickListEntry(int id, int index, const MainWindowModel& window, AppState& app) {
  const SettingControl* control = SettingControlOf(id);
  if (control == nullptr || KindOf(id) != ControlKind::ComboBox || index < 0 ||
      index >= static_cast<int>(window.List(id).items.size()))
    return;
  const model::SettingEntry& e = model::SettingNamed(control->setting);
  e.set(app.doc.def.settings, e.min + index);
}

void CommitListText(int id, std::string_view text, const MainWindowModel& window, AppState& app) {
  const auto found = window.lists.find(id);
  if (found == window.lists.end()) return;
  const std::vector<std::string>& items = found->second.items;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameLetters(items[i], Trimmed(text)))
      return PickListEntry(id, static_cast<int>(i), window, app);
}

}  // namespace veltrane::ui
