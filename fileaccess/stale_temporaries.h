// Temporary files that a replacement cut short (a crash, a kill, a power
// failure) left in a directory.
#pragma once

#include <string>

namespace veltrane::fileaccess {

// Whether a file name has the form of ReplaceFile's temporary files: ".vt"
// and six letters or digits.
bool IsTemporaryName(const std::string& name);

// Removes the temporary files in the directory that no process is writing:
// regular files of that name form, not locked by their writer and not changed
// for a minute. Returns how many were removed; a directory that cannot be
// listed removes nothing.
int RemoveStaleTemporaries(const std::string& directory);

}  // namespace veltrane::fileaccess
