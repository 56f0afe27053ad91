// SPDX-License-Identifier: MIT
// The keymap picture of a full definition, all four layers: every key with a
// legend of its own and four used layers of every kind, and 128 macros of
// three strokes, all listed on the layer whose keys name them. Each run lays
// the pages out afresh (text measuring included) and renders them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "model/definition.h"
#include "model/key_tables.h"
#include "picture/keymap_picture.h"

namespace {

using namespace veltrane;

const model::KeyboardDefinition& FullDefinition() {
  static const std::unique_ptr<model::KeyboardDefinition> full = [] {
    auto d = std::make_unique<model::KeyboardDefinition>();
    model::InitialiseDefinition(*d);
    // Tables rows of keys, modifiers, media keys and mouse buttons, in turn.
    const int rows[] = {31, 44, 144, 130, 112, 58, 139, 91, 136, 134, 110, 147};
    for (int k = 0; k < model::kKeyCount; ++k) {
      model::KeyDefinition& key = d->keys[static_cast<std::size_t>(k)];
      model::SetFieldText(key.legend, "Key legend " + std::to_string(k) + " of the full one");
      for (int l = 0; l < model::kLayerCount; ++l) {
        model::KeyLayer& layer = key.layers[static_cast<std::size_t>(l)];
        model::AssignTableKey(layer, rows[(k + l) % std::size(rows)]);
        layer.used = 1;
        layer.keymode = static_cast<std::uint8_t>(l == 1 ? model::KEYMODE_CTRL : 0);
        if (l == 3) layer = model::KeyLayer{1, {}, k, 0, model::STRING_KEY, 0, 0, 0, {}, 3};
      }
      model::UpdateKeyComplete(key);
    }
    for (int n = 0; n < model::kStringCount; ++n)
      for (int i = 0; i < 3; ++i) {
        const model::IbmKeyRow& row =
            model::IbmKeyTable[static_cast<std::size_t>(1 + (n + i) % 100)];
        d->stringWorkBuffer[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)] = {
            static_cast<std::uint8_t>(i == 0 ? 0x02 : 0x00), row.usb, row.scan2, row.type};
      }
    return d;
  }();
  return *full;
}

void Draw(benchmark::State& state, picture::PictureFormat format) {
  const model::KeyboardDefinition& def = FullDefinition();
  const std::vector<int> layers{0, 1, 2, 3};
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string bytes =
        picture::RenderPages(picture::KeymapPages(def, layers, "full.DAT"), format);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}

void BM_DrawFullDefinitionSvg(benchmark::State& state) {
  Draw(state, picture::PictureFormat::Svg);
}
BENCHMARK(BM_DrawFullDefinitionSvg)->Unit(benchmark::kMillisecond);

void BM_DrawFullDefinitionPdf(benchmark::State& state) {
  Draw(state, picture::PictureFormat::Pdf);
}
BENCHMARK(BM_DrawFullDefinitionPdf)->Unit(benchmark::kMillisecond);

void BM_DrawFullDefinitionPng(benchmark::State& state) {
  Draw(state, picture::PictureFormat::Png);
}
BENCHMARK(BM_DrawFullDefinitionPng)->Unit(benchmark::kMillisecond);

}  // namespace
