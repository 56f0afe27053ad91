// SPDX-License-Identifier: MIT
// Load, save and report of a full definition: every key and layer used,
// varied values and a string store filled to its last entry.
#include <benchmark/benchmark.h>

#include <string>

#include "model/definition.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "persist/text_report.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace veltrane;
using veltrane::testing::TempDir;

const model::KeyboardDefinition& FullDefinition() {
  static const model::KeyboardDefinition def = [] {
    model::KeyboardDefinition d;
    model::InitialiseDefinition(d);
    for (int k = 0; k < model::kKeyCount; ++k) {
      model::KeyDefinition& key = d.keys[static_cast<std::size_t>(k)];
      model::SetFieldText(key.legend, "Full key legend number " + std::to_string(k));
      key.logicalAddress = static_cast<std::uint8_t>(k);
      for (int l = 0; l < model::kLayerCount; ++l) {
        model::KeyLayer& layer = key.layers[static_cast<std::size_t>(l)];
        model::AssignTableKey(layer, 1 + (k * 4 + l) % (model::kIbmKeyRowCount - 1));
        layer.used = 1;
        layer.keymode = static_cast<std::uint8_t>(l);
        if (l == 3) {
          layer.keytype = model::STRING_KEY;
          layer.ibmkey = k;
          layer.stringcharcount = 1;
        }
      }
      model::UpdateKeyComplete(key);
    }
    // 128 one-stroke strings would need 256 entries: the store saturates.
    for (int n = 0; n < model::kStringCount; ++n) {
      const model::IbmKeyRow& row = model::IbmKeyTable[static_cast<std::size_t>(1 + n % 100)];
      d.stringWorkBuffer[static_cast<std::size_t>(n)][0] = {0x02, row.usb, row.scan2, row.type};
      d.stringWorkBuffer[static_cast<std::size_t>(n)][1] = model::StringChar{};
    }
    model::FlattenStrings(d);
    d.settings.NumberOfStrings = model::kStringCount;
    d.settings.BeepLength = 100;
    d.settings.ConfigFileName = "bench.DAT";
    d.settings.SerialNumber = "SN-BENCH-0001";
    return d;
  }();
  return def;
}

void BM_DecodeConfigFile(benchmark::State& state) {
  persist::HeaderImage header;
  const auto file = persist::EncodeConfigFile(FullDefinition(), header);
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  for (auto _ : state) {
    benchmark::DoNotOptimize(persist::DecodeConfigFile(file, def, header));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * persist::kConfigFileSize);
}
BENCHMARK(BM_DecodeConfigFile);

void BM_ReadConfigFile(benchmark::State& state) {
  TempDir dir;
  const std::string path = dir.File("bench.DAT");
  persist::HeaderImage header;
  if (!persist::WriteConfigFile(path, FullDefinition(), header)) {
    state.SkipWithError("cannot write the file to read");
    return;
  }
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  for (auto _ : state) {
    benchmark::DoNotOptimize(persist::ReadConfigFile(path, def, header));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ReadConfigFile);

void BM_EncodeConfigFile(benchmark::State& state) {
  persist::HeaderImage header;
  for (auto _ : state) {
    auto file = persist::EncodeConfigFile(FullDefinition(), header);
    benchmark::DoNotOptimize(file.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * persist::kConfigFileSize);
}
BENCHMARK(BM_EncodeConfigFile);

// Includes the flush to the disk that every save makes.
void BM_WriteConfigFile(benchmark::State& state) {
  TempDir dir;
  const std::string path = dir.File("bench.DAT");
  persist::HeaderImage header;
  for (auto _ : state) {
    if (!persist::WriteConfigFile(path, FullDefinition(), header)) {
      state.SkipWithError("write failed");
      break;
    }
  }
}
BENCHMARK(BM_WriteConfigFile)->Unit(benchmark::kMicrosecond);

void BM_FormatTextReport(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string text = persist::FormatTextReport(FullDefinition());
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_FormatTextReport)->Unit(benchmark::kMicrosecond);

void BM_WriteTextReport(benchmark::State& state) {
  TempDir dir;
  const std::string path = dir.File("Saved.txt");
  for (auto _ : state) {
    if (!persist::WriteTextReport(path, FullDefinition())) {
      state.SkipWithError("write failed");
      break;
    }
  }
}
BENCHMARK(BM_WriteTextReport)->Unit(benchmark::kMicrosecond);

}  // namespace
