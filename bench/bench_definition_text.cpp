// SPDX-License-Identifier: MIT
// Export, import and diff of a full definition as JSON text: every key with a
// legend (half of them filling all 32 bytes) and four used layers (one a
// macro), 128 macros of three strokes and header texts that fill their
// fields; and the key names that veltrane-cli keys lists.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <memory>
#include <string>

#include "cli/keys_subcommand.h"
#include "model/definition.h"
#include "model/key_tables.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"

namespace {

using namespace veltrane;

std::size_t HeaderAt(std::string_view setting) {
  return model::SettingNamed(setting).headerOffset;
}

struct Full {
  std::unique_ptr<model::KeyboardDefinition> def = std::make_unique<model::KeyboardDefinition>();
  persist::HeaderImage header;
};

const Full& FullDefinition() {
  static const Full full = [] {
    Full f;
    model::KeyboardDefinition& d = *f.def;
    model::InitialiseDefinition(d);
    for (int k = 0; k < model::kKeyCount; ++k) {
      model::KeyDefinition& key = d.keys[static_cast<std::size_t>(k)];
      model::SetFieldText(key.legend, "Full key legend number " + std::to_string(k));
      if (k % 2 == 0) std::fill(key.legend.begin(), key.legend.end(), 'L');
      for (int l = 0; l < model::kLayerCount; ++l) {
        model::KeyLayer& layer = key.layers[static_cast<std::size_t>(l)];
        model::AssignTableKey(layer, 1 + (k * 4 + l) % 129);  // the IBM key positions
        layer.used = 1;
        layer.keymode = static_cast<std::uint8_t>(l);
        if (l == 3) {
          layer = model::KeyLayer{1, {}, k, 0, model::STRING_KEY, 0, 0, 0, {}, 3};
        }
      }
      model::UpdateKeyComplete(key);
    }
    for (int n = 0; n < model::kStringCount; ++n) {
      for (int i = 0; i < 3; ++i) {
        const model::IbmKeyRow& row =
            model::IbmKeyTable[static_cast<std::size_t>(1 + (n + i) % 100)];
        d.stringWorkBuffer[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)] = {
            static_cast<std::uint8_t>(i == 0 ? 0x02 : 0x00), row.usb, row.scan2, row.type};
      }
      d.stringWorkBuffer[static_cast<std::size_t>(n)][3] = model::StringChar{};
    }
    d.settings.NumberOfStrings = model::kStringCount;
    persist::ToHeader(d.settings, f.header);
    f.header.SetWholeText(HeaderAt("SerialNumber"), "SN-BENCH-0001-FILLING-ITS-FIELD!");
    f.header.SetWholeText(HeaderAt("ConfigFileName"), "bench-definition-full-length.DAT");
    d.settings = persist::FromHeader(f.header);
    return f;
  }();
  return full;
}

void BM_ExportDefinitionText(benchmark::State& state) {
  const Full& full = FullDefinition();
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string text = persist::ExportDefinitionText(*full.def, full.header);
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ExportDefinitionText)->Unit(benchmark::kMicrosecond);

void BM_ImportDefinitionText(benchmark::State& state) {
  const Full& full = FullDefinition();
  const std::string text = persist::ExportDefinitionText(*full.def, full.header);
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  persist::HeaderImage header;
  for (auto _ : state) {
    if (!persist::ImportDefinitionText(text, *def, header).ok) {
      state.SkipWithError(persist::ImportDefinitionText(text, *def, header).error.c_str());
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportDefinitionText)->Unit(benchmark::kMicrosecond);

// Against a fresh definition: every key, layer and macro differs.
void BM_DiffDefinitions(benchmark::State& state) {
  const Full& full = FullDefinition();
  auto fresh = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*fresh);
  persist::HeaderImage freshHeader;
  for (auto _ : state)
    benchmark::DoNotOptimize(persist::DiffDefinitions(*fresh, freshHeader, *full.def, full.header));
}
BENCHMARK(BM_DiffDefinitions)->Unit(benchmark::kMicrosecond);

// The listing of all 159 rows, and of the rows a pattern keeps.
void BM_KeyListing(benchmark::State& state) {
  const std::string pattern = state.range(0) == 0 ? "" : "keypad";
  for (auto _ : state) benchmark::DoNotOptimize(cli::KeyListing(pattern));
}
BENCHMARK(BM_KeyListing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// `veltrane-cli keys > /dev/null` as a user runs it: the process from its start to its exit,
// and the CPU time the process itself took (process_cpu_ms, loading its libraries included).
void BM_KeysCommand(benchmark::State& state) {
  char program[] = VELTRANE_CLI;
  char keys[] = "keys";
  char* argv[] = {program, keys, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double cpuSeconds = 0;
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawn(&child, program, &actions, nullptr, argv, environ) != 0 ||
        wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      state.SkipWithError("veltrane-cli keys failed");
      break;
    }
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  posix_spawn_file_actions_destroy(&actions);
  state.counters["process_cpu_ms"] =
      benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeysCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
