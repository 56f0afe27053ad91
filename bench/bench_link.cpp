// SPDX-License-Identifier: MIT
// Library overhead per feature report on the simulated keyboard in virtual
// time: the open walk, report layout, progress and the keyboard model.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/block_transfer.h"
#include "link/simulated_layer.h"

namespace {

using veltrane::link::LinkState;
using veltrane::link::SimulatedLayer;
using veltrane::link::SimulatedOptions;

constexpr std::uint32_t kBytes = 3072;
constexpr std::int64_t kReports = kBytes / 4;

class SilentSimulatedLayer final : public SimulatedLayer {
 public:
  using SimulatedLayer::SimulatedLayer;
  void Message(const char*, const char*) override {}
  void Print(const char*) override {}
};

int IgnoreProgress(int) {
  return 0;
}

SimulatedOptions Options(const std::string& path) {
  SimulatedOptions options;
  options.path = path;
  options.virtualTime = true;
  return options;
}

void ReportRate(benchmark::State& state) {
  state.counters["per_report"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kReports),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The memory-only keyboard: no file is read or written.
void BM_Program3072(benchmark::State& state) {
  std::vector<std::uint8_t> image(8192, 0x5A);
  LinkState link;
  for (auto _ : state) {
    SilentSimulatedLayer layer(Options(""));
    benchmark::DoNotOptimize(
        veltrane::link::ProgramFirmWare(layer, link, image.data(), 0, kBytes, IgnoreProgress));
  }
  ReportRate(state);
}
BENCHMARK(BM_Program3072);

void BM_Read3072(benchmark::State& state) {
  std::vector<std::uint8_t> image(8192, 0);
  LinkState link;
  for (auto _ : state) {
    SilentSimulatedLayer layer(Options(""));
    benchmark::DoNotOptimize(
        veltrane::link::ReadFirmWare(layer, link, image.data(), 0, kBytes, IgnoreProgress));
  }
  ReportRate(state);
}
BENCHMARK(BM_Read3072);

// With the keyboard kept in a file: one load and one safe save per call.
void BM_Program3072WithFile(benchmark::State& state) {
  const std::string path = "/tmp/bench_link_" + std::to_string(::getpid()) + ".sim";
  std::vector<std::uint8_t> image(8192);
  LinkState link;
  std::uint8_t fill = 0;
  for (auto _ : state) {
    std::fill(image.begin(), image.end(), ++fill);  // every call changes the memory
    SilentSimulatedLayer layer(Options(path));
    benchmark::DoNotOptimize(
        veltrane::link::ProgramFirmWare(layer, link, image.data(), 0, kBytes, IgnoreProgress));
  }
  std::remove(path.c_str());
  ReportRate(state);
}
BENCHMARK(BM_Program3072WithFile);

}  // namespace
