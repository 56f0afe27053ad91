// SPDX-License-Identifier: MIT
// Key presses as the main window's shortcut counts them: Windows virtual-key codes.
#pragma once

class QKeyEvent;

namespace veltrane::gui {

inline constexpr int kVirtualKeyOem7 = 222;  // the key right of the semicolon key

// The key right of the semicolon key (by its physical place: X11 and Wayland
// report evdev code 40 + 8) gives 222, letters 65..90, digits 48..57, any
// other key 0.
int VirtualKeyOf(const QKeyEvent& event);

}  // namespace veltrane::gui
