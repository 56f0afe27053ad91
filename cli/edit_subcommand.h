// SPDX-License-Identifier: MIT
// veltrane-cli edit: keys moved, copied and swapped, and layers copied,
// swapped and cleared in a configuration file, as the window's Edit menu does.
#pragma once

namespace veltrane::cli {

int RunEdit(int argc, char** argv);
extern const char* const kEditUsage;

}  // namespace veltrane::cli
