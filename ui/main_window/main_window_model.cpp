// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_model.h"

#include <algorithm>
#include <cctype>

#include "model/key_tables.h"
#include "model/text_field.h"
#include "ui/dialogs/control_ids.h"
#include "ui/main_window/edit_commands.h"
#include "ui/main_window/matrix_view.h"

namespace veltrane::ui {
namespace {

// The list control of an id and the setting it holds as its selection; the
// scan-row list holds MaxScanRow - 1.
struct ListSetting {
  ComboBox MainWindowModel::*list = nullptr;
  std::int32_t model::Settings::*setting = nullptr;
  int offset = 0;  // setting = selection + offset
};

ListSetting ListOf(int id) {
  switch (id) {
    case id::kRepeatDelay:
      return {&MainWindowModel::repeatDelay, &model::Settings::DefRepDelay};
    case id::kRepeatRate:
      return {&MainWindowModel::repeatRate, &model::Settings::DefRepRate};
    case id::kMaxScanRow:
      return {&MainWindowModel::maxScanRow, &model::Settings::MaxScanRow, 1};
    case id::kPointDevice:
      return {&MainWindowModel::pointDevice, &model::Settings::PointDevice};
    default:
      return {};
  }
}

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

void ShowLists(const model::Settings& s, MainWindowModel& w) {
  for (int id : {id::kRepeatDelay, id::kRepeatRate, id::kMaxScanRow, id::kPointDevice}) {
    const ListSetting list = ListOf(id);
    (w.*list.list).Select(s.*list.setting - list.offset);
  }
}

void ShowFields(const AppState& app, MainWindowModel& w) {
  const model::Settings& s = app.doc.def.settings;
  w.debounce.text = std::to_string(s.DebounceTime);
  w.fileName.text = s.ConfigFileName;
  w.version.text = app.doc.versionText;
  w.serial.text = s.SerialNumber;
  w.gain.text = std::to_string(s.ScrollWheelGain);
  w.beepLength.text = std::to_string(s.BeepLength);
  w.beepLength.enabled = s.BeepLength != 0;
}

}  // namespace

void CreateMainWindowControls(MainWindowModel& window) {
  window = MainWindowModel{};
  window.repeatDelay.FillFrom(model::DefRepDelayNames);
  window.repeatRate.FillFrom(model::DefRepRateNames);
  window.maxScanRow.FillFrom(model::MaxScanRowNames);
  window.pointDevice.FillFrom(model::PointDeviceNames);
  window.fileName.enabled = false;
  window.enableKeyboard.enabled = false;
  window.writeDat = CheckBox{true, false};
  window.programVersion = std::string(kProgramVersion);
}

void RefreshControls(const AppState& app, MainWindowModel& w) {
  const model::Settings& s = app.doc.def.settings;
  const RunOptions& options = app.doc.options;
  ShowLists(s, w);
  ShowFields(app, w);
  if (w.settingsShown != app.settingsApplied) {
    // A load or read enables the list exactly when a pointing device is chosen;
    // until then it stays as the creation or the pointing-device check box left it.
    if (w.settingsShown >= 0) w.pointDevice.enabled = s.PointDevice != 0;
    w.settingsShown = app.settingsApplied;
  }
  w.enableKeyboard.checked = (s.EnableBits & 0x01) != 0;
  w.enablePointing.checked = (s.EnableBits & 0x02) != 0;
  w.beep.checked = s.BeepLength != 0;
  w.matrix.checked = options.matrixEnabled;
  w.globalRepeat.checked = s.GlobalRepeatDisable != 0;
  w.anyKeyRelease.checked = s.AnyKeyRelease != 0;
  w.prefixMakeBreak.checked = s.PrefixMakeBreak != 0;
  w.writeDat.checked = true;
  w.writeBin.checked = options.writeBinFile;
  w.writeTxt.checked = options.writeTxtFile;
  w.writeSavedTxt.checked = options.writeSavedTxt;
  w.copyEepromBin.checked = options.copyEepromBin;
  w.changedWords.checked = options.changedWordsOnly;
  w.locked = app.locked;
  w.generateEnabled = options.writeBinFile || options.writeTxtFile;
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
  const std::int32_t leds[] = {s.Led1, s.Led2, s.Led3, s.Led4};
  for (std::size_t n = 0; n < 4; ++n) w.ledPictures[n] = LedPicture(leds[n]);
}

void CommitField(int id, std::string_view text, AppState& app) {
  model::Settings& s = app.doc.def.settings;
  const std::optional<std::uint32_t> number = ReadUnsigned(text);
  switch (id) {
    case id::kDebounce:
      s.DebounceTime = number.value_or(0);
      break;
    case id::kGain:
      if (number)
        s.ScrollWheelGain = static_cast<std::int8_t>(std::min<std::uint32_t>(*number, 16));
      break;
    case id::kBeepLength:
      if (number) s.BeepLength = static_cast<std::uint8_t>(std::min<std::uint32_t>(*number, 200));
      break;
    case id::kSerial:
      s.SerialNumber = model::CutText(text, model::kSettingTextLimit);
      break;
    case id::kVersion:
      app.doc.versionText = std::string(text);
      break;
    default:
      break;
  }
}

void PickListEntry(int id, int index, const MainWindowModel& window, AppState& app) {
  const ListSetting list = ListOf(id);
  if (list.list == nullptr || index < 0 ||
      index >= static_cast<int>((window.*list.list).items.size()))
    return;
  app.doc.def.settings.*list.setting = index + list.offset;
}

void CommitListText(int id, std::string_view text, const MainWindowModel& window, AppState& app) {
  const ListSetting list = ListOf(id);
  if (list.list == nullptr) return;
  const std::vector<std::string>& items = (window.*list.list).items;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (SameLetters(items[i], Trimmed(text)))
      return PickListEntry(id, static_cast<int>(i), window, app);
}

}  // namespace veltrane::ui
