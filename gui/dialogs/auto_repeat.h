// SPDX-License-Identifier: MIT
// Held keys as the windows that log and capture keys need them.
#pragma once

namespace veltrane::gui {

// Asks the X server to send no release between the repeated presses of a
// held key (XKB detectable auto-repeat), for the whole program. Without it
// a release and the repeat's press may reach the program in different event
// batches, and a held key looks released. Returns false where this cannot
// be had (not X11, or a server without XKB); the windows then rely on the
// releases the toolkit marks as repeats.
bool UseDetectableAutoRepeat();

}  // namespace veltrane::gui
