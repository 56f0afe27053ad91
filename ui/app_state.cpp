#include "ui/app_state.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "ui/matrix_view.h"

namespace veltrane::ui {
namespace {

// The settings a configuration header carries into the live settings.
void CopySettingsFromHeader(const persist::HeaderImage& h, model::GlobalSettings& s) {
  using namespace persist::header;
  s.Led1 = h.Led(0);
  s.Led2 = h.Led(1);
  s.Led3 = h.Led(2);
  s.Led4 = h.Led(3);
  s.ScrollWheelGain = h.ScrollWheelGain();
  s.EnableBits = static_cast<std::uint8_t>(h.U32(EnableBits));
  s.GlobalRepeatDisable = static_cast<std::uint8_t>(h.U32(GlobalRepeatDisable));
  s.AnyKeyRelease = static_cast<std::uint8_t>(h.U32(AnyKeyRelease));
  s.PrefixMakeBreak = static_cast<std::uint8_t>(h.U32(PrefixMakeBreak));
  s.NumberOfStrings = h.I32(NumberOfStrings);
  s.BeepLength = static_cast<std::uint8_t>(h.U32(BeepLength));
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace

void StartApplication(AppState& app, std::string commandLine) {
  app.doc = Document{};
  if (!commandLine.empty()) app.doc.commandLineText = AbsolutePath(commandLine);
  model::InitialiseDefinition(app.doc.def);
  CreateMainWindowControls(app.window);
  app.doc.options = RunOptions{};
  app.doc.def.settings.GlobalRepeatDisable = 0;
  app.doc.def.settings.AnyKeyRelease = 0;
  app.doc.def.settings.PrefixMakeBreak = 0;
  app.doc.def.settings.EnableBits = 1;
  MarkKept(app);
  RefreshControls(app);
}

void RefreshControls(AppState& app) {
  const model::GlobalSettings& s = app.doc.def.settings;
  const RunOptions& options = app.doc.options;
  MainWindowModel& w = app.window;
  w.enableKeyboard.checked = (s.EnableBits & 0x01) != 0;
  w.enablePointing.checked = (s.EnableBits & 0x02) != 0;
  w.beep.checked = s.BeepLength != 0;
  w.beepLength.text = std::to_string(s.BeepLength);
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
  w.generateEnabled = options.writeBinFile || options.writeTxtFile;
  w.modified = HasUnsavedChanges(app);
  RefreshPictures(app);
}

void RefreshPictures(AppState& app) {
  MainWindowModel& w = app.window;
  for (int i = 0; i < model::kKeyCount; ++i) {
    const model::KeyDefinition& key = app.doc.def.keys[static_cast<std::size_t>(i)];
    const bool editing =
        w.editTarget.editing && model::KeyIndex(w.editTarget.row, w.editTarget.column) == i;
    w.keyPictures[static_cast<std::size_t>(i)] = ChooseKeyPicture(key, editing);
    w.keyTooltips[static_cast<std::size_t>(i)] = KeyTooltip(key);
  }
  const model::GlobalSettings& s = app.doc.def.settings;
  const std::int32_t leds[] = {s.Led1, s.Led2, s.Led3, s.Led4};
  for (std::size_t n = 0; n < 4; ++n) w.ledPictures[n] = LedPicture(leds[n]);
}

void ApplyLoadedSettings(AppState& app) {
  using namespace persist::header;
  const persist::HeaderImage& h = app.doc.header;
  model::GlobalSettings& s = app.doc.def.settings;
  MainWindowModel& w = app.window;
  CopySettingsFromHeader(h, s);
  w.debounce.text = std::to_string(h.U32(DebounceTime));
  SetGainText(w, s, std::to_string(h.ScrollWheelGain()));

  w.repeatDelay.Select(h.I32(DefRepDelay));
  w.repeatRate.Select(h.I32(DefRepRate));
  // MaxScanRow 0 or below selects no entry rather than wrapping.
  const std::int32_t maxScanRow = h.I32(MaxScanRow);
  w.maxScanRow.Select(maxScanRow > 0 ? maxScanRow - 1 : -1);
  w.pointDevice.Select(h.I32(PointDevice));
  w.pointDevice.enabled = h.I32(PointDevice) != 0;

  w.beepLength.enabled = s.BeepLength != 0;
  SetBeepText(w, s, std::to_string(s.BeepLength));
  RefreshControls(app);
}

}  // namespace veltrane::ui
