// SPDX-License-Identifier: MIT
// One keyboard's store work: a serial reserved and committed, then its result
// committed, each a transaction synced by the database. On the SQLite file of
// a fresh temporary directory, or on the store VELTRANE_STORE names (the
// station measures point it at a PostgreSQL server over its socket).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "station/store/open_store.h"

namespace {

using namespace veltrane::station;

void ReserveAndCommit(benchmark::State& state) {
  const char* given = std::getenv("VELTRANE_STORE");
  std::string directory;
  std::string db = given != nullptr ? given : "";
  if (db.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vt-bench-XXXXXX").string();
    directory = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
    db = directory + "/bench.sqlite";
  }
  std::string error;
  const auto store = store::OpenStore(db, error);
  if (!store) {
    state.SkipWithError(error.c_str());
    return;
  }
  ReservationRequest request;
  request.sequence = *ParseSerialSequence("BENCH" + std::to_string(::getpid()) + "000000", error);
  request.station = "bench";
  request.run = "bench/1/1";
  request.imageDigest = std::string(64, '0');
  for (auto _ : state) {
    Reservation reserved;
    if (!store->Reserve(request, reserved) || reserved.serial.empty()) {
      state.SkipWithError("no reservation");
      break;
    }
    store->Finish(Outcome{reserved.id, true, "2025-01-01T00:00:00+00:00", "", 12.0, ""});
  }
  state.SetLabel(store->Name().substr(0, 40));
  if (!directory.empty()) std::filesystem::remove_all(directory);
}
BENCHMARK(ReserveAndCommit)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
