// SPDX-License-Identifier: MIT
// Arbitrary bytes shaped into configuration files of the three readable
// lengths (or left as they are), decoded, and pushed through everything that
// runs after a load: the string work buffer, the report, a save and the packing
// of the strings. A saved file must decode to a definition that saves the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/definition.h"
#include "persist/config_file.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"

namespace {

using namespace veltrane;

// First byte: bits 0-1 choose the length (current, earlier, oldest, as given);
// bit 2 keeps the versions as they come instead of making them acceptable.
std::vector<std::uint8_t> ShapeFile(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  const std::uint8_t selector = data[0];
  ++data;
  --size;
  static constexpr std::size_t kLengths[] = {
      persist::kConfigFileSize, persist::kEarlierConfigFileSize, persist::kOldestConfigFileSize};
  const std::size_t choice = selector & 3u;
  std::vector<std::uint8_t> file(data, data + size);
  if (choice == 3) return file;
  file.resize(kLengths[choice], 0);
  if ((selector & 4u) == 0) {
    file[0] = static_cast<std::uint8_t>(file[0] % 3);
    std::fill(file.begin() + 1, file.begin() + 4, 0);
    file[4] = static_cast<std::uint8_t>(4 + file[4] % 4);
    std::fill(file.begin() + 5, file.begin() + 8, 0);
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  persist::HeaderImage header;

  const std::vector<std::uint8_t> file = ShapeFile(data, size);
  const persist::LoadOutcome outcome = persist::DecodeConfigFile(file, def, header);
  model::ClearStringWorkBuffer(def, false);
  model::RebuildStringWorkBuffer(def);

  // The settings as a load gives them, unchecked.
  def.settings = persist::FromHeader(header);
  persist::FormatTextReport(def);
  const auto saved = persist::EncodeConfigFile(def, header);

  if (outcome == persist::LoadOutcome::Loaded) {
    static model::KeyboardDefinition again;
    model::InitialiseDefinition(again);
    persist::HeaderImage rereadHeader;
    if (persist::DecodeConfigFile(saved, again, rereadHeader) != persist::LoadOutcome::Loaded)
      __builtin_trap();
    again.settings = persist::FromHeader(rereadHeader);
    if (persist::EncodeConfigFile(again, rereadHeader) != saved) __builtin_trap();
  }

  model::FlattenStrings(def);
  return 0;
}
