// SPDX-License-Identifier: MIT
#include "cli/keys_subcommand.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "cli/cli_support.h"
#include "cli/standard_streams.h"
#include "cli/terminal_text.h"
#include "persist/key_labels.h"

namespace veltrane::cli {
namespace {

const char* const kKeysUsage =
    "usage: veltrane-cli keys [PATTERN]\n"
    "  Lists the rows of the IBM key table: number, label, table name and key type.\n"
    "  A definition text names a key by its label (\"Escape\") or its table name\n"
    "  (\"IBM Key 110\"). PATTERN keeps the rows whose number is PATTERN, or whose\n"
    "  label, table name or type contains it, letter case aside; with * ? or [ it is\n"
    "  a shell pattern that one of them must match whole.\n";

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Matches(const persist::KeyName& name, const std::string& pattern) {
  if (pattern.empty() || pattern == std::to_string(name.row)) return true;
  const bool glob = pattern.find_first_of("*?[") != std::string::npos;
  for (std::string_view field : {std::string_view(name.label), name.tableName, name.type}) {
    const std::string text(field);
    if (glob ? ::fnmatch(pattern.c_str(), text.c_str(), FNM_CASEFOLD) == 0
             : Folded(text).find(Folded(pattern)) != std::string::npos)
      return true;
  }
  return false;
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

}  // namespace

std::string KeyListing(const std::string& pattern) {
  std::size_t labelWidth = 5, tableWidth = 10;
  for (const persist::KeyName& name : persist::KeyNames()) {
    labelWidth = std::max(labelWidth, name.label.size());
    tableWidth = std::max(tableWidth, name.tableName.size());
  }
  std::string out =
      "  #  " + Padded("label", labelWidth) + "  " + Padded("table name", tableWidth) + "  type\n";
  bool listed = false;
  for (const persist::KeyName& name : persist::KeyNames()) {
    if (!Matches(name, pattern)) continue;
    const std::string number = std::to_string(name.row);
    out += std::string(3 - number.size(), ' ') + number + "  " + Padded(name.label, labelWidth) +
           "  " + Padded(name.tableName, tableWidth) + "  " + std::string(name.type) + "\n";
    listed = true;
  }
  return listed ? out : std::string();
}

int RunKeys(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (args.help) return PrintHelp(kKeysUsage);
  if (!args.error.empty()) return UsageError(kKeysUsage, args.error);
  if (args.positional.size() > 1) return UsageError(kKeysUsage, "expected at most one PATTERN");
  const std::string pattern = args.positional.empty() ? "" : args.positional[0];
  const std::string listing = KeyListing(pattern);
  if (listing.empty()) {
    std::fprintf(stderr, "veltrane-cli: no key matches \"%s\"\n", EscapeControls(pattern).c_str());
    return kExitFailed;
  }
  WriteStandardOutput(listing);
  return kExitOk;
}

}  // namespace veltrane::cli
