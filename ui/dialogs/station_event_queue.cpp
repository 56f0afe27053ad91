// SPDX-License-Identifier: MIT
#include "ui/dialogs/station_event_queue.h"

namespace veltrane::ui {
namespace {

using Kind = StationEvent::Kind;

StationEvent About(Kind kind, const station::KeyboardView& keyboard) {
  StationEvent event;
  event.kind = kind;
  event.keyboard = keyboard;
  return event;
}

StationEvent Saying(Kind kind, std::string text) {
  StationEvent event;
  event.kind = kind;
  event.text = std::move(text);
  return event;
}

}  // namespace

std::vector<StationEvent> StationEventQueue::Take() {
  const std::lock_guard lock(mutex_);
  return std::exchange(queue_, {});
}

void StationEventQueue::Push(StationEvent event) {
  bool first = false;
  {
    const std::lock_guard lock(mutex_);
    const bool replaces = event.kind == Kind::Progress && !queue_.empty() &&
                          queue_.back().kind == Kind::Progress &&
                          queue_.back().keyboard.path == event.keyboard.path;
    if (replaces) {
      queue_.back() = std::move(event);
      return;
    }
    first = queue_.empty();
    queue_.push_back(std::move(event));
  }
  if (first && wake_) wake_();
}

void StationEventQueue::KeyboardAppeared(const station::KeyboardView& k) {
  Push(About(Kind::Appeared, k));
}
void StationEventQueue::StateChanged(const station::KeyboardView& k) {
  Push(About(Kind::StateChanged, k));
}
void StationEventQueue::Progress(const station::KeyboardView& k) {
  Push(About(Kind::Progress, k));
}
void StationEventQueue::Result(const station::KeyboardView& k) {
  Push(About(Kind::Result, k));
}
void StationEventQueue::KeyboardRemoved(const station::KeyboardView& k) {
  Push(About(Kind::Removed, k));
}
void StationEventQueue::NextSerial(const std::string& serial) {
  Push(Saying(Kind::NextSerial, serial));
}

void StationEventQueue::Counts(const station::StationCounts& counts) {
  StationEvent event;
  event.kind = Kind::Counts;
  event.counts = counts;
  Push(std::move(event));
}

void StationEventQueue::Notice(station::NoticeKind kind, const std::string& text) {
  StationEvent event = Saying(Kind::Notice, text);
  event.notice = kind;
  Push(std::move(event));
}

void StationEventQueue::Finished(const station::StationSummary& summary) {
  StationEvent event;
  event.kind = Kind::Finished;
  event.summary = summary;
  Push(std::move(event));
}

void StationEventQueue::Write(std::string_view text) {
  Push(Saying(Kind::LogLine, std::string(text)));
}

}  // namespace veltrane::ui
