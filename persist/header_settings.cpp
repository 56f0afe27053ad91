// SPDX-License-Identifier: MIT
#include "persist/header_settings.h"

#include <string>

#include "persist/config_file.h"

namespace veltrane::persist {
namespace {

// A text that fills its whole field, as a loaded file held it, stays whole;
// any other is cut to 31 bytes as the program writes its texts.
void SetHeaderText(HeaderImage& header, std::size_t offset, const std::string& text) {
  if (text.size() == header::TextFieldSize && header.Text(offset) == text) return;
  header.SetText(offset, text);
}

}  // namespace

model::Settings FromHeader(const HeaderImage& h) {
  const auto low = [&](std::size_t offset) { return static_cast<std::uint8_t>(h.U32(offset)); };
  model::Settings s;
  s.GlobalRepeatDisable = low(header::GlobalRepeatDisable);
  s.AnyKeyRelease = low(header::AnyKeyRelease);
  s.DefRepDelay = h.I32(header::DefRepDelay);
  s.DefRepRate = h.I32(header::DefRepRate);
  s.DebounceTime = h.U32(header::DebounceTime);
  s.Led1 = h.Led(0);
  s.Led2 = h.Led(1);
  s.Led3 = h.Led(2);
  s.Led4 = h.Led(3);
  s.MaxScanRow = h.I32(header::MaxScanRow);
  s.PrefixMakeBreak = low(header::PrefixMakeBreak);
  s.PointDevice = h.I32(header::PointDevice);
  s.EnableBits = low(header::EnableBits);
  s.NumberOfStrings = h.I32(header::NumberOfStrings);
  s.BeepLength = low(header::BeepLength);
  s.ScrollWheelGain = h.ScrollWheelGain();
  s.ConfigFileName = std::string(h.Text(header::ConfigFileName));
  s.SerialNumber = std::string(h.Text(header::SerialNumber));
  return s;
}

void ToHeader(const model::Settings& s, HeaderImage& header) {
  header.SetI32(header::VersionMinor, kWrittenVersionMinor);
  header.SetI32(header::VersionMajor, kWrittenVersionMajor);
  header.SetU32(header::GlobalRepeatDisable, s.GlobalRepeatDisable);
  header.SetU32(header::AnyKeyRelease, s.AnyKeyRelease);
  header.SetI32(header::DefRepDelay, s.DefRepDelay);
  header.SetI32(header::DefRepRate, s.DefRepRate);
  header.SetU32(header::DebounceTime, s.DebounceTime);
  header.SetLed(0, s.Led1);
  header.SetLed(1, s.Led2);
  header.SetLed(2, s.Led3);
  header.SetLed(3, s.Led4);
  header.SetI32(header::MaxScanRow, s.MaxScanRow);
  header.SetU32(header::PrefixMakeBreak, s.PrefixMakeBreak);
  header.SetI32(header::PointDevice, s.PointDevice);
  header.SetU32(header::EnableBits, s.EnableBits);
  header.SetI32(header::NumberOfStrings, s.NumberOfStrings);
  SetHeaderText(header, header::ConfigFileName, s.ConfigFileName);
  SetHeaderText(header, header::SerialNumber, s.SerialNumber);
  header.SetU32(header::BeepLength, s.BeepLength);
  header.SetScrollWheelGain(s.ScrollWheelGain);
}

}  // namespace veltrane::persist
