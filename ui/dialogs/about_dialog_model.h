// SPDX-License-Identifier: MIT
// The "About" box: the program's name and version text, and "OK".
#pragma once

#include <string_view>

#include "ui/controls/dialog_layout.h"

namespace veltrane::ui {

inline constexpr std::string_view kProgramName = "Veltrane";

// Title "About", the name and version labels and the default button "OK";
// "OK" and the cancel key both close the box.
const DialogLayout& AboutDialogLayout();

}  // namespace veltrane::ui
