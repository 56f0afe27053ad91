// SPDX-License-Identifier: MIT
// veltrane-cli draw: the keymap picture of a configuration file.
#pragma once

namespace veltrane::cli {

int RunDraw(int argc, char** argv);

}  // namespace veltrane::cli
