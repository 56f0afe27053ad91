#include "ui/key_mapping.h"

#include <gtest/gtest.h>

namespace veltrane::ui {
namespace {

// Evdev codes of the keys the cases use.
constexpr int kEsc = 1, k1 = 2, k0 = 11, kQ = 16, kEnter = 28, kLeftCtrl = 29, kA = 30, kZ = 44;
constexpr int kApostrophe = 40, kLeftShift = 42, kRightShift = 54, kLeftAlt = 56;
constexpr int kNumLock = 69, kKp7 = 71, kKp5 = 76, kKpDot = 83, k102nd = 86, kF11 = 87;
constexpr int kF12 = 88, kKpEnter = 96, kRightCtrl = 97, kKpSlash = 98, kSysRq = 99;
constexpr int kRightAlt = 100, kHome = 102, kUp = 103, kLeft = 105, kDown = 108, kDelete = 111;
constexpr int kPause = 119, kLeftMeta = 125, kCompose = 127, kF13 = 183, kF24 = 194;

TEST(ScanCodeOfEvdev, MainBlockKeysKeepTheirCodesWithoutPrefix) {
  EXPECT_EQ(ScanCodeOfEvdev(kEsc), (ScanCode{0x01, false}));
  EXPECT_EQ(ScanCodeOfEvdev(k1), (ScanCode{0x02, false}));
  EXPECT_EQ(ScanCodeOfEvdev(k0), (ScanCode{0x0B, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kQ), (ScanCode{0x10, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kA), (ScanCode{0x1E, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kZ), (ScanCode{0x2C, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kEnter), (ScanCode{0x1C, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kLeftCtrl), (ScanCode{0x1D, false}));
  EXPECT_EQ(ScanCodeOfEvdev(k102nd), (ScanCode{0x56, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kF11), (ScanCode{0x57, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kF12), (ScanCode{0x58, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kF13), (ScanCode{0x64, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kF24), (ScanCode{0x76, false}));
  EXPECT_EQ(ScanCodeOfEvdev(kPause), (ScanCode{0x45, false}));
}

TEST(ScanCodeOfEvdev, DuplicatedKeysAreExtended) {
  EXPECT_EQ(ScanCodeOfEvdev(kRightCtrl), (ScanCode{0x1D, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kRightAlt), (ScanCode{0x38, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kKpEnter), (ScanCode{0x1C, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kKpSlash), (ScanCode{0x35, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kSysRq), (ScanCode{0x37, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kHome), (ScanCode{0x47, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kUp), (ScanCode{0x48, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kLeft), (ScanCode{0x4B, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kDown), (ScanCode{0x50, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kDelete), (ScanCode{0x53, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kLeftMeta), (ScanCode{0x5B, true}));
  EXPECT_EQ(ScanCodeOfEvdev(kCompose), (ScanCode{0x5D, true}));
  // The keypad twins of the arrows are not.
  EXPECT_EQ(ScanCodeOfEvdev(kKp7), (ScanCode{0x47, false}));
}

TEST(ScanCodeOfEvdev, UnknownCodesHaveNone) {
  for (int code : {-1, 0, 84, 101, 255, 256, 0x2FF}) {
    EXPECT_EQ(ScanCodeOfEvdev(code), ScanCode{}) << code;
    EXPECT_EQ(VirtualKeyOf(code, 0, true), 0) << code;
  }
  EXPECT_EQ(EvdevFromNativeScanCode(38), kA);
  EXPECT_EQ(EvdevFromNativeScanCode(7), -1);
  EXPECT_EQ(EvdevFromNativeScanCode(0), -1);
}

TEST(VirtualKeyOf, UsPositionsAndGenericModifiers) {
  EXPECT_EQ(VirtualKeyOf(kA, 0, true), 65);
  EXPECT_EQ(VirtualKeyOf(kZ, 0, true), 90);
  EXPECT_EQ(VirtualKeyOf(k1, 0, true), 49);
  EXPECT_EQ(VirtualKeyOf(k0, 0, true), 48);
  EXPECT_EQ(VirtualKeyOf(kApostrophe, '\'', true), 222);
  EXPECT_EQ(VirtualKeyOf(kF11, 0, true), 122);
  EXPECT_EQ(VirtualKeyOf(kF12, 0, true), 123);
  EXPECT_EQ(VirtualKeyOf(kPause, 0, true), 19);
  EXPECT_EQ(VirtualKeyOf(kNumLock, 0, true), 144);
  EXPECT_EQ(VirtualKeyOf(kLeftShift, 0, true), 16);
  EXPECT_EQ(VirtualKeyOf(kRightShift, 0, true), 16);
  EXPECT_EQ(VirtualKeyOf(kRightCtrl, 0, true), 17);
  EXPECT_EQ(VirtualKeyOf(kRightAlt, 0, true), 18);
  EXPECT_EQ(SidedModifierKey(kLeftShift), 160);
  EXPECT_EQ(SidedModifierKey(kRightShift), 161);
  EXPECT_EQ(SidedModifierKey(kLeftCtrl), 162);
  EXPECT_EQ(SidedModifierKey(kRightCtrl), 163);
  EXPECT_EQ(SidedModifierKey(kLeftAlt), 164);
  EXPECT_EQ(SidedModifierKey(kRightAlt), 165);
  EXPECT_EQ(SidedModifierKey(kA), 0);
}

TEST(VirtualKeyOf, LettersAndDigitsFollowTheLayout) {
  // AZERTY: the Q position types "a", the A position "q", the 1 position "&".
  EXPECT_EQ(VirtualKeyOf(kQ, 'a', true), 65);
  EXPECT_EQ(VirtualKeyOf(kA, 'Q', true), 81);
  EXPECT_EQ(VirtualKeyOf(k1, '&', true), 49);
  EXPECT_EQ(VirtualKeyOf(k1, '1', true), 49);
  // Ctrl+A produces a control character: the position decides.
  EXPECT_EQ(VirtualKeyOf(kA, 0x01, true), 65);
  // Keypad digits never become the main-block digits.
  EXPECT_EQ(VirtualKeyOf(kKp7, '7', true), 103);
  EXPECT_EQ(VirtualKeyOf(kKpDot, '.', true), 110);
  EXPECT_EQ(VirtualKeyOf(kKp7, 0, false), 36);
  EXPECT_EQ(VirtualKeyOf(kKp5, 0, false), 12);
  EXPECT_EQ(VirtualKeyOf(kKpDot, 0, false), 46);
  EXPECT_EQ(VirtualKeyOf(kKpEnter, 0, false), 13);
  EXPECT_EQ(VirtualKeyOf(kKpSlash, '/', true), 111);
}

}  // namespace
}  // namespace veltrane::ui
