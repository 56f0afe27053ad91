#include "station/station.h"

#include <algorithm>
#include <cctype>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "model/text_field.h"

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
    case Phase::Programming:
      return "programming";
    case Phase::Verifying:
      return "verifying";
    case Phase::Passed:
      return "PASS";
    case Phase::Failed:
      return "FAIL";
  }
  return "";
}

Station::Station(StationSetup setup, KeyboardPort& port, StationObserver& observer,
                 StationClock& clock)
    : setup_(std::move(setup)), port_(port), events_(observer), clock_(clock) {}

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
  if (built.fits) return true;
  problem = model::FormatText(
      "the definition has %d distinct key meanings; an EEPROM image holds at most %d",
      built.distinctMeanings, eeprom::kMaxDistinctMeanings);
  return false;
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
  std::set<std::string> passed;
  {
    const std::lock_guard logLock(logMutex_);
    const fileaccess::Status opened = log_.Open(setup_.logPath, passed);
    if (!opened) return StartResult{false, opened.error != EWOULDBLOCK, opened.reason};
  }
  SerialPool serials(*sequence, std::move(passed));
  if (serials.Peek().empty())
    return StartResult{false, true,
                       "every serial number from " + Quoted(setup_.firstSerial) +
                           " on that is not in the log is longer than 31 characters"};
  if (setup_.count > 0 && !serials.Fits(static_cast<std::uint64_t>(setup_.count)))
    return StartResult{false, true,
                       model::FormatText("%d keyboards from serial number %s on need serial "
                                         "numbers longer than 31 characters",
                                         setup_.count, serials.Peek().c_str())};
  const std::string next = serials.Peek();
  {
    const std::lock_guard lock(mutex_);
    serials_.emplace(std::move(serials));
    expected_ = setup_.expectVersion;
    started_ = true;
  }
  events_.Tell([&](StationObserver& o) { o.NextSerial(next); });
  return StartResult{true, false, {}};
}

bool Station::MayStartLocked() const {
  if (!started_ || stopping_ || logFailed_) return false;
  return setup_.count == 0 || passed_ + failed_ + running_ < setup_.count;
}

bool Station::StopLocked(const std::string& reason) {
  if (stopping_) return false;
  stopping_ = true;
  stopReason_ = reason;
  return started_;
}

bool Station::TakeFinishLocked() {
  if (!started_ || finished_ || !stopping_ || running_ > 0 || ending_ > 0) return false;
  finished_ = true;
  changed_.notify_all();
  return true;
}

std::string Station::StoppingText(int running) const {
  if (running <= 0) return "Stopping: " + stopReason_;
  return model::FormatText("Stopping: %s; %d running %s first", stopReason_.c_str(), running,
                           running == 1 ? "keyboard finishes" : "keyboards finish");
}

// A new keyboard: refused for its version, given a serial and started, or
// left waiting when the station takes no more.
bool Station::AdmitLocked(const PortKeyboard& keyboard, Slot& slot) {
  if (!MayStartLocked()) return false;
  const std::string& version = keyboard.versionText;
  std::string problem;
  if (expected_.empty() && Usable(version)) {
    if (!BuildImageFor(version, problem)) {
      StopLocked(problem);
      return false;
    }
    expected_ = version;
  }
  if (version != expected_) {
    slot.refused = true;
    slot.view.reason = expected_.empty() ? "the version text " + Quoted(version) +
                                               " is not a keyboard's (V and four digits)"
                                         : "the version text " + Quoted(version) +
                                               " differs from the expected " + Quoted(expected_);
  } else {
    slot.view.serial = serials_->Take();
    if (slot.view.serial.empty()) {
      StopLocked("the next serial number would be longer than 31 characters");
      return false;
    }
  }
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
  const PortListing listing = port_.List();
  std::vector<KeyboardView> removed;
  std::vector<KeyboardView> appeared;
  std::vector<std::thread> ended;
  std::vector<std::string> admitted;
  std::string stopping;
  bool newProblem = false;
  {
    const std::lock_guard logLock(logMutex_);  // a row being written ends first
    const std::lock_guard lock(mutex_);
    Forget(listing, removed, ended);
    const bool wasStopping = stopping_;
    for (const PortKeyboard& keyboard : listing.keyboards) {
      if (slots_.contains(keyboard.path)) continue;
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
    if (StopLocked(reason)) stopping = StoppingText(running_);
    finish = TakeFinishLocked();
  }
  if (!stopping.empty())
    events_.Tell([&](StationObserver& o) { o.Notice(NoticeKind::Stopping, stopping); });
  if (finish) TellFinished();
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
  const std::lock_guard lock(mutex_);
  return StationSummary{StationCounts{passed_, failed_, running_},
                        serials_ ? serials_->Peek() : std::string(), stopReason_, rowLost_};
}

void Station::TellCounts() {
  const StationSummary now = Summary();
  events_.Tell([&](StationObserver& o) {
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

void Station::Work(std::string path) {
  const auto began = clock_.Steady();
  KeyboardView view;
  bool refused = false;
  {
    const std::lock_guard lock(mutex_);
    const Slot& slot = slots_.at(path);
    view = slot.view;
    refused = slot.refused;
  }
  const bool passed = !refused && Transfer(view);
  End(view, passed, began);
}

bool Station::Transfer(KeyboardView& view) {
  eeprom::EepromImage image;
  {
    const std::lock_guard lock(mutex_);
    image = image_;
  }
  eeprom::StampSerialNumber(image, view.serial);
  const auto bytes = std::span<const std::uint8_t>(image).first(eeprom::kKeyboardBytes);
  const PortStep step = [&](int n) {
    view.percent = std::min(n + 1, 100);
    events_.Tell([&](StationObserver& o) { o.Progress(view); });
  };
  SetPhase(view, Phase::Programming);
  PortResult result = port_.Program(view.path, bytes, step);
  if (!result.ok) {
    view.reason = "programming: " + result.reason;
    return false;
  }
  if (!setup_.verify) return true;
  SetPhase(view, Phase::Verifying);
  result = port_.Verify(view.path, bytes, step);
  if (!result.ok) view.reason = "verify: " + result.reason;
  return result.ok;
}

// The row first, then the counts: a keyboard has ended when its row is written.
void Station::End(KeyboardView view, bool passed, std::chrono::steady_clock::time_point began) {
  view.phase = passed ? Phase::Passed : Phase::Failed;
  view.seconds = std::chrono::duration<double>(clock_.Steady() - began).count();
  const LogRow row{clock_.Now(), view.identity, view.versionText, view.serial,
                   passed,       view.reason,   view.seconds};
  std::string logProblem;
  bool written = false;
  {
    const std::lock_guard logLock(logMutex_);
    if (!logFailed_) {
      const fileaccess::Status status = log_.Append(row);
      logFailed_ = !status;
      logProblem = status.reason;
    }
    written = !logFailed_;
  }
  std::string stopping;
  {
    const std::lock_guard lock(mutex_);
    if (!view.serial.empty())
      passed ? serials_->Passed(view.serial) : serials_->Failed(view.serial);
    ++(passed ? passed_ : failed_);
    --running_;
    ++ending_;
    rowLost_ = rowLost_ || !written;
    slots_.at(view.path).view = view;
    bool stopped = false;
    if (!logProblem.empty()) stopped = StopLocked("the log could not be written: " + logProblem);
    if (setup_.count > 0 && passed_ + failed_ >= setup_.count)
      stopped = StopLocked(model::FormatText("%d keyboards handled", setup_.count)) || stopped;
    if (stopped) stopping = StoppingText(running_);
  }
  events_.Tell([&](StationObserver& o) {
    if (!written) {
      std::string line = FormatRow(row);
      line.pop_back();
      o.Notice(NoticeKind::RowNotWritten, "not in the log: " + line);
    }
    o.Result(view);
    if (!stopping.empty()) o.Notice(NoticeKind::Stopping, stopping);
  });
  bool finish = false;
  {
    const std::lock_guard lock(mutex_);
    --ending_;
    slots_.at(view.path).done = true;
    finish = TakeFinishLocked();
    changed_.notify_all();
  }
  TellCounts();
  if (finish) TellFinished();
}

}  // namespace veltrane::station
