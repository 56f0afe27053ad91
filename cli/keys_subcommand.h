// SPDX-License-Identifier: MIT
// veltrane-cli keys: the names a definition text may give a key.
#pragma once

#include <string>

namespace veltrane::cli {

// The rows of the IBM key table that PATTERN keeps (all for ""), one line
// each after a heading: number, label, table name and type in columns; empty
// when no row matches.
std::string KeyListing(const std::string& pattern);

int RunKeys(int argc, char** argv);

}  // namespace veltrane::cli
