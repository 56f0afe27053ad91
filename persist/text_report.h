// SPDX-License-Identifier: MIT
// The readable report of a whole definition ("Saved.txt"): settings, every key
// with its four layers, the string index and the string character store.
#pragma once

#include <string>

#include "fileaccess/status.h"
#include "model/definition.h"

namespace veltrane::persist {

// The report text with "\n" line ends.
std::string FormatTextReport(const model::KeyboardDefinition& def);

// Writes the report in one piece through fileaccess::ReplaceFile. Shows
// nothing; the status tells whether the file was written, and if not why.
fileaccess::Status WriteTextReport(const std::string& path, const model::KeyboardDefinition& def);

}  // namespace veltrane::persist
