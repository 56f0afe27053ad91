// SPDX-License-Identifier: MIT
// Replacing a whole file so that a failure never damages what was there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fileaccess/status.h"

namespace veltrane::fileaccess {

// Writes the bytes to a temporary file beside the target, syncs it, renames
// it over the target and syncs the directory; only then is success reported.
// The temporary file has no name while it is written (where the file system
// allows) and gets one (fileaccess::TemporaryNameFor, ".NAME.veltrane-...tmp")
// just before the rename; its writer holds a lock on it, so that
// RemoveStaleTemporaries can tell one left behind by a process cut short. A symbolic link is
// followed to the file it ends in, which is replaced in its own directory; the link stays. Refused,
// leaving everything as it was: a target that exists and is not a regular file (device, FIFO,
// directory) and one whose owner may not write it (also for root). A replaced file keeps its
// permission bits, and its owner and group where the process may set them; a new file gets 0666
// less umask.
//
// Unsynced, the file and the rename are not synced: the target still holds
// the old bytes or the new ones whatever happens to the program, but a power
// failure may lose the latest, or on some file systems leave it damaged. For
// copies written often that can tell damage themselves, where the two syncs
// would cost many times the write.
enum class Durability { Synced, Unsynced };
Status ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                   Durability durability = Durability::Synced);
Status ReplaceFile(const std::string& path, std::string_view text,
                   Durability durability = Durability::Synced);

}  // namespace veltrane::fileaccess
