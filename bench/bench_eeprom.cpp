// SPDX-License-Identifier: MIT
// Building a full definition and decoding its image.
#include <benchmark/benchmark.h>

#include <memory>

#include "eeprom/image_builder.h"
#include "eeprom/image_reader.h"
#include "eeprom/text_dump.h"
#include "model/key_tables.h"

namespace {

namespace eeprom = veltrane::eeprom;
namespace model = veltrane::model;

// All 512 layers used with 255 distinct meanings, and a full string store.
std::unique_ptr<model::KeyboardDefinition> FullDefinition() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  for (int v = 0; v < model::kKeyCount * model::kLayerCount; ++v) {
    model::KeyLayer& layer =
        def->keys[static_cast<std::size_t>(v / 4)].layers[static_cast<std::size_t>(v % 4)];
    const int meaning = v % eeprom::kMaxDistinctMeanings;
    if (meaning < 128) {
      layer.keytype = model::STRING_KEY;
      layer.ibmkey = meaning;
    } else {
      model::AssignTableKey(layer, 1 + meaning % 158);
      layer.keymode = model::KEYMODE_SHIFT;
    }
    layer.used = 1;
  }
  for (std::size_t s = 0; s < model::kStringCount; ++s) {
    for (std::size_t i = 0; i < 2; ++i) def->stringWorkBuffer[s][i] = {0x02, 0x04, 0x1C, 0};
    def->stringWorkBuffer[s][2] = model::StringChar{};
  }
  model::FlattenStrings(*def);
  return def;
}

void BM_BuildFullDefinition(benchmark::State& state) {
  auto def = FullDefinition();
  eeprom::EepromImage image{};
  const eeprom::BuildResult check = eeprom::BuildImage(*def, "V0600", 600, image, nullptr);
  if (!check.fits || check.distinctMeanings != eeprom::kMaxDistinctMeanings)
    state.SkipWithError("the definition does not have 255 meanings");
  for (auto _ : state) {
    const eeprom::BuildResult result = eeprom::BuildImage(*def, "V0600", 600, image, nullptr);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_BuildFullDefinition);

void BM_DecodeFullImage(benchmark::State& state) {
  auto def = FullDefinition();
  eeprom::EepromImage built{};
  eeprom::BuildImage(*def, "V0600", 600, built, nullptr);
  auto decoded = std::make_unique<model::KeyboardDefinition>();
  for (auto _ : state) {
    eeprom::EepromImage image = built;
    model::ClearKeys(*decoded);
    decoded->settings = eeprom::DecodeImage(image, 600, *decoded).settings;
    benchmark::DoNotOptimize(decoded->keys.data());
  }
}
BENCHMARK(BM_DecodeFullImage);

void BM_FormatTextDump(benchmark::State& state) {
  auto def = FullDefinition();
  eeprom::EepromImage image{};
  eeprom::BuildImage(*def, "V0600", 600, image, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(eeprom::FormatTextDump(image));
}
BENCHMARK(BM_FormatTextDump);

}  // namespace
