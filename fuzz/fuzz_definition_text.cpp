// SPDX-License-Identifier: MIT
// Arbitrary text given to the definition text importer. Whatever it accepts
// must round-trip: its export imports again to the same configuration file
// (byte for byte, texts that fill their whole 32-byte fields included) and
// the same report, exports to the same text, and compares with a fresh
// definition without trouble.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/definition.h"
#include "persist/config_file.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"
#include "persist/text_report.h"

namespace {

using namespace veltrane;

// What a save of the imported definition writes, and its report.
struct Saved {
  std::array<std::uint8_t, persist::kConfigFileSize> file;
  std::string report;
};

Saved Save(const model::KeyboardDefinition& def, const persist::HeaderImage& header) {
  static model::KeyboardDefinition packed;
  packed = def;
  model::FlattenStrings(packed);
  persist::HeaderImage filled = header;
  return {persist::EncodeConfigFile(packed, filled), persist::FormatTextReport(packed)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static model::KeyboardDefinition def, again, fresh;
  model::InitialiseDefinition(def);
  model::InitialiseDefinition(fresh);
  persist::HeaderImage header, againHeader, freshHeader;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!persist::ImportDefinitionText(text, def, header).ok) return 0;

  const std::string exported = persist::ExportDefinitionText(def, header);
  model::InitialiseDefinition(again);
  if (!persist::ImportDefinitionText(exported, again, againHeader).ok) __builtin_trap();
  if (persist::ExportDefinitionText(again, againHeader) != exported) __builtin_trap();
  const Saved first = Save(def, header);
  const Saved second = Save(again, againHeader);
  if (first.file != second.file || first.report != second.report) __builtin_trap();
  if (!persist::DiffDefinitions(def, header, again, againHeader).empty()) __builtin_trap();
  persist::FormatDifferencesJson(persist::DiffDefinitions(fresh, freshHeader, def, header));
  return 0;
}
