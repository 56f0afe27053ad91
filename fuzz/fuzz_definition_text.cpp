// Arbitrary text given to the definition text importer. Whatever it accepts
// must export to a text that imports again and exports to the same text, and
// must compare with a fresh definition without trouble.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/definition.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"

namespace {

using namespace veltrane;

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
  if (!persist::DiffDefinitions(def, header, again, againHeader).empty()) __builtin_trap();
  persist::FormatDifferencesJson(persist::DiffDefinitions(fresh, freshHeader, def, header));
  return 0;
}
