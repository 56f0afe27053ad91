// SPDX-License-Identifier: MIT
#include "ui/dialogs/key_mapping.h"

#include <gtest/gtest.h>

namespace veltrane::ui {
namespace {

struct Row {
  int evdev;
  std::uint8_t scan;
  bool extended;
  int vk;  // with Num Lock on and no character
};

constexpr Row kKnownKeys[] = {
    {1, 0x01, false, 27},    {2, 0x02, false, '1'},   {11, 0x0B, false, '0'},  // Esc 1 0
    {16, 0x10, false, 'Q'},  {30, 0x1E, false, 'A'},  {44, 0x2C, false, 'Z'},  // Q A Z
    {28, 0x1C, false, 13},   {96, 0x1C, true, 13},                             // Enter, keypad
    {29, 0x1D, false, 17},   {97, 0x1D, true, 17},                             // Ctrl L R
    {56, 0x38, false, 18},   {100, 0x38, true, 18},                            // Alt L R
    {42, 0x2A, false, 16},   {54, 0x36, false, 16},                            // Shift L R
    {40, 0x28, false, 222},  {86, 0x56, false, 226},                           // ' and 102nd
    {87, 0x57, false, 122},  {88, 0x58, false, 123},                           // F11 F12
    {183, 0x64, false, 124}, {194, 0x76, false, 135},                          // F13 F24
    {102, 0x47, true, 36},   {103, 0x48, true, 38},   {105, 0x4B, true, 37},   // Home Up Left
    {108, 0x50, true, 40},   {111, 0x53, true, 46},                            // Down Delete
    {71, 0x47, false, 103},  {83, 0x53, false, 110},                           // keypad 7 .
    {98, 0x35, true, 111},   {99, 0x37, true, 44},                             // keypad / Print
    {69, 0x45, true, 144},   {119, 0x45, false, 19},                           // Num Lock Pause
    {125, 0x5B, true, 91},   {127, 0x5D, true, 93},                            // Win Menu
};

TEST(KeyMapping, ScanCodesAndVirtualKeysOfKnownKeys) {
  for (const Row& row : kKnownKeys) {
    EXPECT_EQ(ScanCodeOfEvdev(row.evdev), (ScanCode{row.scan, row.extended})) << row.evdev;
    EXPECT_EQ(VirtualKeyOf(row.evdev, 0, true), row.vk) << row.evdev;
  }
  EXPECT_EQ(EvdevFromNativeScanCode(38), 30);
  EXPECT_EQ(EvdevFromNativeScanCode(7), -1);
}

TEST(KeyMapping, UnknownCodesHaveNone) {
  for (int code : {-1, 0, 84, 101, 255, 256, 0x2FF}) {
    EXPECT_EQ(ScanCodeOfEvdev(code), ScanCode{}) << code;
    EXPECT_EQ(VirtualKeyOf(code, 'a', true), 0) << code;
  }
}

TEST(KeyMapping, SidedModifiers) {
  EXPECT_EQ(SidedModifierKey(42), 160);
  EXPECT_EQ(SidedModifierKey(54), 161);
  EXPECT_EQ(SidedModifierKey(29), 162);
  EXPECT_EQ(SidedModifierKey(97), 163);
  EXPECT_EQ(SidedModifierKey(56), 164);
  EXPECT_EQ(SidedModifierKey(100), 165);
  EXPECT_EQ(SidedModifierKey(30), 0);
}

TEST(KeyMapping, LettersAndDigitsFollowTheLayoutOnlyInTheMainBlock) {
  // AZERTY: the Q position types "a", the A position "Q", the 1 position "&".
  EXPECT_EQ(VirtualKeyOf(16, 'a', true), 65);
  EXPECT_EQ(VirtualKeyOf(30, 'Q', true), 81);
  EXPECT_EQ(VirtualKeyOf(2, '&', true), 49);
  EXPECT_EQ(VirtualKeyOf(30, 0x01, true), 65);  // Ctrl+A
  EXPECT_EQ(VirtualKeyOf(71, '7', true), 103);  // keypad 7
  EXPECT_EQ(VirtualKeyOf(71, 0, false), 36);    // ... without Num Lock: Home
  EXPECT_EQ(VirtualKeyOf(76, 0, false), 12);    // keypad 5: Clear
  EXPECT_EQ(VirtualKeyOf(83, 0, false), 46);    // keypad .: Delete
  EXPECT_EQ(VirtualKeyOf(96, 0, false), 13);
}

}  // namespace
}  // namespace veltrane::ui
