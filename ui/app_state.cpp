#include "ui/app_state.h"

#include <string>

namespace veltrane::ui {

void StartApplication(AppState& app, model::MessageSink& messages, model::LogSink* log,
                      std::string commandLine) {
  app = AppState{};
  app.messages = &messages;
  app.log = log;
  app.commandLineText = std::move(commandLine);
  SetActiveProgressBar(&app.progress);
  model::InitialiseDefinition(app.def);
  CreateMainWindowControls(app.window);
  app.options = RunOptions{};
  app.def.settings.GlobalRepeatDisable = 0;
  app.def.settings.AnyKeyRelease = 0;
  app.def.settings.PrefixMakeBreak = 0;
  app.def.settings.EnableBits = 1;
  RefreshCheckBoxes(app);
}

void RefreshCheckBoxes(AppState& app) {
  const model::GlobalSettings& s = app.def.settings;
  MainWindowModel& w = app.window;
  w.enableKeyboard.checked = (s.EnableBits & 0x01) != 0;
  w.enablePointing.checked = (s.EnableBits & 0x02) != 0;
  w.beep.checked = s.BeepLength != 0;
  w.beepLength.text = std::to_string(s.BeepLength);
  w.matrix.checked = app.options.matrixEnabled;
  w.globalRepeat.checked = s.GlobalRepeatDisable != 0;
  w.anyKeyRelease.checked = s.AnyKeyRelease != 0;
  w.prefixMakeBreak.checked = s.PrefixMakeBreak != 0;
  w.writeDat.checked = true;
  w.writeBin.checked = app.options.writeBinFile;
  w.writeTxt.checked = app.options.writeTxtFile;
  w.generateEnabled = app.options.writeBinFile || app.options.writeTxtFile;
}

void ApplyLoadedSettings(AppState& app) {
  using namespace persist::header;
  const persist::HeaderImage& h = app.header;
  model::GlobalSettings& s = app.def.settings;
  MainWindowModel& w = app.window;
  for (int n = 0; n < 4; ++n) {
    std::int32_t* leds[] = {&s.Led1, &s.Led2, &s.Led3, &s.Led4};
    *leds[n] = h.Led(n);
  }
  s.ScrollWheelGain = h.ScrollWheelGain();
  s.EnableBits = static_cast<std::uint8_t>(h.U32(EnableBits));
  s.GlobalRepeatDisable = static_cast<std::uint8_t>(h.U32(GlobalRepeatDisable));
  s.AnyKeyRelease = static_cast<std::uint8_t>(h.U32(AnyKeyRelease));
  s.PrefixMakeBreak = static_cast<std::uint8_t>(h.U32(PrefixMakeBreak));
  s.NumberOfStrings = h.I32(NumberOfStrings);
  s.BeepLength = static_cast<std::uint8_t>(h.U32(BeepLength));

  w.matrix.checked = app.options.matrixEnabled;
  w.globalRepeat.checked = s.GlobalRepeatDisable != 0;
  w.anyKeyRelease.checked = s.AnyKeyRelease != 0;
  w.debounce.text = std::to_string(h.U32(DebounceTime));
  SetGainText(w, s, std::to_string(h.ScrollWheelGain()));
  w.prefixMakeBreak.checked = s.PrefixMakeBreak != 0;
  w.enableKeyboard.checked = (s.EnableBits & 0x01) != 0;
  w.enablePointing.checked = (s.EnableBits & 0x02) != 0;

  w.repeatDelay.Select(h.I32(DefRepDelay));
  w.repeatRate.Select(h.I32(DefRepRate));
  // MaxScanRow 0 or below selects no entry rather than wrapping.
  const std::int32_t maxScanRow = h.I32(MaxScanRow);
  w.maxScanRow.Select(maxScanRow > 0 ? maxScanRow - 1 : -1);
  w.pointDevice.Select(h.I32(PointDevice));
  w.pointDevice.enabled = h.I32(PointDevice) != 0;

  w.beepLength.enabled = s.BeepLength != 0;
  SetBeepText(w, s, std::to_string(s.BeepLength));
  w.beep.checked = s.BeepLength != 0;
}

}  // namespace veltrane::ui
