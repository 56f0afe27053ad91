// SPDX-License-Identifier: MIT
// Temporary files that a replacement cut short (a crash, a kill, a power
// failure) left in a directory.
#pragma once

#include <string>

#include "fileaccess/temporary_name.h"

namespace veltrane::fileaccess {

// Removes the temporary files in the directory that no process is writing:
// regular files whose name carries the program's mark (IsTemporaryName), not
// locked by their writer and not changed for a minute. Any other file stays,
// whatever its name. Returns how many were removed; a directory that cannot
// be listed removes nothing.
int RemoveStaleTemporaries(const std::string& directory);

}  // namespace veltrane::fileaccess
