// SPDX-License-Identifier: MIT
// Where the program keeps what belongs to the user rather than to a
// definition: the log and the recovery copies.
#pragma once

#include <string>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

// "$XDG_STATE_HOME/veltrane/" when XDG_STATE_HOME is an absolute path, else
// "$HOME/.local/state/veltrane/" (the password database's home without HOME);
// empty when there is no home either. Nothing is created.
std::string StateDirectory();

// Creates the directory and those missing above it, each new one 0700; a
// directory already there is kept as it is. Fails with the path that could
// not be made and the reason; a link to a directory counts as one.
Status MakeDirectories(const std::string& path);

}  // namespace veltrane::fileaccess
