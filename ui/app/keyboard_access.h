// SPDX-License-Identifier: MIT
// What the user is told, once per run, of a keyboard this user may not open.
#pragma once

#include <string>
#include <string_view>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

// Where the udev rule that gives access is installed.
inline constexpr std::string_view kUdevRulePath = "/etc/udev/rules.d/70-veltrane.rules";

// The library's explanation followed by the rule lines to install.
std::string KeyboardAccessAdvice(std::string_view problem);

// After a command: when the link's last search met a keyboard it could not
// open, shows the advice (caption "Keyboard access") the first time in the run.
void TellAccessProblemOnce(AppState& app, const Services& io, KeyboardLink& link);

}  // namespace veltrane::ui
