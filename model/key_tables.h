// SPDX-License-Identifier: MIT
// Constant key code tables: IBM key positions with their PS/2 and USB codes,
// key types, scan-code translation and the name lists of the settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace veltrane::model {

enum KeyType : std::uint8_t {
  NORMAL_KEY = 0,
  KEYPAD_ENTER_KEY = 1,
  CURSOR_KEY = 2,
  KEYPAD_KEY = 3,
  PRINTSCREEEN_KEY = 4,
  PAUSE_KEY = 5,
  LOCAL_SHIFT_RIGHT_KEY = 6,
  LOCAL_SHIFT_LEFT_KEY = 7,
  SHIFT_RIGHT_KEY = 8,
  SHIFT_LEFT_KEY = 9,
  CTRL_RIGHT_KEY = 10,
  CTRL_LEFT_KEY = 11,
  ALT_RIGHT_OR_GR_KEY = 12,
  ALT_LEFT_KEY = 13,
  ALPHA_LOCK_KEY = 14,
  UNUSED_KEY = 15,
  MOUSE_BUTTON_KEY = 16,
  STRING_KEY = 17,
  CONSUMER_KEY = 18,
  SYSTEM_KEY = 19,
  LOCAL_ILLUMINATION_KEY = 20,
  UNDEFINED_KEY = 21,
  STOP_SUN_KEY = 22,
};
inline constexpr int kKeyTypeCount = 23;

struct IbmKeyRow {
  std::uint8_t number;
  std::uint8_t scan2;
  std::uint8_t scan3;
  std::uint8_t usb;
  std::string_view legend;
  std::uint8_t type;
};

inline constexpr int kIbmKeyRowCount = 159;
extern const std::array<IbmKeyRow, kIbmKeyRowCount> IbmKeyTable;

// The row for an ibmkey value, or nullptr when the value is not a row index.
const IbmKeyRow* IbmKeyRowAt(std::int32_t row);

// First row with that USB code; 0 ("No Key") when none has it.
int FindRowByUsb(std::uint8_t usb);
// First row with that key type and USB code; 0 when none has both.
int FindRowByTypeAndUsb(std::uint8_t type, std::uint8_t usb);
// First row whose legend equals the text exactly; empty when none does.
std::optional<int> FindRowByLegend(std::string_view text);

extern const std::array<std::string_view, kKeyTypeCount> KeyTypeIdentifiers;
extern const std::array<std::string_view, kKeyTypeCount> KeyTypeNames;
// Identifier of a layer's keytype byte: its low six bits name the type, light
// flags do not change the name; "undefined" past the last type.
std::string_view KeyTypeIdentifierOf(std::uint8_t keytype);

inline constexpr int kScanCodeCount = 100;
extern const std::array<std::int32_t, kScanCodeCount> ScanToIbmKey;
extern const std::array<std::int32_t, kScanCodeCount> ExtendedScanToIbmKey;
// IBM key number of a set 1 scan code; 0 for codes outside the lists.
std::int32_t IbmKeyOfScanCode(int scanCode, bool extended);
// The IbmKeyTable row of a key typed on the PC keyboard: the two lists, and
// past them F13..F24 (set 1 0x64..0x6E and 0x76) by their own rows; 0 for none.
// An extended key never lands on the row of a key that sends no E0: media and
// system keys get their consumer and system rows (Mute 143, Volume up 144,
// Volume down 145, ...), the right Ctrl and Alt keys theirs (64, 62), and
// others (Calculator, browser keys) none.
int RowOfTypedKey(int scanCode, bool extended);

extern const std::array<std::string_view, 4> DefRepDelayNames;
extern const std::array<std::string_view, 32> DefRepRateNames;
extern const std::array<std::string_view, 6> LedNames;
extern const std::array<std::string_view, 3> PointDeviceNames;
extern const std::array<std::string_view, 16> MaxScanRowNames;

}  // namespace veltrane::model
