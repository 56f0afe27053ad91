// SPDX-License-Identifier: MIT
// Keeps a station's events as lines a test can compare, and lets the test
// wait for one (a guard against a hang, not a measure of speed).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "station/station.h"

namespace veltrane::station::testing {

class RecordingObserver final : public StationObserver {
 public:
  void KeyboardAppeared(const KeyboardView& k) override { Add("appeared " + Name(k)); }
  void StateChanged(const KeyboardView& k) override {
    Add(std::string(PhaseName(k.phase)) + " " + Name(k) + " " + k.serial);
  }
  void Progress(const KeyboardView& k) override {
    const std::lock_guard lock(mutex_);
    lastPercent = k.percent;
  }
  void Result(const KeyboardView& k) override {
    if (onResult) onResult();
    Add(std::string(PhaseName(k.phase)) + " " + Name(k) + " " + k.serial +
        (k.reason.empty() ? "" : " (" + k.reason + ")"));
  }
  void KeyboardRemoved(const KeyboardView& k) override { Add("removed " + Name(k)); }
  void NextSerial(const std::string& serial) override {
    const std::lock_guard lock(mutex_);
    nextSerial = serial;
  }
  void Counts(const StationCounts& c) override {
    Add("counts " + std::to_string(c.passed) + " passed " + std::to_string(c.failed) + " failed " +
        std::to_string(c.running) + " running");
    const std::lock_guard lock(mutex_);
    counts = c;
  }
  void Notice(NoticeKind, const std::string& text) override { Add("notice " + text); }
  void Finished(const StationSummary&) override { Add("finished"); }

  // Waits until a line starting with `prefix` was recorded `times` times.
  void WaitFor(const std::string& prefix, int times = 1) {
    std::unique_lock lock(mutex_);
    const bool seen = changed_.wait_for(lock, std::chrono::seconds(30), [&] {
      return std::count_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.starts_with(prefix); }) >= times;
    });
    ASSERT_TRUE(seen) << "never saw " << prefix;
  }
  std::vector<std::string> Lines() {
    const std::lock_guard lock(mutex_);
    return lines;
  }
  // The recorded lines that start with `prefix`.
  std::vector<std::string> Matching(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : Lines())
      if (line.starts_with(prefix)) found.push_back(line);
    return found;
  }

  std::function<void()> onResult;  // runs within the Result event
  std::vector<std::string> lines;
  std::string nextSerial;
  StationCounts counts;
  int lastPercent = 0;

 private:
  static std::string Name(const KeyboardView& k) { return k.path; }
  void Add(std::string line) {
    const std::lock_guard lock(mutex_);
    lines.push_back(std::move(line));
    changed_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable changed_;
};

}  // namespace veltrane::station::testing
