// SPDX-License-Identifier: MIT
// A station on fake keyboards and a store in memory, with a fixed clock, its
// CSV log in a fresh directory.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "station/station.h"
#include "tests/station/fake_port.h"
#include "tests/station/fake_store.h"
#include "tests/station/recording_observer.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::station::testing {

// A fixed wall time; every steady reading is 1.5 s after the one before.
class FixedClock final : public StationClock {
 public:
  std::chrono::system_clock::time_point Now() override {
    return std::chrono::system_clock::from_time_t(1735787045);  // 2025-01-02 03:04:05 UTC
  }
  std::chrono::steady_clock::time_point Steady() override {
    return std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(1500) * ticks_++;
  }

 private:
  std::atomic<int> ticks_{0};
};

class StationTest : public ::testing::Test {
 protected:
  StationSetup Setup(int count = 0) {
    StationSetup setup;
    model::InitialiseDefinition(setup.definition);
    setup.firstSerial = "SN0001";
    setup.count = count;
    setup.logPath = dir.File("log.csv");
    setup.stationName = "line-1";
    setup.run = "test/1/1";
    return setup;
  }
  // A started station; the test ends at once when it does not start.
  Station& Start(StationSetup setup) {
    station = std::make_unique<Station>(std::move(setup), port, store, events, clock);
    const StartResult started = station->Start();
    EXPECT_TRUE(started.ok) << started.reason;
    return *station;
  }
  // The log's rows after its header, each split into its fields.
  std::vector<std::vector<std::string>> Rows() {
    std::vector<std::vector<std::string>> rows;
    const std::string text = veltrane::testing::ReadFileText(dir.File("log.csv"));
    std::size_t start = text.find('\n') + 1;
    while (start < text.size()) {
      const std::size_t end = text.find('\n', start);
      rows.push_back(SplitCsvLine(text.substr(start, end - start)));
      start = end + 1;
    }
    return rows;
  }
  // The row whose identity starts with `keyboard`.
  std::vector<std::string> RowOf(const std::string& keyboard) {
    for (const auto& row : Rows())
      if (row.size() > 1 && row[1].starts_with(keyboard + " ")) return row;
    ADD_FAILURE() << "no row for " << keyboard;
    return std::vector<std::string>(7);
  }
  // The serial the keyboard's memory holds at 0x630.
  std::string SerialIn(const std::string& path) {
    const std::vector<std::uint8_t> memory = port.Memory(path);
    std::string serial;
    for (std::size_t k = 0x630; k < 0x650 && memory[k] != 0 && memory[k] != 0xFF; ++k)
      serial.push_back(static_cast<char>(memory[k]));
    return serial;
  }

  veltrane::testing::TempDir dir;
  FakePort port;
  FakeStore store;
  RecordingObserver events;
  FixedClock clock;
  std::unique_ptr<Station> station;  // last: it ends before the port and the observer
};

}  // namespace veltrane::station::testing
