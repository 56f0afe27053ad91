// SPDX-License-Identifier: MIT
// Every global setting of a definition, in one record: what a configuration
// file's header carries, what the main window and the Pointing Device dialog
// show and what the EEPROM image holds. The values below are the program's
// defaults, at start-up and after "New - Clear all"; model/settings_schema
// describes each member (its range, its place in files and images, its names).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane::model {

inline constexpr std::string_view kDefaultFileName = "in.dat";
inline constexpr std::size_t kSettingTextLimit = 31;  // bytes of the file name and serial number
inline constexpr int kLedCount = 4;
inline constexpr int kPointDeviceParamCount = 20;

inline constexpr std::array<std::uint8_t, kPointDeviceParamCount> kPointDeviceStartValues = {
    13, 1, 13, 1, 13, 1, 13, 1, 0, 0, 0, 0, 0, 0, 0, 0, 120, 120, 120, 120};

struct Settings {
  std::uint8_t GlobalRepeatDisable = 0;
  std::uint8_t AnyKeyRelease = 0;
  std::int32_t DefRepDelay = 1;                // index into DefRepDelayNames
  std::int32_t DefRepRate = 7;                 // index into DefRepRateNames ("60 mS")
  std::uint32_t DebounceTime = 28;             // milliseconds
  std::array<std::int32_t, kLedCount> Leds{};  // Led1..Led4: indexes into LedNames
  std::int32_t MaxScanRow = 14;                // 1..16
  std::uint8_t PrefixMakeBreak = 0;
  std::int32_t PointDevice = 0;  // index into PointDeviceNames
  std::uint8_t EnableBits = 1;   // bit 0 keyboard, bit 1 pointing device
  std::int32_t NumberOfStrings = 0;
  std::uint8_t BeepLength = 0;      // 0: off; 1..200
  std::int8_t ScrollWheelGain = 1;  // 0..16
  // Texts as shown; a file or an image takes their first 31 bytes.
  std::string ConfigFileName = std::string(kDefaultFileName);
  std::string SerialNumber;
  // The pointing device's tuning (iGain1N .. iInvW): the keyboard's image and
  // the text form hold them, a configuration file does not.
  std::array<std::uint8_t, kPointDeviceParamCount> PointDeviceParams = kPointDeviceStartValues;

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace veltrane::model
