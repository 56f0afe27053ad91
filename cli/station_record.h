// SPDX-License-Identifier: MIT
// The station's record from the command line: the whole record as CSV
// (station-log) and the release of a reservation no keyboard holds.
#pragma once

#include <string>

namespace veltrane::cli {

// The store NAME in the directory of the log file `log`.
std::string StoreBeside(const std::string& log, const std::string& name);

// station --release SERIAL: refused while its station runs on this machine
// or a keyboard plugged in holds the serial.
int ReleaseReservation(const std::string& serial, const std::string& db);

int RunStationLog(int argc, char** argv);

}  // namespace veltrane::cli
