// SPDX-License-Identifier: MIT
// Arbitrary keyboard contents: decode, build again from what was decoded, dump;
// and an image the program built reads back into a definition that builds the
// same 3072 bytes again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "eeprom/image_builder.h"
#include "eeprom/image_reader.h"
#include "eeprom/text_dump.h"

namespace eeprom = veltrane::eeprom;
namespace model = veltrane::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr int kFirmwares[] = {0, 527, 600, 1420};
  const int firmware = size > 0 ? kFirmwares[data[0] % 4] : 0;
  eeprom::EepromImage image{};
  if (size > 1) std::copy_n(data + 1, std::min(size - 1, eeprom::kKeyboardBytes), image.begin());

  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  def->settings = eeprom::DecodeImage(image, firmware, *def).settings;

  eeprom::EepromImage rebuilt{};
  model::FlattenStrings(*def);
  const bool fits = eeprom::BuildImage(*def, "V0527", firmware, rebuilt, nullptr).fits;
  const std::string dump = eeprom::FormatTextDump(rebuilt);
  if (dump.size() != eeprom::kTextDumpSize) __builtin_trap();
  if (!fits) return 0;  // such an image is never sent

  auto again = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*again);
  again->settings = eeprom::DecodeImage(rebuilt, firmware, *again).settings;
  model::FlattenStrings(*again);
  eeprom::EepromImage second{};
  eeprom::BuildImage(*again, "V0527", firmware, second, nullptr);
  if (!std::equal(rebuilt.begin(), rebuilt.begin() + eeprom::kKeyboardBytes, second.begin()))
    __builtin_trap();
  return 0;
}
