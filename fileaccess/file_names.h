// SPDX-License-Identifier: MIT
// Files handled by name as a whole: removed, renamed, dated.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

// Removes the name; a name that is already gone counts as removed.
Status RemoveFile(const std::string& path);

// Renames within one file system; an existing `to` is replaced.
Status RenameFile(const std::string& from, const std::string& to);

// When the file (a link followed) last changed, or nothing when it cannot be had.
std::optional<std::time_t> ModificationTime(const std::string& path);

}  // namespace veltrane::fileaccess
