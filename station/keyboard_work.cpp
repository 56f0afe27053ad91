// SPDX-License-Identifier: MIT
// One keyboard's way through the station, on its own worker thread: its lock,
// a look at what it holds, a serial reserved in the store, one open to program
// and verify it, the result committed, then its row in the CSV log.
#include <algorithm>

#include "eeprom/image_builder.h"
#include "model/text_field.h"
#include "station/image_digest.h"
#include "station/station.h"

namespace veltrane::station {
namespace {

// Holds the keyboard's lock until the keyboard's result is committed.
class HeldKeyboard {
 public:
  HeldKeyboard(KeyboardPort& port, std::string path) : port_(port), path_(std::move(path)) {}
  ~HeldKeyboard() { port_.Unlock(path_); }
  HeldKeyboard(const HeldKeyboard&) = delete;
  HeldKeyboard& operator=(const HeldKeyboard&) = delete;

 private:
  KeyboardPort& port_;
  std::string path_;
};

}  // namespace

void Station::WaitTurn(int ticket) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return turn_ >= ticket; });
}

void Station::PassTurn(int ticket) {
  const std::lock_guard lock(mutex_);
  if (ticket < turn_) return;  // passed already
  passedTurns_.insert(ticket);
  while (passedTurns_.erase(turn_) > 0) ++turn_;
  changed_.notify_all();
}

double Station::SecondsSince(Began began) {
  return std::chrono::duration<double>(clock_.Steady() - began).count();
}

void Station::Work(std::string path) {
  const Began began = clock_.Steady();
  KeyboardView view;
  bool refused = false;
  std::string reprogram;
  int ticket = 0;
  {
    const std::lock_guard lock(mutex_);
    const Slot& slot = slots_.at(path);
    view = slot.view;
    refused = slot.refused;
    reprogram = slot.reprogram.empty() ? setup_.reprogram : slot.reprogram;
    ticket = slot.ticket;
  }

  if (!refused) {
    view.reason.clear();
    view.serial.clear();
    view.seconds = 0;
  }
  bool committed = true;
  const Ending ending = refused ? (committed = RecordRefused(view, began), Ending::Failed)
                                : Handle(view, reprogram, ticket, began, committed);
  PassTurn(ticket);
  End(view, ending, committed, began);
}

Station::Ending Station::Handle(KeyboardView& view, const std::string& reprogram, int ticket,
                                Began began, bool& committed) {
  std::string reason;
  const LockResult locked = port_.Lock(view.path, reason);
  if (locked == LockResult::Busy) {
    view.reason = reason.empty() ? "another program is using it" : reason;
    return Ending::Busy;
  }
  if (locked == LockResult::Failed) {
    view.reason = "not locked: " + reason;
    committed = RecordRefused(view, began);
    return Ending::Failed;
  }
  const HeldKeyboard held(port_, view.path);
  SetPhase(view, Phase::Reading);
  std::vector<std::uint8_t> bytes(eeprom::kKeyboardBytes);
  const PortResult read = port_.Read(view.path, bytes);
  if (!read.ok) {
    view.reason = "reading: " + read.reason;
    committed = RecordRefused(view, began);
    return Ending::Failed;
  }
  std::string replaces;
  if (const auto ending = Examine(view, bytes, reprogram, began, replaces, committed))
    return *ending;
  return ProgramWithNewSerial(view, replaces, reprogram, ticket, began, committed);
}

// A keyboard that holds this run's image with a serial the store knows: one
// that passed is skipped (or, to be programmed again, replaced); one whose
// reservation was never resolved has now passed. Nothing when it is to be
// programmed with a new serial.
std::optional<Station::Ending> Station::Examine(KeyboardView& view,
                                                std::span<const std::uint8_t> held,
                                                const std::string& reprogram, Began began,
                                                std::string& replaces, bool& committed) {
  const std::string serial = SerialIn(held);
  if (serial.empty()) return std::nullopt;
  eeprom::EepromImage expected;
  {
    const std::lock_guard lock(mutex_);
    expected = image_;
  }
  eeprom::StampSerialNumber(expected, serial);
  if (!std::equal(held.begin(), held.end(), expected.begin())) return std::nullopt;
  StoreRow row;
  bool found = false;
  if (const StoreStatus looked = store_.Holder(serial, row, found); !looked) {
    view.reason = "not programmed: " + looked.reason;
    FaultStop("the store could not be read: " + looked.reason);
    return Ending::Unhandled;
  }
  // A row imported from a CSV log knows no image: the keyboard's bytes tell it.
  if (!found || (!row.imageDigest.empty() && row.imageDigest != imageDigest_)) return std::nullopt;
  if (row.state == SerialState::Passed) {
    if (!reprogram.empty()) {
      replaces = serial;
      return std::nullopt;
    }
    view.serial = serial;
    view.reason = "already programmed: " + serial;
    return Ending::Skipped;
  }
  if (row.state != SerialState::Reserved) return std::nullopt;
  view.serial = serial;
  view.seconds = SecondsSince(began);
  const Outcome outcome{
      row.id, true,         IsoTime(clock_.Now()),
      "",     view.seconds, "confirmed by reading the keyboard at " + view.identity};
  committed = Commit(outcome, view);
  view.reason = outcome.note;
  return Ending::Passed;
}

Station::Ending Station::ProgramWithNewSerial(KeyboardView& view, const std::string& replaces,
                                              const std::string& reprogram, int ticket, Began began,
                                              bool& committed) {
  eeprom::EepromImage image;
  ReservationRequest request;
  {
    const std::lock_guard lock(mutex_);
    image = image_;
    request.sequence = sequence_;
  }
  request.station = stationName_;
  request.run = run_;
  request.identity = view.identity;
  request.version = view.versionText;
  request.imageDigest = imageDigest_;
  request.reservedAt = IsoTime(clock_.Now());
  request.replaces = replaces;
  request.note = reprogram;
  Reservation reserved;
  WaitTurn(ticket);
  const StoreStatus status = store_.Reserve(request, reserved);
  PassTurn(ticket);
  if (!status) {
    view.reason = "not programmed: no serial could be reserved";
    FaultStop("no serial could be reserved: " + status.reason);
    return Ending::Unhandled;
  }
  if (reserved.serial.empty()) {
    view.reason = "not programmed: no serial left";
    FaultStop("the next serial number would be longer than 31 characters");
    return Ending::Unhandled;
  }
  view.serial = reserved.serial;
  UpdateNextSerial();
  eeprom::StampSerialNumber(image, view.serial);
  const auto bytes = std::span<const std::uint8_t>(image).first(eeprom::kKeyboardBytes);
  SetPhase(view, Phase::Programming);
  const PortStep step = [&](bool verifying, int n) {
    if (verifying && view.phase != Phase::Verifying) SetPhase(view, Phase::Verifying);
    view.percent = std::min(n + 1, 100);
    events_.Tell([&](StationObserver& o) { o.Progress(view); });
  };
  const PortWrite written = port_.ProgramAndVerify(view.path, bytes, setup_.verify, step);
  const bool passed = written.written && (written.verified || !setup_.verify);
  if (!written.written)
    view.reason = "programming: " + written.reason;
  else if (!passed)
    view.reason = "verify: " + written.reason;
  view.seconds = SecondsSince(began);
  const Outcome outcome{reserved.id, passed, IsoTime(clock_.Now()), view.reason, view.seconds, ""};
  committed = Commit(outcome, view);
  if (!passed) UpdateNextSerial();  // its serial is free again
  if (!replaces.empty() && view.reason.empty())
    view.reason = "programmed again, held " + replaces + ": " + reprogram;
  return passed ? Ending::Passed : Ending::Failed;
}

// Sent again at every scan when the store does not take it now.
bool Station::Commit(const Outcome& outcome, const KeyboardView& view) {
  const StoreStatus status = store_.Finish(outcome);
  if (status) return true;
  {
    const std::lock_guard lock(mutex_);
    pending_.push_back(Pending{outcome, view});
  }
  FaultStop("the store did not take a result: " + status.reason);
  return false;
}

bool Station::RecordRefused(const KeyboardView& view, Began began) {
  StoreRow row;
  row.state = SerialState::Failed;
  row.station = stationName_;
  row.run = run_;
  row.identity = view.identity;
  row.version = view.versionText;
  row.reservedAt = row.endedAt = IsoTime(clock_.Now());
  row.reason = view.reason;
  row.seconds = SecondsSince(began);
  const StoreStatus status = store_.RecordRefused(row);
  if (!status) FaultStop("the store did not take a result: " + status.reason);
  return status.ok;
}

// Called on a worker, whose own keyboard is still counted as running.
void Station::FaultStop(const std::string& reason) {
  std::string stopping;
  {
    const std::lock_guard lock(mutex_);
    if (StopLocked(reason, StopCause::Fault)) stopping = StoppingText(running_ - 1);
  }
  TellStopping(stopping);
}

// Looks one at a time, so that an answer from before another keyboard's
// reservation never replaces the one from after it.
void Station::UpdateNextSerial() {
  const std::lock_guard looking(nextSerialMutex_);
  SerialSequence sequence;
  {
    const std::lock_guard lock(mutex_);
    sequence = sequence_;
  }
  std::string next;
  if (!store_.NextFree(sequence, next)) return;
  const std::lock_guard lock(mutex_);
  nextSerial_ = next;
}

LogRow Station::RowOf(const KeyboardView& view, bool passed) const {
  return LogRow{IsoTime(clock_.Now()),    view.identity, view.versionText, view.serial,
                passed ? "PASS" : "FAIL", view.reason,   view.seconds,     stationName_};
}

// A row the CSV log does not take is told: the store holds the result.
void Station::Log(const LogRow& row) {
  if (!log_) return;
  fileaccess::Status status;
  {
    const std::lock_guard lock(logMutex_);
    status = log_->Append(row);
  }
  if (status) return;
  ++rowsNotLogged_;
  std::string line = FormatRow(row);
  line.pop_back();
  events_.Tell([&](StationObserver& o) {
    o.Notice(NoticeKind::RowNotWritten,
             "not in the log (" + status.reason + "), but in the store: " + line);
  });
}

void Station::End(KeyboardView view, Ending ending, bool committed, Began began) {
  const bool result = ending == Ending::Passed || ending == Ending::Failed;
  switch (ending) {
    case Ending::Passed:
      view.phase = Phase::Passed;
      break;
    case Ending::Failed:
      view.phase = Phase::Failed;
      break;
    case Ending::Skipped:
      view.phase = Phase::Skipped;
      break;
    case Ending::Busy:
      view.phase = Phase::Busy;
      break;
    case Ending::Unhandled:
      view.phase = Phase::Waiting;
      break;
  }
  if (view.seconds == 0) view.seconds = SecondsSince(began);
  if (result && committed) Log(RowOf(view, ending == Ending::Passed));
  std::string stopping;
  {
    const std::lock_guard lock(mutex_);
    if (ending == Ending::Passed) ++passed_;
    if (ending == Ending::Failed) ++failed_;
    if (ending == Ending::Skipped) ++skipped_;
    --running_;
    ++ending_;
    Slot& slot = slots_.at(view.path);
    slot.view = view;
    slot.handled = result || ending == Ending::Skipped;
    slot.retry = ending == Ending::Busy;
    slot.reprogram.clear();
    if (setup_.count > 0 && passed_ + failed_ >= setup_.count &&
        StopLocked(model::FormatText("%d keyboards handled", setup_.count), StopCause::Count))
      stopping = StoppingText(running_);
  }
  events_.Tell([&](StationObserver& o) {
    if (result || ending == Ending::Skipped)
      o.Result(view);
    else
      o.StateChanged(view);
    if (!stopping.empty()) o.Notice(NoticeKind::Stopping, stopping);
  });
  {
    const std::lock_guard lock(mutex_);
    slots_.at(view.path).done = true;
    changed_.notify_all();
  }
  TellCounts();  // while this keyboard still holds off the end: "finished" is the last event
  bool finish = false;
  {
    const std::lock_guard lock(mutex_);
    --ending_;
    finish = TakeFinishLocked();
  }
  if (finish) TellFinished();
}

}  // namespace veltrane::station
