// Where a path leads once its symbolic links are followed.
#pragma once

#include <string>

namespace veltrane::fileaccess {

// The path that a chain of symbolic links at `path` ends in; a relative link
// counts from its own directory. The end may not exist yet. Returns false with
// errno set (ELOOP for a chain of more than 40 links, or why a link could not
// be read).
bool FollowLinks(const std::string& path, std::string& target);

// The directory part of a path ("." when it has none) and the name after it.
std::string DirectoryOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace veltrane::fileaccess
