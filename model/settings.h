// SPDX-License-Identifier: MIT
// Every global setting of a definition, in one record: what a configuration
// file's header carries and what the main window shows. The values below are
// the program's defaults, at start-up and after "New - Clear all".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane::model {

inline constexpr std::string_view kDefaultFileName = "in.dat";
inline constexpr std::size_t kSettingTextLimit = 31;  // bytes of the file name and serial number

struct Settings {
  std::uint8_t GlobalRepeatDisable = 0;
  std::uint8_t AnyKeyRelease = 0;
  std::int32_t DefRepDelay = 1;     // index into DefRepDelayNames; -1: none chosen
  std::int32_t DefRepRate = 7;      // index into DefRepRateNames ("60 mS"); -1: none chosen
  std::uint32_t DebounceTime = 28;  // milliseconds
  std::int32_t Led1 = 0;            // indexes into LedNames
  std::int32_t Led2 = 0;
  std::int32_t Led3 = 0;
  std::int32_t Led4 = 0;
  std::int32_t MaxScanRow = 14;  // 1..16; 0: none chosen
  std::uint8_t PrefixMakeBreak = 0;
  std::int32_t PointDevice = 0;  // index into PointDeviceNames; -1: none chosen
  std::uint8_t EnableBits = 1;   // bit 0 keyboard, bit 1 pointing device
  std::int32_t NumberOfStrings = 0;
  std::uint8_t BeepLength = 0;      // 0: off; 1..200
  std::int8_t ScrollWheelGain = 1;  // 0..16
  // Texts as shown; a file or an image takes their first 31 bytes.
  std::string ConfigFileName = std::string(kDefaultFileName);
  std::string SerialNumber;

  friend bool operator==(const Settings&, const Settings&) = default;
};

// "New - Clear all": every setting back to its default except the enable
// bits, the beep length and the serial number.
void ResetForNew(Settings& settings);

// The settings as the main window's controls can hold them: a selection
// outside its list becomes none, a gain above 16 becomes 16 and a beep length
// above 200 becomes 200. A load or a read applies its settings this way.
void KeepWithinControls(Settings& settings);

// Led1..Led4 for slot 0..3; nullptr for any other slot.
std::int32_t* LedOfSlot(Settings& settings, int slot);

}  // namespace veltrane::model
