// SPDX-License-Identifier: MIT
// Subcommands that talk to the keyboard: detect, program, read, matrix.
#pragma once

namespace veltrane::cli {

int RunDetect(int argc, char** argv);
int RunProgram(int argc, char** argv);
int RunRead(int argc, char** argv);
int RunMatrix(int argc, char** argv);

}  // namespace veltrane::cli
