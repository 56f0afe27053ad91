// SPDX-License-Identifier: MIT
// Downloads on the simulated keyboard of a paced firmware (V0412X) in real
// time: a full download against the 768 x 16 ms floor of its waits, the
// changed-words download of one key's change against the full download of the
// same change, and the read-back of a full download against the download. In
// virtual time: the reports sent for a one-key, a ten-key and a new-macro
// change of a full-size definition.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "eeprom/image_builder.h"
#include "link/block_transfer.h"
#include "link/changed_words.h"
#include "link/simulated_layer.h"
#include "model/key_tables.h"

namespace {

namespace eeprom = veltrane::eeprom;
namespace link = veltrane::link;
namespace model = veltrane::model;

constexpr std::uint32_t kBytes = 3072;
constexpr double kFloorSeconds = 768 * 0.016;
constexpr const char* kPacedProduct = "V0412X Simulated keyboard";

class SilentLayer final : public link::SimulatedLayer {
 public:
  using SimulatedLayer::SimulatedLayer;
  void Message(const char*, const char*) override {}
  void Print(const char*) override {}
};

using Definition = std::unique_ptr<model::KeyboardDefinition>;

// A full-size keyboard: 104 keys on the base layer, an Fn layer on 24 of them,
// four macros of twelve strokes.
Definition Keyboard() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  for (int k = 0; k < 104; ++k) {
    model::KeyLayer& base = def->keys[static_cast<std::size_t>(k)].layers[0];
    model::AssignTableKey(base, 1 + k);
    base.used = 1;
    if (k < 24) {
      model::KeyLayer& fn = def->keys[static_cast<std::size_t>(k)].layers[1];
      model::AssignTableKey(fn, 110 + k);
      fn.used = 1;
    }
  }
  for (int s = 0; s < 4; ++s) {
    model::KeyLayer& layer = def->keys[static_cast<std::size_t>(110 + s)].layers[0];
    layer.keytype = model::STRING_KEY;
    layer.ibmkey = s;
    layer.used = 1;
    for (std::size_t i = 0; i < 12; ++i)
      def->stringWorkBuffer[static_cast<std::size_t>(s)][i] = {
          0x02, static_cast<std::uint8_t>(0x04 + i + static_cast<std::size_t>(s)), 0x1C, 0};
  }
  def->settings.NumberOfStrings = 4;
  return def;
}

void ChangeKeys(model::KeyboardDefinition& def, int keys) {
  for (int k = 0; k < keys; ++k) {
    model::KeyLayer& base = def.keys[static_cast<std::size_t>(30 + 7 * k)].layers[0];
    model::AssignTableKey(base, 140 + k);
  }
}

void AddMacro(model::KeyboardDefinition& def) {
  model::KeyLayer& layer = def.keys[120].layers[0];
  layer.keytype = model::STRING_KEY;
  layer.ibmkey = 4;
  layer.used = 1;
  for (std::size_t i = 0; i < 16; ++i)
    def.stringWorkBuffer[4][i] = {0, static_cast<std::uint8_t>(0x04 + i), 0x1C, 0};
  def.settings.NumberOfStrings = 5;
}

eeprom::EepromImage Image(model::KeyboardDefinition& def) {
  model::FlattenStrings(def);
  eeprom::EepromImage image{};
  eeprom::BuildImage(def, kPacedProduct, 412, image, nullptr);
  return image;
}

link::SimulatedOptions Options(const std::string& path, bool virtualTime) {
  link::SimulatedOptions options;
  options.path = path;
  options.product = kPacedProduct;
  options.virtualTime = virtualTime;
  return options;
}

std::string ScratchKeyboard() {
  const std::string path = "/tmp/bench_changed_words_" + std::to_string(::getpid()) + ".sim";
  std::remove(path.c_str());
  return path;
}

void RemoveKeyboard(const std::string& path) {
  std::remove(path.c_str());
  std::remove((path + ".lock").c_str());
}

// Puts `image` on the keyboard in virtual time.
void Hold(const std::string& path, const eeprom::EepromImage& image) {
  link::LinkState state;
  SilentLayer layer(Options(path, true));
  link::ProgramFirmWare(layer, state, image.data(), 0, kBytes, nullptr);
}

double SecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Ignore(int) {
  return 0;
}

// One key changed: the changed-words download against the full download of
// the same change, both in real time, in one run.
void BM_OneKeyChangedAgainstFull(benchmark::State& state) {
  const std::string path = ScratchKeyboard();
  Definition def = Keyboard();
  const eeprom::EepromImage before = Image(*def);
  ChangeKeys(*def, 1);
  const eeprom::EepromImage after = Image(*def);
  for (auto _ : state) {
    link::LinkState link;
    link::ChangedWordsReport report;
    Hold(path, before);
    const double changed = SecondsOf([&] {
      SilentLayer layer(Options(path, false));
      link::ProgramChangedWords(layer, link, after.data(), 0, kBytes, Ignore, report);
    });
    Hold(path, before);
    const double full = SecondsOf([&] {
      SilentLayer layer(Options(path, false));
      link::ProgramFirmWare(layer, link, after.data(), 0, kBytes, Ignore);
    });
    state.counters["words_sent"] = report.sent;
    state.counters["changed_s"] = changed;
    state.counters["full_s"] = full;
    state.counters["ratio"] = changed / full;
    if (report.verify != link::VerifyResult::Same) state.SkipWithError("not verified");
  }
  RemoveKeyboard(path);
}
BENCHMARK(BM_OneKeyChangedAgainstFull)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The pacing: full downloads of 768 paced reports against 12.288 s, on a
// keyboard held in memory (argument 0) and on one kept in its file (1: the
// file is loaded at open and saved safely at close, inside the time).
void BM_FullPacedDownload(benchmark::State& state) {
  const std::string path = state.range(0) != 0 ? ScratchKeyboard() : std::string();
  Definition def = Keyboard();
  const eeprom::EepromImage image = Image(*def);
  double worst = 0;
  for (auto _ : state) {
    link::LinkState link;
    SilentLayer layer(Options(path, false));
    const double seconds =
        SecondsOf([&] { link::ProgramFirmWare(layer, link, image.data(), 0, kBytes, Ignore); });
    worst = std::max(worst, (seconds - kFloorSeconds) / kFloorSeconds * 100);
  }
  state.counters["worst_over_floor_pct"] = worst;
  if (!path.empty()) RemoveKeyboard(path);
}
BENCHMARK(BM_FullPacedDownload)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// "Program Keyboard" reads the block back after a full download: the paced
// download and the unpaced read-back of the same run, in real time, and what
// the read-back adds to the download.
void BM_FullDownloadReadBack(benchmark::State& state) {
  const std::string path = ScratchKeyboard();
  Definition def = Keyboard();
  const eeprom::EepromImage image = Image(*def);
  for (auto _ : state) {
    link::LinkState link;
    eeprom::EepromImage read{};
    SilentLayer layer(Options(path, false));
    const double download =
        SecondsOf([&] { link::ProgramFirmWare(layer, link, image.data(), 0, kBytes, Ignore); });
    const double readBack =
        SecondsOf([&] { link::ReadFirmWare(layer, link, read.data(), 0, kBytes, Ignore); });
    state.counters["download_s"] = download;
    state.counters["readback_s"] = readBack;
    state.counters["added_pct"] = readBack / download * 100;
    if (!std::equal(image.begin(), image.begin() + kBytes, read.begin()))
      state.SkipWithError("the keyboard does not hold the image");
  }
  RemoveKeyboard(path);
}
BENCHMARK(BM_FullDownloadReadBack)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Write reports sent for each kind of change, in virtual time.
void BM_WordsSentPerChange(benchmark::State& state) {
  const std::string path = ScratchKeyboard();
  Definition def = Keyboard();
  const eeprom::EepromImage base = Image(*def);
  const auto changed = [&](const std::function<void(model::KeyboardDefinition&)>& change) {
    Definition edited = Keyboard();
    change(*edited);
    const eeprom::EepromImage image = Image(*edited);
    Hold(path, base);
    link::LinkState link;
    link::ChangedWordsReport report;
    SilentLayer layer(Options(path, true));
    link::ProgramChangedWords(layer, link, image.data(), 0, kBytes, nullptr, report);
    return static_cast<double>(report.sent);
  };
  for (auto _ : state) {
    state.counters["one_key"] = changed([](model::KeyboardDefinition& d) { ChangeKeys(d, 1); });
    state.counters["ten_keys"] = changed([](model::KeyboardDefinition& d) { ChangeKeys(d, 10); });
    state.counters["new_macro"] = changed(AddMacro);
  }
  RemoveKeyboard(path);
}
BENCHMARK(BM_WordsSentPerChange)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
