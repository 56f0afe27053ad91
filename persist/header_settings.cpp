#include "persist/header_settings.h"

#include <string>

#include "persist/config_file.h"

namespace veltrane::persist {

model::GlobalSettings SettingsFromHeader(const HeaderImage& h) {
  model::GlobalSettings s;
  s.GlobalRepeatDisable = static_cast<std::uint8_t>(h.U32(header::GlobalRepeatDisable));
  s.AnyKeyRelease = static_cast<std::uint8_t>(h.U32(header::AnyKeyRelease));
  s.Led1 = h.Led(0);
  s.Led2 = h.Led(1);
  s.Led3 = h.Led(2);
  s.Led4 = h.Led(3);
  s.PrefixMakeBreak = static_cast<std::uint8_t>(h.U32(header::PrefixMakeBreak));
  s.EnableBits = static_cast<std::uint8_t>(h.U32(header::EnableBits));
  s.NumberOfStrings = h.I32(header::NumberOfStrings);
  s.BeepLength = static_cast<std::uint8_t>(h.U32(header::BeepLength));
  s.ScrollWheelGain = h.ScrollWheelGain();
  return s;
}

model::ShownSettings ShownFromHeader(const HeaderImage& h) {
  model::ShownSettings shown;
  shown.DefRepDelay = h.I32(header::DefRepDelay);
  shown.DefRepRate = h.I32(header::DefRepRate);
  shown.DebounceTime = h.U32(header::DebounceTime);
  shown.MaxScanRow = h.I32(header::MaxScanRow);
  shown.PointDevice = h.I32(header::PointDevice);
  shown.ConfigFileName = std::string(h.Text(header::ConfigFileName));
  shown.SerialNumber = std::string(h.Text(header::SerialNumber));
  return shown;
}

void FillHeader(const model::KeyboardDefinition& def, const model::ShownSettings& shown,
                HeaderImage& header) {
  const model::GlobalSettings& s = def.settings;
  header.SetI32(header::VersionMinor, kWrittenVersionMinor);
  header.SetI32(header::VersionMajor, kWrittenVersionMajor);
  header.SetU32(header::GlobalRepeatDisable, s.GlobalRepeatDisable);
  header.SetU32(header::AnyKeyRelease, s.AnyKeyRelease);
  header.SetI32(header::DefRepDelay, shown.DefRepDelay);
  header.SetI32(header::DefRepRate, shown.DefRepRate);
  header.SetU32(header::DebounceTime, shown.DebounceTime);
  header.SetLed(0, s.Led1);
  header.SetLed(1, s.Led2);
  header.SetLed(2, s.Led3);
  header.SetLed(3, s.Led4);
  header.SetI32(header::MaxScanRow, shown.MaxScanRow);
  header.SetU32(header::PrefixMakeBreak, s.PrefixMakeBreak);
  header.SetI32(header::PointDevice, shown.PointDevice);
  header.SetU32(header::EnableBits, s.EnableBits);
  header.SetI32(header::NumberOfStrings, s.NumberOfStrings);
  header.SetText(header::ConfigFileName, shown.ConfigFileName);
  header.SetText(header::SerialNumber, shown.SerialNumber);
  header.SetU32(header::BeepLength, s.BeepLength);
  header.SetScrollWheelGain(s.ScrollWheelGain);
}

}  // namespace veltrane::persist
