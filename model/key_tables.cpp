// SPDX-License-Identifier: MIT
#include "model/key_tables.h"

namespace veltrane::model {

const std::array<IbmKeyRow, kIbmKeyRowCount> IbmKeyTable = {{
    {0, 0xFF, 0xFF, 0x00, "No Key", 15},
    {1, 0x0E, 0x0E, 0x35, "IBM Key 1", 0},
    {2, 0x16, 0x16, 0x1E, "IBM Key 2", 0},
    {3, 0x1E, 0x1E, 0x1F, "IBM Key 3", 0},
    {4, 0x26, 0x26, 0x20, "IBM Key 4", 0},
    {5, 0x25, 0x25, 0x21, "IBM Key 5", 0},
    {6, 0x2E, 0x2E, 0x22, "IBM Key 6", 0},
    {7, 0x36, 0x36, 0x23, "IBM Key 7", 0},
    {8, 0x3D, 0x3D, 0x24, "IBM Key 8", 0},
    {9, 0x3E, 0x3E, 0x25, "IBM Key 9", 0},
    {10, 0x46, 0x46, 0x26, "IBM Key 10", 0},
    {11, 0x45, 0x45, 0x27, "IBM Key 11", 0},
    {12, 0x4E, 0x4E, 0x2D, "IBM Key 12", 0},
    {13, 0x55, 0x55, 0x2E, "IBM Key 13", 0},
    {14, 0x00, 0x00, 0x00, "IBM Key 14 Not Used!", 15},
    {15, 0x66, 0x66, 0x2A, "IBM Key 15", 0},
    {16, 0x0D, 0x0D, 0x2B, "IBM Key 16", 0},
    {17, 0x15, 0x15, 0x14, "IBM Key 17", 0},
    {18, 0x1D, 0x1D, 0x1A, "IBM Key 18", 0},
    {19, 0x24, 0x24, 0x08, "IBM Key 19", 0},
    {20, 0x2D, 0x2D, 0x15, "IBM Key 20", 0},
    {21, 0x2C, 0x2C, 0x17, "IBM Key 21", 0},
    {22, 0x35, 0x35, 0x1C, "IBM Key 22", 0},
    {23, 0x3C, 0x3C, 0x18, "IBM Key 23", 0},
    {24, 0x43, 0x43, 0x0C, "IBM Key 24", 0},
    {25, 0x44, 0x44, 0x12, "IBM Key 25", 0},
    {26, 0x4D, 0x4D, 0x13, "IBM Key 26", 0},
    {27, 0x54, 0x54, 0x2F, "IBM Key 27", 0},
    {28, 0x5B, 0x5B, 0x30, "IBM Key 28", 0},
    {29, 0x5D, 0x5D, 0x31, "IBM Key 29", 0},
    {30, 0x58, 0x14, 0x39, "IBM Key 30", 0},
    {31, 0x1C, 0x1C, 0x04, "IBM Key 31", 0},
    {32, 0x1B, 0x1B, 0x16, "IBM Key 32", 0},
    {33, 0x23, 0x23, 0x07, "IBM Key 33", 0},
    {34, 0x2B, 0x2B, 0x09, "IBM Key 34", 0},
    {35, 0x34, 0x34, 0x0A, "IBM Key 35", 0},
    {36, 0x33, 0x33, 0x0B, "IBM Key 36", 0},
    {37, 0x3B, 0x3B, 0x0D, "IBM Key 37", 0},
    {38, 0x42, 0x42, 0x0E, "IBM Key 38", 0},
    {39, 0x4B, 0x4B, 0x0F, "IBM Key 39", 0},
    {40, 0x4C, 0x4C, 0x33, "IBM Key 40", 0},
    {41, 0x52, 0x52, 0x34, "IBM Key 41", 0},
    {42, 0x5D, 0x53, 0x32, "IBM Key 42", 0},
    {43, 0x5A, 0x5A, 0x28, "IBM Key 43", 0},
    {44, 0x12, 0x12, 0xE1, "IBM Key 44", 9},
    {45, 0x61, 0x13, 0x64, "IBM Key 45", 0},
    {46, 0x1A, 0x1A, 0x1D, "IBM Key 46", 0},
    {47, 0x22, 0x22, 0x1B, "IBM Key 47", 0},
    {48, 0x21, 0x21, 0x06, "IBM Key 48", 0},
    {49, 0x2A, 0x2A, 0x19, "IBM Key 49", 0},
    {50, 0x32, 0x32, 0x05, "IBM Key 50", 0},
    {51, 0x31, 0x31, 0x11, "IBM Key 51", 0},
    {52, 0x3A, 0x3A, 0x10, "IBM Key 52", 0},
    {53, 0x41, 0x41, 0x36, "IBM Key 53", 0},
    {54, 0x49, 0x49, 0x37, "IBM Key 54", 0},
    {55, 0x4A, 0x4A, 0x38, "IBM Key 55", 0},
    {56, 0x00, 0x00, 0x87, "IBM Key 56 Not Used!", 15},
    {57, 0x59, 0x59, 0xE5, "IBM Key 57", 8},
    {58, 0x14, 0x11, 0xE0, "IBM Key 58", 11},
    {59, 0x00, 0x00, 0x00, "IBM Key 59 Not Used!", 15},
    {60, 0x11, 0x19, 0xE2, "IBM Key 60", 13},
    {61, 0x29, 0x29, 0x2C, "IBM Key 61", 0},
    {62, 0x11, 0x39, 0xE6, "IBM Key 62", 12},
    {63, 0x00, 0x00, 0x00, "IBM Key 63 Not Used!", 15},
    {64, 0x14, 0x58, 0xE4, "IBM Key 64", 10},
    {65, 0x00, 0x00, 0x00, "IBM Key 65 Not Used!", 15},
    {66, 0x00, 0x00, 0x00, "IBM Key 66 Not Used!", 15},
    {67, 0x00, 0x00, 0x00, "IBM Key 67 Not Used!", 15},
    {68, 0x00, 0x00, 0x00, "IBM Key 68 Not Used!", 15},
    {69, 0x00, 0x00, 0x00, "IBM Key 69 Not Used!", 15},
    {70, 0x00, 0x00, 0x00, "IBM Key 70 Not Used!", 15},
    {71, 0x00, 0x00, 0x00, "IBM Key 71 Not Used!", 15},
    {72, 0x00, 0x00, 0x00, "IBM Key 72 Not Used!", 15},
    {73, 0x00, 0x00, 0x00, "IBM Key 73 Not Used!", 15},
    {74, 0x00, 0x00, 0x00, "IBM Key 74 Not Used!", 15},
    {75, 0x70, 0x67, 0x49, "IBM Key 75", 2},
    {76, 0x71, 0x64, 0x4C, "IBM Key 76", 2},
    {77, 0x00, 0x00, 0x00, "IBM Key 77 Not Used!", 15},
    {78, 0x00, 0x00, 0x00, "IBM Key 78 Not Used!", 15},
    {79, 0x6B, 0x61, 0x50, "IBM Key 79", 2},
    {80, 0x6C, 0x6E, 0x4A, "IBM Key 80", 2},
    {81, 0x69, 0x65, 0x4D, "IBM Key 81", 2},
    {82, 0x00, 0x00, 0x00, "IBM Key 82 Not Used!", 15},
    {83, 0x75, 0x63, 0x52, "IBM Key 83", 2},
    {84, 0x72, 0x60, 0x51, "IBM Key 84", 2},
    {85, 0x7D, 0x6F, 0x4B, "IBM Key 85", 2},
    {86, 0x7A, 0x6D, 0x4E, "IBM Key 86", 2},
    {87, 0x00, 0x00, 0x00, "IBM Key 87 Not Used!", 15},
    {88, 0x00, 0x00, 0x00, "IBM Key 88 Not Used!", 15},
    {89, 0x74, 0x6A, 0x4F, "IBM Key 89", 2},
    {90, 0x77, 0x76, 0x53, "IBM Key 90", 0},
    {91, 0x6C, 0x6C, 0x5F, "IBM Key 91", 0},
    {92, 0x6B, 0x6B, 0x5C, "IBM Key 92", 0},
    {93, 0x69, 0x69, 0x59, "IBM Key 93", 0},
    {94, 0x00, 0x00, 0x00, "IBM Key 94 Not Used!", 15},
    {95, 0x4A, 0x77, 0x54, "IBM Key 95", 3},
    {96, 0x75, 0x75, 0x60, "IBM Key 96", 0},
    {97, 0x73, 0x73, 0x5D, "IBM Key 97", 0},
    {98, 0x72, 0x72, 0x5A, "IBM Key 98", 0},
    {99, 0x70, 0x70, 0x62, "IBM Key 99", 0},
    {100, 0x7C, 0x7E, 0x55, "IBM Key 100", 0},
    {101, 0x7D, 0x7D, 0x61, "IBM Key 101", 0},
    {102, 0x74, 0x74, 0x5E, "IBM Key 102", 0},
    {103, 0x7A, 0x7A, 0x5B, "IBM Key 103", 0},
    {104, 0x71, 0x71, 0x63, "IBM Key 104", 0},
    {105, 0x7B, 0x84, 0x56, "IBM Key 105", 0},
    {106, 0x79, 0x7C, 0x57, "IBM Key 106", 0},
    {107, 0x00, 0x00, 0x85, "IBM Key 107 Not Used!", 15},
    {108, 0x5A, 0x79, 0x58, "IBM Key 108", 1},
    {109, 0x00, 0x00, 0x00, "IBM Key 109 Not Used!", 15},
    {110, 0x76, 0x08, 0x29, "IBM Key 110", 0},
    {111, 0x00, 0x00, 0x00, "IBM Key 111 Not Used!", 15},
    {112, 0x05, 0x07, 0x3A, "IBM Key 112", 0},
    {113, 0x06, 0x0F, 0x3B, "IBM Key 113", 0},
    {114, 0x04, 0x17, 0x3C, "IBM Key 114", 0},
    {115, 0x0C, 0x1F, 0x3D, "IBM Key 115", 0},
    {116, 0x03, 0x27, 0x3E, "IBM Key 116", 0},
    {117, 0x0B, 0x2F, 0x3F, "IBM Key 117", 0},
    {118, 0x83, 0x37, 0x40, "IBM Key 118", 0},
    {119, 0x0A, 0x3F, 0x41, "IBM Key 119", 0},
    {120, 0x01, 0x47, 0x42, "IBM Key 120", 0},
    {121, 0x09, 0x4F, 0x43, "IBM Key 121", 0},
    {122, 0x78, 0x56, 0x44, "IBM Key 122", 0},
    {123, 0x07, 0x5E, 0x45, "IBM Key 123", 0},
    {124, 0x7C, 0x57, 0x46, "IBM Key 124", 4},
    {125, 0x7E, 0x5F, 0x47, "IBM Key 125", 0},
    {126, 0x77, 0x62, 0x48, "IBM Key 126", 5},
    {127, 0x1F, 0x00, 0xE3, "IBM Key 127", 12},
    {128, 0x27, 0x00, 0xE7, "IBM Key 128", 12},
    {129, 0x2F, 0x00, 0x65, "IBM Key 129", 12},
    {130, 0x01, 0x01, 0x01, "Left Mouse Button", 16},
    {131, 0x02, 0x02, 0x02, "Right Mouse Button", 16},
    {132, 0x04, 0x04, 0x04, "Middle Mouse Button", 16},
    {133, 0x00, 0x00, 0x00, "String", 17},
    {134, 0x00, 0x00, 0x00, "Fn1 Button", 6},
    {135, 0x00, 0x00, 0x00, "Fn2 Button", 14},
    {136, 0x00, 0x37, 0x01, "System power", 19},
    {137, 0x00, 0x3F, 0x02, "System sleep", 19},
    {138, 0x00, 0x5E, 0x04, "System wake", 19},
    {139, 0x00, 0x4D, 0x01, "Next track", 18},
    {140, 0x00, 0x15, 0x02, "Prev track", 18},
    {141, 0x00, 0x3B, 0x24, "Stop", 18},
    {142, 0x00, 0x34, 0x19, "Play-Pause", 18},
    {143, 0x23, 0x23, 0x10, "Mute", 18},
    {144, 0x32, 0x32, 0x04, "Volume up", 18},
    {145, 0x21, 0x21, 0x08, "Volume down", 18},
    {146, 0x00, 0x00, 0x00, "Stop SUN", 22},
    {147, 0x08, 0x00, 0x68, "F13", 0},
    {148, 0x10, 0x00, 0x69, "F14", 0},
    {149, 0x18, 0x00, 0x6A, "F15", 0},
    {150, 0x20, 0x00, 0x6B, "F16", 0},
    {151, 0x28, 0x00, 0x6C, "F17", 0},
    {152, 0x30, 0x00, 0x6D, "F18", 0},
    {153, 0x38, 0x00, 0x6E, "F19", 0},
    {154, 0x40, 0x00, 0x6F, "F20", 0},
    {155, 0x48, 0x00, 0x70, "F21", 0},
    {156, 0x50, 0x00, 0x71, "F22", 0},
    {157, 0x57, 0x00, 0x72, "F23", 0},
    {158, 0x5F, 0x00, 0x73, "F24", 0},
}};

const std::array<std::string_view, kKeyTypeCount> KeyTypeIdentifiers = {
    "NORMAL_KEY",
    "KEYPAD_ENTER_KEY",
    "CURSOR_KEY",
    "KEYPAD_KEY",
    "PRINTSCREEEN_KEY",
    "PAUSE_KEY",
    "LOCAL_SHIFT_RIGHT_KEY",
    "LOCAL_SHIFT_LEFT_KEY",
    "SHIFT_RIGHT_KEY",
    "SHIFT_LEFT_KEY",
    "CTRL_RIGHT_KEY",
    "CTRL_LEFT_KEY",
    "ALT_RIGHT_OR_GR_KEY",
    "ALT_LEFT_KEY",
    "ALPHA_LOCK_KEY",
    "UNUSED_KEY",
    "MOUSE_BUTTON_KEY",
    "STRING_KEY",
    "CONSUMER_KEY",
    "SYSTEM_KEY",
    "LOCAL_ILLUMINATION_KEY",
    "undefined",
    "STOP_SUN_KEY",
};

const std::array<std::string_view, kKeyTypeCount> KeyTypeNames = {
    "Normal Key",        "Enter Keypad",      "Arrows Block", "Keypad",
    "Print Screen",      "Pause Key",         "Fn1 Right",    "Fn1 Left",
    "Shift Right",       "Shift Left",        "Ctrl Right",   "Ctrl Left",
    "Alt-Gr (Right)",    "Alt (Left)",        "Fn2",          "No Key",
    "Mouse Key",         "String Key",        "Consumer Key", "System Key",
    "Light Control Key", "undefined keytype", "Stop Sun Key",
};

const std::array<std::int32_t, kScanCodeCount> ScanToIbmKey = {
    0,   110, 2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  15,  16,  17,
    18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  43,  58,  31,  32,  33,  34,
    35,  36,  37,  38,  39,  40,  41,  1,   44,  29,  46,  47,  48,  49,  50,  51,  52,
    53,  54,  55,  57,  100, 60,  61,  30,  112, 113, 114, 115, 116, 117, 118, 119, 120,
    121, 126, 125, 91,  96,  101, 105, 92,  97,  102, 106, 93,  98,  103, 99,  104, 0,
    0,   45,  122, 123, 0,   0,   127, 128, 129, 0,   0,   0,   0,   0,   0};

const std::array<std::int32_t, kScanCodeCount> ExtendedScanToIbmKey = {
    0,   110, 2,   3,   4,   5,   6,   7,   8,   9,  10,  11,  12,  13,  15, 16,  17, 18, 19,  20,
    21,  22,  23,  24,  25,  26,  27,  28,  108, 58, 31,  32,  33,  34,  35, 36,  37, 38, 39,  40,
    41,  42,  44,  45,  46,  47,  48,  49,  50,  51, 52,  53,  54,  95,  57, 124, 60, 61, 0,   112,
    113, 114, 115, 116, 117, 118, 119, 120, 121, 90, 125, 80,  83,  85,  0,  79,  97, 89, 106, 81,
    84,  86,  75,  76,  0,   0,   0,   0,   0,   0,  0,   127, 128, 129, 0,  0,   0,  0,  0,   0};

const std::array<std::string_view, 4> DefRepDelayNames = {"Normal", "Faster", "VeryFast",
                                                          "Fastest"};

const std::array<std::string_view, 32> DefRepRateNames = {
    "32 mS",  "36 mS",  "40 mS",  "44 mS",  "48 mS",  "52 mS",  "56 mS",  "60 mS",
    "64 mS",  "72 mS",  "80 mS",  "88 mS",  "96 mS",  "104 mS", "112 mS", "120 mS",
    "128 mS", "144 mS", "160 mS", "176 mS", "192 mS", "208 mS", "224 mS", "240 mS",
    "256 mS", "288 mS", "320 mS", "352 mS", "384 mS", "416 mS", "448 mS", "480 mS"};

const std::array<std::string_view, 6> LedNames = {
    "No LED", "Power on LED", "Alpha Lock LED", "Num Lock LED", "Caps Lock LED", "Scroll Lock LED"};

const std::array<std::string_view, 3> PointDeviceNames = {"None", "Trackerball", "Gyro Kestan"};

const std::array<std::string_view, 16> MaxScanRowNames = {
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16"};

const IbmKeyRow* IbmKeyRowAt(std::int32_t row) {
  if (row < 0 || row >= kIbmKeyRowCount) return nullptr;
  return &IbmKeyTable[static_cast<std::size_t>(row)];
}

int FindRowByUsb(std::uint8_t usb) {
  for (const IbmKeyRow& row : IbmKeyTable)
    if (row.usb == usb) return row.number;
  return 0;
}

int FindRowByTypeAndUsb(std::uint8_t type, std::uint8_t usb) {
  for (const IbmKeyRow& row : IbmKeyTable)
    if (row.type == type && row.usb == usb) return row.number;
  return 0;
}

std::optional<int> FindRowByLegend(std::string_view text) {
  for (const IbmKeyRow& row : IbmKeyTable)
    if (row.legend == text) return row.number;
  return std::nullopt;
}

std::string_view KeyTypeIdentifierOf(std::uint8_t keytype) {
  const int type = keytype & 0x3F;
  if (type >= kKeyTypeCount) return "undefined";
  return KeyTypeIdentifiers[static_cast<std::size_t>(type)];
}

std::int32_t IbmKeyOfScanCode(int scanCode, bool extended) {
  if (scanCode < 0 || scanCode >= kScanCodeCount) return 0;
  const auto& list = extended ? ExtendedScanToIbmKey : ScanToIbmKey;
  return list[static_cast<std::size_t>(scanCode)];
}

namespace {

// Media, browser and launch keys send E0 before the code of a plain key, and
// the extended list repeats that key's row for them (Mute would be D). These
// are their own rows; the right Ctrl and Alt keys are named here too.
int OwnRowOfExtendedKey(int scanCode) {
  switch (scanCode) {
    case 0x1D:
      return 64;  // right Ctrl
    case 0x38:
      return 62;  // right Alt
    case 0x5E:
      return 136;  // System power
    case 0x5F:
      return 137;  // System sleep
    case 0x63:
      return 138;  // System wake
    case 0x19:
      return 139;  // Next track
    case 0x10:
      return 140;  // Prev track
    case 0x24:
      return 141;  // Stop
    case 0x22:
      return 142;  // Play-Pause
    case 0x20:
      return 143;  // Mute
    case 0x30:
      return 144;  // Volume up
    case 0x2E:
      return 145;  // Volume down
    default:
      return 0;
  }
}

// A row that a key sending no E0 (set 1 codes 0x01..0x58) has.
bool IsPlainKeyRow(int row) {
  constexpr int kLastPlainCode = 0x58;
  for (int code = 1; code <= kLastPlainCode; ++code)
    if (ScanToIbmKey[static_cast<std::size_t>(code)] == row) return true;
  return false;
}

}  // namespace

int RowOfTypedKey(int scanCode, bool extended) {
  constexpr int kF13Row = 147;
  constexpr int kF24Row = 158;
  if (!extended && scanCode >= 0x64 && scanCode <= 0x6E) return kF13Row + (scanCode - 0x64);
  if (!extended && scanCode == 0x76) return kF24Row;
  if (!extended) return IbmKeyOfScanCode(scanCode, false);
  if (const int own = OwnRowOfExtendedKey(scanCode); own != 0) return own;
  // Any other extended key on a plain key's row is not that key: it has none.
  const int row = IbmKeyOfScanCode(scanCode, true);
  return IsPlainKeyRow(row) ? 0 : row;
}

}  // namespace veltrane::model
