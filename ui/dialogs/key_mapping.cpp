// SPDX-License-Identifier: MIT
#include "ui/dialogs/key_mapping.h"

#include <array>

namespace veltrane::ui {
namespace {

struct KeyRow {
  int evdev;
  std::uint8_t scan;
  bool extended;
  std::uint8_t vk;  // US-layout position
};

constexpr bool E0 = true;
constexpr bool NoE0 = false;

// Evdev codes 1..88 are the set 1 codes of the same keys.
constexpr KeyRow kRows[] = {
    {1, 0x01, NoE0, 27},  // Esc
    {2, 0x02, NoE0, '1'},   {3, 0x03, NoE0, '2'},   {4, 0x04, NoE0, '3'},
    {5, 0x05, NoE0, '4'},   {6, 0x06, NoE0, '5'},   {7, 0x07, NoE0, '6'},
    {8, 0x08, NoE0, '7'},   {9, 0x09, NoE0, '8'},   {10, 0x0A, NoE0, '9'},
    {11, 0x0B, NoE0, '0'},  {12, 0x0C, NoE0, 189},  // - OEM_MINUS
    {13, 0x0D, NoE0, 187},                          // = OEM_PLUS
    {14, 0x0E, NoE0, 8},    {15, 0x0F, NoE0, 9},    // Backspace, Tab
    {16, 0x10, NoE0, 'Q'},  {17, 0x11, NoE0, 'W'},  {18, 0x12, NoE0, 'E'},
    {19, 0x13, NoE0, 'R'},  {20, 0x14, NoE0, 'T'},  {21, 0x15, NoE0, 'Y'},
    {22, 0x16, NoE0, 'U'},  {23, 0x17, NoE0, 'I'},  {24, 0x18, NoE0, 'O'},
    {25, 0x19, NoE0, 'P'},  {26, 0x1A, NoE0, 219},  // [ OEM_4
    {27, 0x1B, NoE0, 221},                          // ] OEM_6
    {28, 0x1C, NoE0, 13},   {29, 0x1D, NoE0, 17},   // Enter, left Ctrl
    {30, 0x1E, NoE0, 'A'},  {31, 0x1F, NoE0, 'S'},  {32, 0x20, NoE0, 'D'},
    {33, 0x21, NoE0, 'F'},  {34, 0x22, NoE0, 'G'},  {35, 0x23, NoE0, 'H'},
    {36, 0x24, NoE0, 'J'},  {37, 0x25, NoE0, 'K'},  {38, 0x26, NoE0, 'L'},
    {39, 0x27, NoE0, 186},  // ; OEM_1
    {40, 0x28, NoE0, 222},  // ' OEM_7
    {41, 0x29, NoE0, 192},  // ` OEM_3
    {42, 0x2A, NoE0, 16},   // left Shift
    {43, 0x2B, NoE0, 220},  // backslash OEM_5
    {44, 0x2C, NoE0, 'Z'},  {45, 0x2D, NoE0, 'X'},  {46, 0x2E, NoE0, 'C'},
    {47, 0x2F, NoE0, 'V'},  {48, 0x30, NoE0, 'B'},  {49, 0x31, NoE0, 'N'},
    {50, 0x32, NoE0, 'M'},  {51, 0x33, NoE0, 188},  // , OEM_COMMA
    {52, 0x34, NoE0, 190},                          // . OEM_PERIOD
    {53, 0x35, NoE0, 191},                          // / OEM_2
    {54, 0x36, NoE0, 16},                           // right Shift
    {55, 0x37, NoE0, 106},                          // keypad *
    {56, 0x38, NoE0, 18},                           // left Alt
    {57, 0x39, NoE0, 32},   {58, 0x3A, NoE0, 20},   // Space, Caps Lock
    {59, 0x3B, NoE0, 112},  {60, 0x3C, NoE0, 113},  {61, 0x3D, NoE0, 114},
    {62, 0x3E, NoE0, 115},  {63, 0x3F, NoE0, 116},  {64, 0x40, NoE0, 117},
    {65, 0x41, NoE0, 118},  {66, 0x42, NoE0, 119},  {67, 0x43, NoE0, 120},
    {68, 0x44, NoE0, 121},                          // F1..F10
    {69, 0x45, E0, 144},    {70, 0x46, NoE0, 145},  // Num Lock (E0 45), Scroll Lock
    {71, 0x47, NoE0, 103},  {72, 0x48, NoE0, 104},  {73, 0x49, NoE0, 105},
    {74, 0x4A, NoE0, 109},  // keypad 7 8 9 -
    {75, 0x4B, NoE0, 100},  {76, 0x4C, NoE0, 101},  {77, 0x4D, NoE0, 102},
    {78, 0x4E, NoE0, 107},  // keypad 4 5 6 +
    {79, 0x4F, NoE0, 97},   {80, 0x50, NoE0, 98},   {81, 0x51, NoE0, 99},
    {82, 0x52, NoE0, 96},   {83, 0x53, NoE0, 110},  // keypad 1 2 3 0 .
    {86, 0x56, NoE0, 226},                          // the key left of Z, OEM_102
    {87, 0x57, NoE0, 122},  {88, 0x58, NoE0, 123},  // F11, F12
    {89, 0x73, NoE0, 226},                          // Ro
    {90, 0x78, NoE0, 0},    {91, 0x77, NoE0, 0},    // Katakana, Hiragana
    {92, 0x79, NoE0, 0},    {93, 0x70, NoE0, 0},    // Henkan, Katakana/Hiragana
    {94, 0x7B, NoE0, 0},                            // Muhenkan
    {96, 0x1C, E0, 13},                             // keypad Enter
    {97, 0x1D, E0, 17},                             // right Ctrl
    {98, 0x35, E0, 111},                            // keypad /
    {99, 0x37, E0, 44},                             // Print Screen / SysRq
    {100, 0x38, E0, 18},                            // right Alt
    {102, 0x47, E0, 36},    {103, 0x48, E0, 38},    // Home, Up
    {104, 0x49, E0, 33},    {105, 0x4B, E0, 37},    // Page Up, Left
    {106, 0x4D, E0, 39},    {107, 0x4F, E0, 35},    // Right, End
    {108, 0x50, E0, 40},    {109, 0x51, E0, 34},    // Down, Page Down
    {110, 0x52, E0, 45},    {111, 0x53, E0, 46},    // Insert, Delete
    {113, 0x20, E0, 173},   {114, 0x2E, E0, 174},   // Mute, Volume Down
    {115, 0x30, E0, 175},   {116, 0x5E, E0, 0},     // Volume Up, Power
    {117, 0x59, NoE0, 0},                           // keypad =
    {119, 0x45, NoE0, 19},                          // Pause
    {121, 0x7E, NoE0, 0},                           // keypad ,
    {124, 0x7D, NoE0, 220},                         // Yen
    {125, 0x5B, E0, 91},    {126, 0x5C, E0, 92},    // left, right Windows
    {127, 0x5D, E0, 93},                            // Menu (Apps)
    {128, 0x68, E0, 169},                           // browser Stop
    {140, 0x21, E0, 183},                           // Calculator
    {142, 0x5F, E0, 95},    {143, 0x63, E0, 0},     // Sleep, Wake
    {155, 0x6C, E0, 180},                           // Mail
    {156, 0x66, E0, 171},                           // Favorites
    {157, 0x6B, E0, 182},                           // My Computer
    {158, 0x6A, E0, 166},   {159, 0x69, E0, 167},   // browser Back, Forward
    {163, 0x19, E0, 176},   {164, 0x22, E0, 179},   // Next Track, Play/Pause
    {165, 0x10, E0, 177},   {166, 0x24, E0, 178},   // Previous Track, Stop
    {172, 0x32, E0, 172},   {173, 0x67, E0, 168},   // browser Home, Refresh
    {183, 0x64, NoE0, 124}, {184, 0x65, NoE0, 125}, {185, 0x66, NoE0, 126},
    {186, 0x67, NoE0, 127}, {187, 0x68, NoE0, 128}, {188, 0x69, NoE0, 129},
    {189, 0x6A, NoE0, 130}, {190, 0x6B, NoE0, 131}, {191, 0x6C, NoE0, 132},
    {192, 0x6D, NoE0, 133}, {193, 0x6E, NoE0, 134}, {194, 0x76, NoE0, 135},  // F13..F24
    {217, 0x65, E0, 170},                                                    // Search
    {226, 0x6D, E0, 181},                                                    // Media
};

constexpr int kTableSize = 256;

constexpr std::array<KeyRow, kTableSize> BuildTable() {
  std::array<KeyRow, kTableSize> table{};
  for (const KeyRow& row : kRows) table[row.evdev] = row;
  return table;
}

constexpr std::array<KeyRow, kTableSize> kTable = BuildTable();

const KeyRow* RowOf(int evdevCode) {
  if (evdevCode <= 0 || evdevCode >= kTableSize) return nullptr;
  const KeyRow& row = kTable[evdevCode];
  return row.evdev == evdevCode ? &row : nullptr;
}

// Keypad digits and point without Num Lock, from keypad 7 (71) to keypad . (83).
constexpr std::array<std::uint8_t, 13> kKeypadNavigation = {36,  38, 33, 109, 37, 12, 39,
                                                            107, 35, 40, 34,  45, 46};

bool InMainBlock(int evdevCode) {
  return (evdevCode >= 2 && evdevCode <= 53) || evdevCode == 86 || evdevCode == 89 ||
         evdevCode == 124;
}

}  // namespace

int EvdevFromNativeScanCode(std::uint32_t nativeScanCode) {
  if (nativeScanCode < static_cast<std::uint32_t>(kNativeScanCodeOffset)) return -1;
  if (nativeScanCode > 0xFFFF) return -1;
  return static_cast<int>(nativeScanCode) - kNativeScanCodeOffset;
}

ScanCode ScanCodeOfEvdev(int evdevCode) {
  const KeyRow* row = RowOf(evdevCode);
  if (row == nullptr) return {};
  return {row->scan, row->extended};
}

int VirtualKeyOf(int evdevCode, char32_t character, bool numLock) {
  const KeyRow* row = RowOf(evdevCode);
  if (row == nullptr) return 0;
  if (InMainBlock(evdevCode)) {
    if (character >= 'a' && character <= 'z') return static_cast<int>(character - 'a' + 'A');
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')) {
      return static_cast<int>(character);
    }
  }
  if (!numLock && evdevCode >= 71 && evdevCode <= 83) return kKeypadNavigation[evdevCode - 71];
  return row->vk;
}

int SidedModifierKey(int evdevCode) {
  switch (evdevCode) {
    case 42:
      return 160;
    case 54:
      return 161;
    case 29:
      return 162;
    case 97:
      return 163;
    case 56:
      return 164;
    case 100:
      return 165;
    default:
      return 0;
  }
}

}  // namespace veltrane::ui
