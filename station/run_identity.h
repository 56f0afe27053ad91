// SPDX-License-Identifier: MIT
// Which run of which station made a reservation: "HOST/PID/START", where START
// is the process's start time in clock ticks since boot, so that a later
// process with the same number is not taken for it.
#pragma once

#include <string>

namespace veltrane::station {

// This process's run.
std::string ThisRun();

// The host name a run names.
std::string HostOf(const std::string& run);

// Whether the run is a process of this machine that is still running. A run of
// another machine is not known to have ended: `elsewhere` is then set.
bool RunIsAlive(const std::string& run, bool& elsewhere);

}  // namespace veltrane::station
