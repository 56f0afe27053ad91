// SPDX-License-Identifier: MIT
#include "station/station.h"

#include <algorithm>
#include <cctype>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "model/text_field.h"
#include "station/image_digest.h"
#include "station/run_identity.h"

namespace veltrane::station {
namespace {

class RealClock final : public StationClock {
 public:
  std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }
  std::chrono::steady_clock::time_point Steady() override {
    return std::chrono::steady_clock::now();
  }
};

std::string Quoted(const std::string& text) {
  return '"' + text + '"';
}

}  // namespace

StationClock& SystemClock() {
  static RealClock clock;
  return clock;
}

const char* PhaseName(Phase phase) {
  switch (phase) {
    case Phase::Waiting:
      return "waiting";
    case Phase::Reading:
      return "reading";
    case Phase::Programming:
      return "programming";
    case Phase::Verifying:
      return "verifying";
    case Phase::Passed:
      return "PASS";
    case Phase::Failed:
      return "FAIL";
    case Phase::Skipped:
      return "skipped";
    case Phase::Busy:
      return "busy";
  }
  return "";
}

bool Succeeded(const StationSummary& summary) {
  const bool leftOnPurpose = summary.cause == StopCause::Count || summary.cause == StopCause::User;
  return summary.counts.failed == 0 && summary.uncommitted.empty() &&
         (summary.unhandled == 0 || leftOnPurpose);
}

Station::Station(StationSetup setup, KeyboardPort& port, StationStore& store,
                 StationObserver& observer, StationClock& clock)
    : setup_(std::move(setup)), port_(port), store_(store), events_(observer), clock_(clock) {
  run_ = setup_.run.empty() ? ThisRun() : setup_.run;
  stationName_ = setup_.stationName.empty() ? HostOf(run_) : setup_.stationName;
}

Station::~Station() {
  Stop("the station was closed");
  if (scanner_.joinable()) scanner_.join();
  std::vector<std::thread> workers;
  {
    const std::lock_guard lock(mutex_);
    for (auto& [path, slot] : slots_)
      if (slot.worker.joinable()) workers.push_back(std::move(slot.worker));
  }
  for (std::thread& worker : workers) worker.join();
}

// 'V' and four digits, not all zero: what a keyboard's firmware calls itself.
bool Station::Usable(const std::string& versionText) const {
  if (versionText.size() < 5 || versionText[0] != 'V') return false;
  for (std::size_t k = 1; k < 5; ++k)
    if (!std::isdigit(static_cast<unsigned char>(versionText[k]))) return false;
  return eeprom::FirmwareVersionFromText(versionText) != 0;
}

bool Station::BuildImageFor(const std::string& versionText, std::string& problem) {
  const eeprom::BuildResult built = eeprom::BuildImage(
      setup_.definition, model::CutText(versionText, eeprom::info::VersionTextLimit),
      eeprom::FirmwareVersionFromText(versionText), image_, setup_.buildLog);
  if (!built.fits) {
    problem = model::FormatText(
        "the definition has %d distinct key meanings; an EEPROM image holds at most %d",
        built.distinctMeanings, eeprom::kMaxDistinctMeanings);
    return false;
  }
  imageDigest_ = ImageDigest(std::span<const std::uint8_t>(image_).first(eeprom::kKeyboardBytes));
  return true;
}

std::string Station::IdentityOf(const PortKeyboard& keyboard) const {
  std::string identity = keyboard.path;
  if (!keyboard.location.empty()) identity += " port " + keyboard.location;
  if (!keyboard.serial.empty()) identity += " serial " + keyboard.serial;
  return identity;
}

StartResult Station::Start() {
  {
    const std::lock_guard lock(mutex_);
    if (started_) return StartResult{false, false, "the station has started already"};
  }
  std::string error;
  const std::optional<SerialSequence> sequence = ParseSerialSequence(setup_.firstSerial, error);
  if (!sequence) return StartResult{false, true, error};
  if (setup_.count < 0) return StartResult{false, true, "the count must be 1 or more"};
  if (!setup_.expectVersion.empty() && !Usable(setup_.expectVersion))
    return StartResult{false, true,
                       "the expected version text " + Quoted(setup_.expectVersion) +
                           " does not start with V and four digits, as a keyboard's does"};
  if (!BuildImageFor(setup_.expectVersion, error)) return StartResult{false, false, error};
  const PortListing listing = port_.List();
  if (!listing.deviceProblem.empty()) return StartResult{false, true, listing.deviceProblem};
  StartResult opened = OpenRecord(*sequence);
  if (!opened.ok) return opened;
  {
    const std::lock_guard lock(mutex_);
    sequence_ = *sequence;
    expected_ = setup_.expectVersion;
    started_ = true;
  }
  events_.Tell([&](StationObserver& o) { o.NextSerial(nextSerial_); });
  return opened;
}

// The CSV log and the store: a log from before goes into a new store; the
// serials must fit; the reservations that no keyboard resolved are told.
StartResult Station::OpenRecord(const SerialSequence& sequence) {
  std::vector<std::string> notices;
  if (!setup_.logPath.empty()) {
    std::vector<LogRow> rows;
    log_.emplace();
    const fileaccess::Status opened = log_->Open(setup_.logPath, rows);
    if (!opened) return StartResult{false, opened.error != EWOULDBLOCK, opened.reason};
    bool empty = false;
    StoreStatus status = store_.IsEmpty(empty);
    if (status && empty && !rows.empty() &&
        (status = store_.Import(ImportRows(rows, setup_.logPath))))
      notices.push_back(model::FormatText("imported %zu rows of %s into %s", rows.size(),
                                          setup_.logPath.c_str(), store_.Name().c_str()));
    if (!status) return StartResult{false, false, status.reason};
  }
  const StoreStatus next = store_.NextFree(sequence, nextSerial_);
  if (!next) return StartResult{false, false, next.reason};
  const std::string first = sequence.prefix + sequence.digits;
  if (nextSerial_.empty())
    return StartResult{false, true,
                       "every serial number from " + Quoted(first) +
                           " on that no keyboard holds is longer than 31 characters"};
  const std::string digits = nextSerial_.substr(sequence.prefix.size());
  if (setup_.count > 0 &&
      sequence.prefix.size() +
              AddToDigits(digits, static_cast<std::uint64_t>(setup_.count - 1)).size() >
          kSerialLimit)
    return StartResult{false, true,
                       model::FormatText("%d keyboards from serial number %s on need serial "
                                         "numbers longer than 31 characters",
                                         setup_.count, nextSerial_.c_str())};
  std::vector<StoreRow> reserved;
  if (const StoreStatus listed = store_.Reservations(reserved); !listed)
    return StartResult{false, false, listed.reason};
  for (const StoreRow& row : reserved)
    notices.push_back("unresolved reservation: " + row.serial + " for " + row.identity +
                      " by station " + row.station + " (" + row.run + ") at " + row.reservedAt);
  events_.Tell([&](StationObserver& o) {
    for (std::size_t k = 0; k < notices.size(); ++k)
      o.Notice(k == 0 && notices[0].starts_with("imported") ? NoticeKind::Store
                                                            : NoticeKind::Reservation,
               notices[k]);
  });
  return StartResult{true, false, {}};
}

bool Station::MayStartLocked() const {
  if (!started_ || stopping_) return false;
  return setup_.count == 0 || passed_ + failed_ + running_ < setup_.count;
}

bool Station::StopLocked(const std::string& reason, StopCause cause) {
  if (cause == StopCause::User) givenUp_ = true;
  if (stopping_) return false;
  stopping_ = true;
  stopReason_ = reason;
  cause_ = cause;
  return started_;
}

bool Station::TakeFinishLocked() {
  if (!started_ || finished_ || !stopping_ || running_ > 0 || ending_ > 0) return false;
  if (!pending_.empty() && !givenUp_) return false;
  for (const Pending& left : pending_)
    uncommitted_.push_back(model::FormatText(
        "%s %s on %s is not in %s: it stays reserved there; plug the keyboard in again, or "
        "release it with veltrane-cli station --release %s",
        left.view.serial.c_str(), left.outcome.passed ? "PASS" : "FAIL", left.view.identity.c_str(),
        store_.Name().c_str(), left.view.serial.c_str()));
  pending_.clear();
  finished_ = true;
  changed_.notify_all();
  return true;
}

std::string Station::StoppingText(int running) const {
  std::string text = "Stopping: " + stopReason_;
  if (running > 0)
    text += model::FormatText("; %d running %s first", running,
                              running == 1 ? "keyboard finishes" : "keyboards finish");
  if (!pending_.empty() && !givenUp_)
    text += model::FormatText("; %zu %s for the store (Stop gives up)", pending_.size(),
                              pending_.size() == 1 ? "result waits" : "results wait");
  return text;
}

// A new keyboard: refused for its version, started, or left waiting when the
// station takes no more.
bool Station::AdmitLocked(const PortKeyboard& keyboard, Slot& slot) {
  if (!MayStartLocked()) return false;
  const std::string& version = keyboard.versionText;
  std::string problem;
  if (expected_.empty() && Usable(version)) {
    if (!BuildImageFor(version, problem)) {
      StopLocked(problem, StopCause::Fault);
      return false;
    }
    expected_ = version;
  }
  slot.refused = version != expected_;
  slot.ticket = nextTicket_++;
  slot.started = true;
  if (slot.refused)
    slot.view.reason = expected_.empty() ? "the version text " + Quoted(version) +
                                               " is not a keyboard's (V and four digits)"
                                         : "the version text " + Quoted(version) +
                                               " differs from the expected " + Quoted(expected_);
  ++running_;
  return true;
}

void Station::Forget(const PortListing& listing, std::vector<KeyboardView>& removed,
                     std::vector<std::thread>& ended) {
  for (auto it = slots_.begin(); it != slots_.end();) {
    Slot& slot = it->second;
    const bool present = std::any_of(listing.keyboards.begin(), listing.keyboards.end(),
                                     [&](const PortKeyboard& k) { return k.path == it->first; });
    slot.view.attached = present;
    const bool idle = slot.done || !slot.worker.joinable();
    if (present || !idle) {
      ++it;
      continue;
    }
    removed.push_back(slot.view);
    if (slot.worker.joinable()) ended.push_back(std::move(slot.worker));
    it = slots_.erase(it);
  }
}

void Station::Scan() {
  {
    const std::lock_guard lock(mutex_);
    if (!started_ || finished_) return;
  }
  RetryPending();
  const PortListing listing = port_.List();
  std::vector<KeyboardView> removed;
  std::vector<KeyboardView> appeared;
  std::vector<std::thread> ended;
  std::vector<std::string> admitted;
  std::string stopping;
  bool newProblem = false;
  {
    const std::lock_guard lock(mutex_);
    Forget(listing, removed, ended);
    const bool wasStopping = stopping_;
    for (const PortKeyboard& keyboard : listing.keyboards) {
      const auto found = slots_.find(keyboard.path);
      if (found != slots_.end()) {
        Slot& slot = found->second;
        // One the station could not take yet (a skipped keyboard left room).
        if (!slot.started && AdmitLocked(keyboard, slot)) admitted.push_back(keyboard.path);
        if (!slot.retry || !slot.done || !MayStartLocked()) continue;
        if (slot.worker.joinable()) ended.push_back(std::move(slot.worker));
        slot.retry = slot.done = false;
        slot.ticket = nextTicket_++;
        ++running_;
        admitted.push_back(keyboard.path);
        continue;
      }
      Slot& slot = slots_[keyboard.path];
      slot.view.path = keyboard.path;
      slot.view.identity = IdentityOf(keyboard);
      slot.view.versionText = keyboard.versionText;
      if (AdmitLocked(keyboard, slot)) admitted.push_back(keyboard.path);
      appeared.push_back(slot.view);
    }
    if (!wasStopping && stopping_) stopping = StoppingText(running_);
    newProblem = listing.accessProblem != accessProblem_;
    accessProblem_ = listing.accessProblem;
  }
  for (std::thread& worker : ended) worker.join();
  Announce(listing, removed, appeared, stopping, newProblem);
  bool finish = false;
  {
    const std::lock_guard lock(mutex_);
    for (const std::string& path : admitted)
      slots_.at(path).worker = std::thread(&Station::Work, this, path);
    finish = TakeFinishLocked();
  }
  if (finish) TellFinished();
}

void Station::Announce(const PortListing& listing, const std::vector<KeyboardView>& removed,
                       const std::vector<KeyboardView>& appeared, const std::string& stopping,
                       bool newProblem) {
  events_.Tell([&](StationObserver& o) {
    for (const KeyboardView& view : removed) o.KeyboardRemoved(view);
    for (const KeyboardView& view : appeared) o.KeyboardAppeared(view);
    if (newProblem && !listing.accessProblem.empty())
      o.Notice(NoticeKind::AccessProblem, listing.accessProblem);
    if (!stopping.empty()) o.Notice(NoticeKind::Stopping, stopping);
  });
  if (!appeared.empty()) TellCounts();
}

// Results the store did not take are sent again, oldest first, until one fails.
void Station::RetryPending() {
  while (true) {
    Pending next;
    {
      const std::lock_guard lock(mutex_);
      if (pending_.empty() || givenUp_) return;
      next = pending_.front();
    }
    if (!store_.Finish(next.outcome)) return;
    Log(RowOf(next.view, next.outcome.passed));
    bool finish = false;
    {
      const std::lock_guard lock(mutex_);
      pending_.erase(pending_.begin());
      finish = TakeFinishLocked();
    }
    events_.Tell([&](StationObserver& o) {
      o.Notice(NoticeKind::Store, "recorded now in " + store_.Name() + ": " + next.view.serial +
                                      (next.outcome.passed ? " PASS" : " FAIL"));
    });
    if (finish) TellFinished();
  }
}

void Station::StartScanning(std::chrono::milliseconds interval) {
  const std::lock_guard lock(mutex_);
  if (!started_ || scanner_.joinable()) return;
  scanner_ = std::thread(&Station::ScanLoop, this, interval);
}

void Station::ScanLoop(std::chrono::milliseconds interval) {
  while (true) {
    Scan();
    std::unique_lock lock(mutex_);
    if (changed_.wait_for(lock, interval, [this] { return finished_; })) return;
  }
}

void Station::Stop(const std::string& reason) {
  std::string stopping;
  bool finish = false;
  {
    const std::lock_guard lock(mutex_);
    if (StopLocked(reason, StopCause::User)) stopping = StoppingText(running_);
    finish = TakeFinishLocked();
  }
  TellStopping(stopping);
  if (finish) TellFinished();
}

void Station::TellStopping(const std::string& stopping) {
  if (!stopping.empty())
    events_.Tell([&](StationObserver& o) { o.Notice(NoticeKind::Stopping, stopping); });
}

void Station::Reprogram(const std::string& path, const std::string& why) {
  const std::lock_guard lock(mutex_);
  const auto found = slots_.find(path);
  if (found == slots_.end() || found->second.view.phase != Phase::Skipped) return;
  found->second.reprogram = why;
  found->second.retry = true;
}

bool Station::Finished() const {
  const std::lock_guard lock(mutex_);
  return finishTold_;
}

void Station::WaitFinished() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return finishTold_; });
}

StationSummary Station::Summary() const {
  StationSummary summary;
  {
    const std::lock_guard lock(mutex_);
    summary.counts = StationCounts{passed_, failed_, skipped_, running_};
    summary.nextSerial = nextSerial_;
    summary.stopReason = stopReason_;
    summary.cause = cause_;
    for (const auto& [path, slot] : slots_)
      if (slot.view.attached && !slot.handled) ++summary.unhandled;
    summary.uncommitted = uncommitted_;
  }
  summary.rowsNotLogged = rowsNotLogged_;
  return summary;
}

// Read within the telling, so that two workers' counts arrive in the order they were read.
void Station::TellCounts() {
  events_.Tell([&](StationObserver& o) {
    const StationSummary now = Summary();
    o.Counts(now.counts);
    o.NextSerial(now.nextSerial);
  });
}

void Station::TellFinished() {
  const StationSummary summary = Summary();
  events_.Tell([&](StationObserver& o) { o.Finished(summary); });
  const std::lock_guard lock(mutex_);
  finishTold_ = true;
  changed_.notify_all();
}

void Station::SetPhase(KeyboardView& view, Phase phase) {
  view.phase = phase;
  view.percent = 0;
  {
    const std::lock_guard lock(mutex_);
    slots_.at(view.path).view = view;
  }
  events_.Tell([&](StationObserver& o) { o.StateChanged(view); });
}

}  // namespace veltrane::station
