// What a person calls a key of the IBM key table: the name on a US keyboard
// for the IBM key positions ("A", "Enter", "Keypad 7"), the table's own legend
// for the rest ("Left Mouse Button", "F13", "No Key").
#pragma once

#include <string>

namespace veltrane::persist {

// For a row outside the table, "?".
std::string KeyLabel(int row);

}  // namespace veltrane::persist
