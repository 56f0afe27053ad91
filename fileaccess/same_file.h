// SPDX-License-Identifier: MIT
// Whether two paths name one file, for refusing to overwrite an input.
#pragma once

#include <string>

namespace veltrane::fileaccess {

// True when both exist and are one file (same device and inode). When either
// does not exist, true when both lead to the same absolute path once links are
// followed (the real path of the directory plus the name), so that an output
// not yet written is still recognised as its input's path.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace veltrane::fileaccess
