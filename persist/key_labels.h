// SPDX-License-Identifier: MIT
// What a person calls a key of the IBM key table: the name on a US keyboard
// for the IBM key positions ("A", "Enter", "Keypad 7"), the table's own legend
// for the rest ("Left Mouse Button", "F13", "No Key").
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::persist {

// For a row outside the table, "?".
std::string KeyLabel(int row);

// The names of one row of the IBM key table.
struct KeyName {
  int row = 0;
  std::string label;           // KeyLabel(row)
  std::string_view tableName;  // the table's legend, "IBM Key 31"
  std::string_view type;       // the row's key type identifier, "NORMAL_KEY"
};

// The 159 rows in row order.
std::span<const KeyName> KeyNames();

// What a name given in a text stands for.
struct KeyNameMatch {
  std::optional<int> row;          // the one row of that table name or label
  std::vector<int> sharing;        // the rows that share the label, when several do
  std::vector<std::string> close;  // up to three close names, when none matched
};

// Matches the text exactly against the table names, then the labels.
KeyNameMatch MatchKeyName(std::string_view text, std::span<const KeyName> names = KeyNames());

// Whether `text` names row `row` (its table name or its label).
bool NamesRow(std::string_view text, int row);

}  // namespace veltrane::persist
