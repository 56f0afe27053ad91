// Small file helpers for the file-access tests.
#pragma once

#include <sys/types.h>

#include <string>

namespace veltrane::fileaccess::testing {

void WriteText(const std::string& path, const std::string& text);
mode_t ModeOf(const std::string& path);  // permission bits; 0 when missing
bool IsLink(const std::string& path);
// Files in a directory besides "." and "..", to catch a temporary file left behind.
int EntryCount(const std::string& directory);

}  // namespace veltrane::fileaccess::testing
