// SPDX-License-Identifier: MIT
// The names of the temporary files that a replacement writes beside its
// target, made so that no user picks one and the program can tell its own.
#pragma once

#include <string>
#include <string_view>

namespace veltrane::fileaccess {

// ".NAME.veltrane-RRRRRRCCCCCC.tmp" for the target's file name NAME (cut on a
// character boundary so that the whole stays within 255 bytes): six random
// letters or digits R, then six check characters C that a keyed checksum
// derives from NAME and R. The check characters are the program's mark: the
// name stays with the file on every file system (unlike extended attributes,
// which tmpfs before Linux 6.6 and FAT volumes refuse), and a name a user
// gave has them only by a chance of one in 62^6.
std::string TemporaryNameFor(std::string_view targetName);

// Whether a file name is one that TemporaryNameFor made: the form and the mark.
bool IsTemporaryName(std::string_view name);

}  // namespace veltrane::fileaccess
