#include "ui/app/main_window_model.h"

#include "model/key_tables.h"
#include "model/text_field.h"

namespace veltrane::ui {

void CreateMainWindowControls(MainWindowModel& window) {
  window = MainWindowModel{};
  window.repeatDelay.FillFrom(model::DefRepDelayNames);
  window.repeatDelay.Select(1);
  window.repeatRate.FillFrom(model::DefRepRateNames);
  window.repeatRate.Select(7);
  window.maxScanRow.FillFrom(model::MaxScanRowNames);
  window.maxScanRow.Select(13);
  window.pointDevice.FillFrom(model::PointDeviceNames);
  window.pointDevice.Select(0);
  window.debounce.text = "28";
  window.fileName = EditField{std::string(kDefaultFileName), false};
  window.gain.text = "1";
  window.beepLength = EditField{"0", false};
  window.enableKeyboard.enabled = false;
  window.writeDat = CheckBox{true, false};
  window.programVersion = std::string(kProgramVersion);
}

model::ShownSettings ReadShownSettings(const MainWindowModel& window) {
  model::ShownSettings shown;
  shown.DefRepDelay = window.repeatDelay.selection;
  shown.DefRepRate = window.repeatRate.selection;
  shown.DebounceTime = ReadUnsigned(window.debounce.text).value_or(0);
  shown.MaxScanRow = window.maxScanRow.selection + 1;
  shown.PointDevice = window.pointDevice.selection;
  shown.ConfigFileName = model::CutText(window.fileName.text, 31);
  shown.SerialNumber = model::CutText(window.serial.text, 31);
  return shown;
}

void OnGainFieldChanged(MainWindowModel& window, model::GlobalSettings& settings) {
  const auto number = ReadUnsigned(window.gain.text);
  if (!number) return;
  if (*number > 16) {
    settings.ScrollWheelGain = 16;
    SetGainText(window, settings, "16");
    return;
  }
  settings.ScrollWheelGain = static_cast<std::int8_t>(*number);
}

void SetGainText(MainWindowModel& window, model::GlobalSettings& settings, std::string text) {
  window.gain.text = std::move(text);
  OnGainFieldChanged(window, settings);
}

void OnBeepFieldChanged(MainWindowModel& window, model::GlobalSettings& settings) {
  const auto number = ReadUnsigned(window.beepLength.text);
  if (!number) return;
  if (*number > 200) {
    settings.BeepLength = 200;
    SetBeepText(window, settings, "200");
    return;
  }
  settings.BeepLength = static_cast<std::uint8_t>(*number);
  if (*number == 0) {
    window.beepLength.enabled = false;
    window.beep.checked = false;
  }
}

void SetBeepText(MainWindowModel& window, model::GlobalSettings& settings, std::string text) {
  window.beepLength.text = std::move(text);
  OnBeepFieldChanged(window, settings);
}

}  // namespace veltrane::ui
