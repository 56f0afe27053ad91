// SPDX-License-Identifier: MIT
// Reading the values of the JSON form: each checked against what its field
// holds, refused with its JSON path and a readable message. Internal to
// persist/ (the import's element readers use them).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/settings_schema.h"
#include "persist/definition_json_parse.h"

namespace veltrane::persist::json_form {

// Thrown by the readers, caught once at the import's top.
struct Refusal {
  std::string path;
  std::string message;
};

[[noreturn]] void Refuse(const std::string& path, std::string message);

// A value as a message quotes it: its JSON text, cut to 60 characters with
// "…" (a string keeps its closing quote).
std::string Quote(const Dom& value);
std::string QuoteText(std::string_view text);

// "A", "A or B", "A, B or C" with each quoted.
std::string Alternatives(std::span<const std::string> names);

std::int64_t Integer(const Dom& v, const std::string& path, std::int64_t min, std::int64_t max);
bool Flag(const Dom& v, const std::string& path);
// A name from the list, or its position in it.
int Named(const Dom& v, const std::string& path, std::span<const std::string_view> names);
// A list of names from `names`, as bits by their positions.
unsigned Bits(const Dom& v, const std::string& path, std::span<const std::string_view> names);
std::string HexBytes(const Dom& v, const std::string& path);
// Refuses any member of the object not in `allowed` (and what is not an object).
void OnlyMembers(const Dom& v, const std::string& path, std::span<const std::string_view> allowed);
// A text field's bytes, at most `limit`: a string, or {"hex": "..."}.
std::string Text(const Dom& v, const std::string& path, std::size_t limit);
// A setting's text: as Text, at most the entry's bytes and printable only.
std::string SettingText(const Dom& v, const std::string& path, const model::SettingEntry& entry);
// "12" but not "012", "+1" or "1e1"; nothing past six digits.
std::optional<int> Number(std::string_view text);
// A key type by identifier, or a number 0..max.
int KeyType(const Dom& v, const std::string& path, int max);
// The IbmKeyTable row an element names by "key", "name" or both; "name" is
// the row's label ("Escape") or its table name ("IBM Key 110").
std::optional<int> NamedRow(const Dom& v, const std::string& path);

}  // namespace veltrane::persist::json_form
