// SPDX-License-Identifier: MIT
// Undo and redo over a full definition: one step of a key (a few bytes) and
// one of a load that replaced every key and string; and the memory a history
// of 1000 steps holds, for small steps and for loads of full definitions.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "model/key_tables.h"
#include "ui/app/app_state.h"
#include "ui/app/undo_commands.h"

namespace {

namespace model = veltrane::model;
namespace ui = veltrane::ui;

// Every layer of every key used, and as many macro strokes as the keyboard's
// store holds (16 macros of 8 strokes); `seed` changes every one of them.
void Fill(model::KeyboardDefinition& def, int seed) {
  for (int v = 0; v < model::kKeyCount * model::kLayerCount; ++v) {
    model::KeyLayer& layer =
        def.keys[static_cast<std::size_t>(v / 4)].layers[static_cast<std::size_t>(v % 4)];
    model::AssignTableKey(layer, 1 + (v + seed) % 158);
    layer.used = 1;
  }
  for (std::size_t n = 0; n < 16; ++n) {
    model::StringRow& row = def.stringWorkBuffer[n];
    for (std::size_t i = 0; i < 8; ++i)
      row[i] = {0x02,
                static_cast<std::uint8_t>(0x04 + (i + n + static_cast<std::size_t>(seed)) % 26),
                0x1C, 0};
    row[8] = model::StringChar{};
  }
  def.settings.DebounceTime = 10 + static_cast<std::uint32_t>(seed);
}

std::unique_ptr<ui::AppState> FullApp() {
  auto app = std::make_unique<ui::AppState>();
  ui::StartApplication(*app);
  Fill(app->doc.def, 0);
  ui::ForgetSteps(*app);
  return app;
}

// Arg 0: a Key Settings store of one layer; arg 1: a load of another full definition.
void BM_UndoRedo(benchmark::State& state) {
  const auto app = FullApp();
  if (state.range(0) == 0) {
    model::AssignTableKey(app->doc.def.keys[77].layers[2], 40);
    ui::RecordStep(*app, "Key Settings 9/5");
  } else {
    Fill(app->doc.def, 1);
    ui::RecordStep(*app, "Load other.DAT");
  }
  for (auto _ : state) {
    ui::UndoStep(*app);
    ui::RedoStep(*app);
  }
  state.SetLabel(state.range(0) == 0 ? "one key, undo + redo" : "a full load, undo + redo");
}
BENCHMARK(BM_UndoRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 1000 steps recorded; the counter MB is what the history then holds.
// Arg 0: Key Settings stores; arg 1: loads of two full definitions in turn.
void BM_ThousandSteps(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto app = FullApp();
    for (int i = 0; i < 1000; ++i) {
      if (state.range(0) == 0) {
        app->doc.def.keys[static_cast<std::size_t>(i % 128)].layers[1].ibmkey = 1000 + i;
        ui::RecordStep(*app, "Key Settings");
      } else {
        Fill(app->doc.def, 1 + i % 2);
        ui::RecordStep(*app, "Load");
      }
    }
    bytes = app->history.Bytes();
    benchmark::DoNotOptimize(bytes);
    if (app->history.UndoCount() != 1000) state.SkipWithError("steps were dropped");
  }
  state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
  state.SetLabel(state.range(0) == 0 ? "key stores" : "full loads");
}
BENCHMARK(BM_ThousandSteps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
