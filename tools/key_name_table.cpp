// SPDX-License-Identifier: MIT
// The table of key names in docs/definition-format.md, made from the key
// table so that the two never differ:
//   key_name_table             prints the table
//   key_name_table --check F   exit status 1 when F's table is not this one
//   key_name_table --update F  writes this one into F
// The table stands between the two marker lines below.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "persist/key_labels.h"

namespace {

using veltrane::persist::KeyName;

constexpr const char* kBegin =
    "<!-- The key names: made by tools/key_name_table.cpp from the key table (cmake --build "
    "build --target key-name-doc); do not edit. -->\n";
constexpr const char* kEnd = "<!-- End of the key names. -->\n";

// A name as it is written in a text, a JSON string, in a code span a table cell can hold.
std::string Cell(std::string_view name) {
  std::string json = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') json += '\\';
    json += c;
  }
  json += '"';
  std::string cell;
  for (char c : json) cell += c == '|' ? std::string("\\|") : std::string(1, c);
  return json.find('`') == std::string::npos ? "`" + cell + "`" : "`` " + cell + " ``";
}

std::string Table() {
  std::string out = kBegin;
  out += "\n| key | label | table name | type |\n|---:|---|---|---|\n";
  for (const KeyName& name : veltrane::persist::KeyNames())
    out += "| " + std::to_string(name.row) + " | " + Cell(name.label) + " | " +
           Cell(name.tableName) + " | `" + std::string(name.type) + "` |\n";
  out += "\n";
  out += kEnd;
  return out;
}

std::optional<std::string> ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The document with its table replaced by this one; nothing without both markers.
std::optional<std::string> WithTable(const std::string& doc) {
  const std::size_t begin = doc.find(kBegin);
  const std::size_t end = doc.find(kEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin) return std::nullopt;
  return doc.substr(0, begin) + Table() + doc.substr(end + std::strlen(kEnd));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return std::fputs(Table().c_str(), stdout) < 0 ? 1 : 0;
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  const bool update = argc == 3 && std::strcmp(argv[1], "--update") == 0;
  if (!check && !update) {
    std::fputs("usage: key_name_table [--check FILE | --update FILE]\n", stderr);
    return 2;
  }
  const std::optional<std::string> doc = ReadWhole(argv[2]);
  const std::optional<std::string> made = doc ? WithTable(*doc) : std::nullopt;
  if (!made) {
    std::fprintf(stderr, "key_name_table: %s has no table of key names between its markers\n",
                 argv[2]);
    return 2;
  }
  if (check) {
    if (*made == *doc) return 0;
    std::fprintf(stderr,
                 "key_name_table: the key names in %s differ from the key table; run cmake "
                 "--build build --target key-name-doc\n",
                 argv[2]);
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << *made;
  return out.good() ? 0 : 1;
}
