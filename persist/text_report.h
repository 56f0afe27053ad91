// The readable report of a whole definition ("Saved.txt"): settings, every key
// with its four layers, the string index and the string character store.
#pragma once

#include <string>

#include "fileaccess/status.h"
#include "model/definition.h"
#include "model/shown_settings.h"

namespace veltrane::persist {

// The report text with "\n" line ends. The repeat delay and rate, debounce
// time, scan rows and pointing device come from `shown`, the rest from `def`.
std::string FormatTextReport(const model::KeyboardDefinition& def,
                             const model::ShownSettings& shown);

// Writes the report in one piece through fileaccess::ReplaceFile. Shows
// nothing; the status tells whether the file was written, and if not why.
fileaccess::Status WriteTextReport(const std::string& path, const model::KeyboardDefinition& def,
                                   const model::ShownSettings& shown);

}  // namespace veltrane::persist
