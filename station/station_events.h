// SPDX-License-Identifier: MIT
// What a station tells while it runs: one event at a time (never two at
// once), from the thread that scans or from a keyboard's worker. An observer
// may call Station::Stop from an event, but not wait for the station there.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace veltrane::station {

enum class Phase { Waiting, Reading, Programming, Verifying, Passed, Failed, Skipped, Busy };

// "waiting", "reading", "programming", "verifying", "PASS", "FAIL", "skipped", "busy".
const char* PhaseName(Phase phase);

struct KeyboardView {
  std::string path;      // names the keyboard to the port
  std::string identity;  // path, USB port and serial, as the log gives it
  std::string versionText;
  std::string serial;  // empty until it gets one
  Phase phase = Phase::Waiting;
  int percent = 0;       // of the phase, 0..100
  std::string reason;    // why it failed, or why it was skipped ("already programmed: SN000123")
  double seconds = 0;    // from its start to its end
  bool attached = true;  // false once it was unplugged
};

struct StationCounts {
  int passed = 0;
  int failed = 0;
  int skipped = 0;  // already programmed: left as they are
  int running = 0;
};

// Why a station stopped taking keyboards.
enum class StopCause {
  None,   // still running
  Count,  // the count was reached
  User,   // Stop (a signal, the Stop button)
  Fault,  // the store, the serials or the keyboards' setting: keyboards may be left
};

struct StationSummary {
  StationCounts counts;
  std::string nextSerial;  // empty when no serial fits any more
  std::string stopReason;  // why it stopped; empty while running
  StopCause cause = StopCause::None;
  int unhandled = 0;  // keyboards plugged in that were neither programmed nor skipped
  std::vector<std::string> uncommitted;  // results the store did not take, one line each
  int rowsNotLogged = 0;                 // results the CSV log could not take
};

// A run that did all it was asked: every keyboard plugged in passed or was
// skipped as programmed already, every result is in the store, and nothing
// was left but for the count or a stop.
bool Succeeded(const StationSummary& summary);

enum class NoticeKind {
  AccessProblem,  // a keyboard this user may not open; the library tells it on stderr too
  Stopping,       // no more keyboards are taken; the text says why
  RowNotWritten,  // the CSV log did not take a row; the store has it
  Reservation,    // an unresolved reservation found at the start
  Store,          // about the store: an import, a result committed late or not at all
};

class StationObserver {
 public:
  virtual ~StationObserver() = default;
  virtual void KeyboardAppeared(const KeyboardView&) {}
  virtual void StateChanged(const KeyboardView&) {}
  // Within Programming and Verifying: 100 steps each.
  virtual void Progress(const KeyboardView&) {}
  // PASS or FAIL, once its row was written (or could not be).
  virtual void Result(const KeyboardView&) {}
  virtual void KeyboardRemoved(const KeyboardView&) {}
  virtual void NextSerial(const std::string&) {}
  virtual void Counts(const StationCounts&) {}
  virtual void Notice(NoticeKind, const std::string&) {}
  // Once, when the station stopped and the last keyboard ended.
  virtual void Finished(const StationSummary&) {}
};

// Passes events to the observer one at a time. An observer that stops the
// station from an event gets the events of that stop within its own.
class Events {
 public:
  explicit Events(StationObserver& observer) : observer_(observer) {}
  template <typename Call>
  void Tell(Call call) {
    const std::lock_guard lock(mutex_);
    call(observer_);
  }

 private:
  StationObserver& observer_;
  std::recursive_mutex mutex_;
};

}  // namespace veltrane::station
