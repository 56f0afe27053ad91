// SPDX-License-Identifier: MIT
// Where a path leads once its symbolic links are followed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane::fileaccess {

// The path that a chain of symbolic links at `path` ends in; a relative link
// counts from its own directory. The end may not exist yet. Returns false with
// errno set (ELOOP for a chain of more than 40 links, or why a link could not
// be read).
bool FollowLinks(const std::string& path, std::string& target);

// The directory part of a path ("." when it has none) and the name after it.
std::string DirectoryOf(const std::string& path);
std::string NameOf(const std::string& path);

// The path made absolute against the current directory, "." and ".." left as
// they are; the path itself when the current directory is unknown.
std::string AbsolutePath(const std::string& path);

// The absolute directory of a path, ending in "/"; empty when there is none.
std::string AbsoluteDirectoryOf(const std::string& path);

// base + extension when something of that name exists, or when nothing exists
// whose name differs from it only in the letter case of the extension;
// otherwise the first such file by name ("a.dat" for base "a" and ".DAT").
std::string ExtensionVariant(const std::string& base, std::string_view extension);

// The size of the file at path, or nothing when it cannot be had.
std::optional<std::uintmax_t> FileSize(const std::string& path);

}  // namespace veltrane::fileaccess
