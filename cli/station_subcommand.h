// SPDX-License-Identifier: MIT
// The production line from the command line: station.
#pragma once

namespace veltrane::cli {

int RunStation(int argc, char** argv);

}  // namespace veltrane::cli
