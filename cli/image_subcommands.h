// SPDX-License-Identifier: MIT
// Subcommands over EEPROM images: build and decode.
#pragma once

namespace veltrane::cli {

int RunBuild(int argc, char** argv);
int RunDecode(int argc, char** argv);

}  // namespace veltrane::cli
