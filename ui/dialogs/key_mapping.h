// SPDX-License-Identifier: MIT
// The physical key of a PC keyboard event in the two codings the program
// works with: the PC scan code set 1 make code (with its E0 "extended" flag)
// and the Windows virtual-key code.
//
// Keys arrive as Linux input event codes (evdev). Under X11 and Wayland the
// native scan code of a key event is the evdev code + 8.
#pragma once

#include <cstdint>

namespace veltrane::ui {

inline constexpr int kNativeScanCodeOffset = 8;

struct ScanCode {
  std::uint8_t code = 0;  // set 1 make code; 0: the key has none
  bool extended = false;  // the make code is sent after an E0 prefix
  friend bool operator==(const ScanCode&, const ScanCode&) = default;
};

// Evdev code of an X11/Wayland native scan code; -1 when there is none.
int EvdevFromNativeScanCode(std::uint32_t nativeScanCode);

// Set 1 make code of an evdev key code; {0, false} for unknown codes.
// Pause gives 0x45 not extended, as the platform's key message reports it
// (the key really sends E1 1D 45); Num Lock gives 0x45 extended, as there.
ScanCode ScanCodeOfEvdev(int evdevCode);

// Virtual-key code of a key event, 0 for unknown keys. The physical key
// decides by its US-layout position (the key right of ';' is 222, VK_OEM_7),
// except that a main-block key whose produced character is an ASCII letter or
// digit gives that letter's or digit's code, so that the key an AZERTY layout
// labels "A" gives 65. character is 0 when the event produced none.
// Modifiers give the generic codes 16 (SHIFT), 17 (CONTROL) and 18 (MENU) the
// key message carries for both sides; SidedModifierKey tells the sides apart.
// With numLock the keypad digits and point give VK_NUMPAD0..9 and VK_DECIMAL,
// without it the navigation codes they stand for (keypad 5: VK_CLEAR).
int VirtualKeyOf(int evdevCode, char32_t character, bool numLock);

// VK_LSHIFT 160, VK_RSHIFT 161, VK_LCONTROL 162, VK_RCONTROL 163, VK_LMENU 164,
// VK_RMENU 165 for the six modifier keys; 0 for every other key.
int SidedModifierKey(int evdevCode);

}  // namespace veltrane::ui
