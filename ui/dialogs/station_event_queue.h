// SPDX-License-Identifier: MIT
// A station's events carried from the engine's threads to the thread that
// shows them: each is queued in order, and the first one queued since the last
// Take wakes that thread, which then takes them all. Progress of a keyboard
// replaces its progress still waiting in the queue, so a slow window does not
// fall behind. The image build's log lines travel the same way.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "model/diagnostics.h"
#include "station/station_events.h"

namespace veltrane::ui {

struct StationEvent {
  enum class Kind {
    Appeared,
    StateChanged,
    Progress,
    Result,
    Removed,
    NextSerial,
    Counts,
    Notice,
    Finished,
    LogLine
  };
  Kind kind = Kind::Appeared;
  station::KeyboardView keyboard;  // the keyboard events
  std::string text;                // NextSerial, Notice, LogLine
  station::NoticeKind notice = station::NoticeKind::Stopping;
  station::StationCounts counts;    // Counts
  station::StationSummary summary;  // Finished
};

class StationEventQueue final : public station::StationObserver, public model::LogSink {
 public:
  // Called on the thread that queued the event; it must not wait for the reader.
  using Wake = std::function<void()>;
  explicit StationEventQueue(Wake wake) : wake_(std::move(wake)) {}

  // Every event queued so far, oldest first.
  std::vector<StationEvent> Take();

  void KeyboardAppeared(const station::KeyboardView& k) override;
  void StateChanged(const station::KeyboardView& k) override;
  void Progress(const station::KeyboardView& k) override;
  void Result(const station::KeyboardView& k) override;
  void KeyboardRemoved(const station::KeyboardView& k) override;
  void NextSerial(const std::string& serial) override;
  void Counts(const station::StationCounts& counts) override;
  void Notice(station::NoticeKind kind, const std::string& text) override;
  void Finished(const station::StationSummary& summary) override;
  void Write(std::string_view text) override;

 private:
  void Push(StationEvent event);

  Wake wake_;
  std::mutex mutex_;
  std::vector<StationEvent> queue_;
};

}  // namespace veltrane::ui
