// SPDX-License-Identifier: MIT
// Adding to a record that must survive a crash, such as a log of results.
#pragma once

#include <string>
#include <string_view>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

// Appends the text to the file at `path` in one write and syncs it (and, for
// a file it creates, its directory) before success is reported. A new file
// gets 0666 less umask; a link is followed; what is not a regular file is
// refused untouched. A failed or short write cuts the file back to its
// former length, so that no part of the text stays. An empty text checks
// that the file can be appended to, creating it when missing.
Status AppendSynced(const std::string& path, std::string_view text);

}  // namespace veltrane::fileaccess
