// SPDX-License-Identifier: MIT
#include "persist/definition_json_values.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "model/key_tables.h"
#include "model/text_field.h"
#include "persist/key_labels.h"

namespace veltrane::persist::json_form {
namespace {

constexpr std::size_t kQuotedCharacters = 60;

std::string Range(std::int64_t min, std::int64_t max) {
  return std::to_string(min) + ".." + std::to_string(max);
}

std::string List(std::span<const std::string_view> names) {
  std::string out;
  for (std::string_view name : names)
    out += (out.empty() ? "\"" : ", \"") + std::string(name) + "\"";
  return out;
}

std::uint8_t HexDigit(char c, const std::string& path) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  Refuse(path, "expected hexadecimal digits");
}

}  // namespace

void Refuse(const std::string& path, std::string message) {
  throw Refusal{path.empty() ? "." : path, std::move(message)};
}

std::string QuoteText(std::string_view text) {
  return Quote(Dom(std::string(text)));
}

std::string Quote(const Dom& v) {
  std::string text = v.dump(-1, ' ', false, Dom::error_handler_t::replace);
  const bool quoted = v.is_string();
  const std::string_view inner =
      quoted ? std::string_view(text).substr(1, text.size() - 2) : std::string_view(text);
  const std::string cut = CutCharacters(inner, kQuotedCharacters);
  return quoted ? "\"" + cut + "\"" : cut;
}

std::string Alternatives(std::span<const std::string> names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 == names.size() ? " or " : ", ";
    out += QuoteText(names[i]);
  }
  return out;
}

std::int64_t Integer(const Dom& v, const std::string& path, std::int64_t min, std::int64_t max) {
  if (!v.is_number_integer())
    Refuse(path, "expected a whole number " + Range(min, max) + ", not " + Quote(v));
  const bool huge =
      v.is_number_unsigned() &&
      v.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max());
  const std::int64_t value =
      huge ? std::numeric_limits<std::int64_t>::max() : v.get<std::int64_t>();
  if (value < min || value > max) Refuse(path, Quote(v) + " is out of range " + Range(min, max));
  return value;
}

bool Flag(const Dom& v, const std::string& path) {
  if (v.is_boolean()) return v.get<bool>();
  if (v.is_number_integer()) return Integer(v, path, 0, 1) == 1;
  Refuse(path, "expected true or false, not " + Quote(v));
}

int Named(const Dom& v, const std::string& path, std::span<const std::string_view> names) {
  if (v.is_number_integer()) return static_cast<int>(Integer(v, path, 0, std::ssize(names) - 1));
  if (v.is_string()) {
    const auto found = std::find(names.begin(), names.end(), v.get<std::string>());
    if (found != names.end()) return static_cast<int>(found - names.begin());
  }
  Refuse(path, Quote(v) + " is not one of " + List(names));
}

unsigned Bits(const Dom& v, const std::string& path, std::span<const std::string_view> names) {
  if (!v.is_array()) Refuse(path, "expected a list of names from " + List(names));
  unsigned bits = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string item = path + "[" + std::to_string(i) + "]";
    if (!v[i].is_string()) Refuse(item, "expected a name from " + List(names));
    bits |= 1u << Named(v[i], item, names);
  }
  return bits;
}

std::string HexBytes(const Dom& v, const std::string& path) {
  if (!v.is_string() || v.get_ref<const std::string&>().size() % 2 != 0)
    Refuse(path, "expected an even number of hexadecimal digits");
  const std::string& hex = v.get_ref<const std::string&>();
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes += static_cast<char>(HexDigit(hex[i], path) << 4 | HexDigit(hex[i + 1], path));
  return bytes;
}

void OnlyMembers(const Dom& v, const std::string& path, std::span<const std::string_view> allowed) {
  if (!v.is_object()) Refuse(path, "expected an object, not " + Quote(v));
  for (const auto& [name, value] : v.items())
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
      Refuse(path + MemberPath(name), "unknown name; expected one of " + List(allowed));
}

std::string Text(const Dom& v, const std::string& path, std::size_t limit) {
  std::string bytes;
  if (v.is_string()) {
    bytes = v.get<std::string>();
  } else if (v.is_object() && v.size() == 1 && v.contains("hex")) {
    bytes = HexBytes(v["hex"], path + ".hex");
  } else {
    Refuse(path, "expected a text, not " + Quote(v));
  }
  if (bytes.find('\0') != std::string::npos) Refuse(path, "a text cannot hold a NUL character");
  if (bytes.size() > limit)
    Refuse(path, "the text has " + std::to_string(bytes.size()) + " bytes; a field holds at most " +
                     std::to_string(limit));
  return bytes;
}

std::string SettingText(const Dom& v, const std::string& path, const model::SettingEntry& entry) {
  std::string text = Text(v, path, static_cast<std::size_t>(entry.max));
  if (!model::IsPrintableText(text))
    Refuse(path, Quote(v) + " holds a control character; " + std::string(entry.name) +
                     " takes printable characters only");
  return text;
}

std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 6 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

int KeyType(const Dom& v, const std::string& path, int max) {
  if (v.is_number_integer()) return static_cast<int>(Integer(v, path, 0, max));
  return Named(v, path, model::KeyTypeIdentifiers);
}

std::optional<int> NamedRow(const Dom& v, const std::string& path) {
  std::optional<int> row;
  if (v.contains("key"))
    row = static_cast<int>(Integer(v["key"], path + ".key", 0, model::kIbmKeyRowCount - 1));
  if (!v.contains("name")) return row;
  const Dom& name = v["name"];
  const std::string namePath = path + ".name";
  if (!name.is_string()) Refuse(namePath, "expected a key name, not " + Quote(name));
  const std::string& text = name.get_ref<const std::string&>();
  // The text names the key it gives: no search for it.
  if (row && NamesRow(text, *row)) return row;
  const KeyNameMatch match = MatchKeyName(text);
  if (!match.sharing.empty()) {
    std::string rows;
    for (std::size_t i = 0; i < match.sharing.size(); ++i)
      rows += (i == 0                          ? ""
               : i + 1 == match.sharing.size() ? " and "
                                               : ", ") +
              std::to_string(match.sharing[i]);
    Refuse(namePath, Quote(name) + " is the label of keys " + rows +
                         "; give the one meant by its number (\"key\": N)");
  }
  if (!match.row) {
    if (match.close.empty()) Refuse(namePath, Quote(name) + " is not a key name");
    Refuse(namePath,
           Quote(name) + " is not a key name; did you mean " + Alternatives(match.close) + "?");
  }
  if (row && *row != *match.row)
    Refuse(namePath, Quote(name) + " is key " + std::to_string(*match.row) + ", not key " +
                         std::to_string(*row));
  return match.row;
}

}  // namespace veltrane::persist::json_form
