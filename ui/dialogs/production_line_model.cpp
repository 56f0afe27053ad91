// SPDX-License-Identifier: MIT
#include "ui/dialogs/production_line_model.h"

#include <climits>

#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

using Kind = StationEvent::Kind;

constexpr const char* kIdleStatus =
    "Press Start, then plug keyboards in: each gets the next serial.";
constexpr const char* kRunningStatus =
    "Running: every keyboard plugged in is programmed once, verified and recorded.";

std::string ProgressOf(const station::KeyboardView& k) {
  switch (k.phase) {
    case station::Phase::Programming:
    case station::Phase::Verifying:
      return model::FormatText("%s %d %%", station::PhaseName(k.phase), k.percent);
    case station::Phase::Passed:
    case station::Phase::Failed:
      return "done: unplug it";
    case station::Phase::Skipped:
      return "already done: unplug it";
    case station::Phase::Reading:
      return "reading";
    case station::Phase::Busy:
      return "busy: another program has it";
    case station::Phase::Waiting:
      break;
  }
  return k.reason.empty() ? "waiting" : k.reason;
}

}  // namespace

ProductionLine::ProductionLine(AppState& app, const Services& io, station::KeyboardPort& port,
                               Wake wake, std::function<void()> mainWindowChanged,
                               ProductionLineOptions options)
    : app_(app),
      io_(io),
      mainWindowChanged_(std::move(mainWindowChanged)),
      options_(options),
      events_(std::move(wake)),
      port_(port) {
  view_.status = kIdleStatus;
  Open();
}

ProductionLine::~ProductionLine() {
  station_.reset();
  app_.locked = false;  // the windows that showed the lock may be gone
}

void ProductionLine::Open() {
  if (view_.running) return;
  if (view_.firstSerial.text.empty()) view_.firstSerial.text = app_.doc.def.settings.SerialNumber;
  if (view_.logFile.text.empty())
    view_.logFile.text = app_.doc.dataDirectory + std::string(kStationLogName);
  if (view_.store.text.empty())
    view_.store.text = app_.doc.dataDirectory + std::string(kStationStoreName);
}

void ProductionLine::OnFieldEdited(ProductionLineField field, std::string text) {
  if (view_.running) return;
  switch (field) {
    case ProductionLineField::FirstSerial:
      view_.firstSerial.text = std::move(text);
      break;
    case ProductionLineField::Count:
      view_.count.text = std::move(text);
      break;
    case ProductionLineField::Store:
      view_.store.text = std::move(text);
      break;
    case ProductionLineField::LogFile:
      view_.logFile.text = std::move(text);
      break;
  }
}

// Empty: until Stop (0); otherwise 1 or more.
std::optional<int> ProductionLine::ReadCount() {
  if (view_.count.text.find_first_not_of(' ') == std::string::npos) return 0;
  const std::optional<std::uint32_t> count = ReadUnsigned(view_.count.text);
  if (count && *count >= 1 && *count <= INT_MAX) return static_cast<int>(*count);
  io_.messages.Show(
      "The count is the number of keyboards to program, 1 or more; leave it empty to go on "
      "until Stop.",
      kProductionLineCaption, model::MessageIcon::Error);
  return std::nullopt;
}

bool ProductionLine::ProgramsTheWindowsDefinition() {
  const std::string& pending = app_.doc.commandLineText;
  if (!pending.empty()) {
    io_.messages.Show("The production line did not start: " + FileNameOf(pending) +
                          " was not loaded, so nothing was programmed.",
                      kProductionLineCaption, model::MessageIcon::Error);
    return false;
  }
  return !WouldReplaceInput(io_, app_.doc.loadedFile, view_.logFile.text);
}

void ProductionLine::OnStart() {
  if (view_.running) return;
  if (!ProgramsTheWindowsDefinition()) return;
  const std::optional<int> count = ReadCount();
  if (!count) return;
  // A keyboard holds only the packed strings: macros that do not fit stop the line here.
  if (!Told(io_, Command::Program, PackStringsThatFit(app_)).ok()) return;
  std::string error;
  store_ = options_.openStore ? options_.openStore(view_.store.text, error) : nullptr;
  if (!store_) {
    io_.messages.Show(
        "The production line did not start: " + (error.empty() ? "no store can be opened" : error),
        kProductionLineCaption, model::MessageIcon::Error);
    return;
  }
  station::StationSetup setup;
  setup.definition = app_.doc.def;
  setup.firstSerial = view_.firstSerial.text;
  setup.count = *count;
  setup.logPath = view_.logFile.text;
  setup.buildLog = &events_;
  station::StationClock& clock = options_.clock ? *options_.clock : station::SystemClock();
  station_ = std::make_unique<station::Station>(std::move(setup), port_, *store_, events_, clock);
  view_.rows.clear();
  rowOfPath_.clear();
  view_.reservations.clear();
  view_.counts = {};
  view_.nextSerial.clear();
  const station::StartResult started = station_->Start();
  if (!started.ok) {
    station_.reset();
    store_.reset();
    DeliverEvents();
    io_.messages.Show("The production line did not start: " + started.reason,
                      kProductionLineCaption, model::MessageIcon::Error);
    return;
  }
  view_.status = kRunningStatus;
  ShowRunning(true);
  Lock(true);
  if (options_.scanInterval.count() > 0) station_->StartScanning(options_.scanInterval);
  DeliverEvents();
}

void ProductionLine::OnStop(const std::string& reason) {
  if (!station_) return;
  view_.stopEnabled = false;
  station_->Stop(reason);
  DeliverEvents();
}

void ProductionLine::OnReprogram(std::size_t row, const std::string& why) {
  if (!station_ || row >= view_.rows.size() || view_.rows[row].outcome != RowOutcome::Skipped)
    return;
  if (why.find_first_not_of(' ') == std::string::npos) {
    io_.messages.Show(
        "Say why the keyboard is programmed again: the reason is recorded with its "
        "new serial number.",
        kProductionLineCaption, model::MessageIcon::Error);
    return;
  }
  station_->Reprogram(view_.rows[row].path, why);
  view_.rows[row].progress = "to be programmed again";
}

void ProductionLine::OnClearNotices() {
  view_.notices.clear();
}

bool ProductionLine::OnCloseRequested() {
  if (!view_.running) return true;
  io_.messages.Show(
      "The production line is running. Stop it, and let its keyboards finish, before you close "
      "this window.",
      kProductionLineCaption, model::MessageIcon::Warning);
  return false;
}

void ProductionLine::ScanNow() {
  if (station_) station_->Scan();
}

void ProductionLine::DeliverEvents() {
  for (const StationEvent& event : events_.Take()) Apply(event);
}

void ProductionLine::Apply(const StationEvent& event) {
  switch (event.kind) {
    case Kind::NextSerial:
      view_.nextSerial = event.text;
      return;
    case Kind::Counts:
      view_.counts = event.counts;
      return;
    case Kind::Notice:
      if (event.notice == station::NoticeKind::Stopping)
        view_.status = event.text;
      else if (event.notice == station::NoticeKind::Reservation)
        view_.reservations.push_back(event.text);
      else
        view_.notices.push_back(event.text);
      return;
    case Kind::LogLine:
      io_.log.Write(event.text);
      return;
    case Kind::Finished:
      return Finish(event.summary);
    default:
      return ApplyKeyboard(event);
  }
}

void ProductionLine::ApplyKeyboard(const StationEvent& event) {
  const station::KeyboardView& k = event.keyboard;
  if (event.kind == Kind::Appeared) {
    rowOfPath_[k.path] = view_.rows.size();
    view_.rows.push_back(ProductionLineRow{k.path, k.identity, k.serial, ProgressOf(k), {}});
    return;
  }
  const auto found = rowOfPath_.find(k.path);
  if (found == rowOfPath_.end()) return;
  ProductionLineRow& row = view_.rows[found->second];
  if (event.kind == Kind::Removed) {
    row.progress = "unplugged";
    rowOfPath_.erase(found);
    return;
  }
  row.serial = k.serial;
  row.progress = ProgressOf(k);
  if (event.kind != Kind::Result) return;
  if (k.phase == station::Phase::Skipped) {
    row.outcome = RowOutcome::Skipped;
    row.result = "skipped: " + k.reason;
    return;
  }
  const bool passed = k.phase == station::Phase::Passed;
  row.outcome = passed ? RowOutcome::Passed : RowOutcome::Failed;
  row.result = passed ? model::FormatText("PASS in %.1f s", k.seconds) : "FAIL: " + k.reason;
}

void ProductionLine::Finish(const station::StationSummary& summary) {
  station_.reset();  // nothing runs any more: its threads end at once
  view_.counts = summary.counts;
  view_.nextSerial = summary.nextSerial;
  view_.status = model::FormatText("Stopped: %s. %d passed, %d failed, %d skipped.",
                                   summary.stopReason.c_str(), summary.counts.passed,
                                   summary.counts.failed, summary.counts.skipped);
  if (summary.rowsNotLogged > 0)
    view_.status += " Rows are missing from the log (the store has them): see below.";
  if (!station::Succeeded(summary)) view_.status += " Not every keyboard plugged in passed.";
  if (!summary.uncommitted.empty())
    view_.status += " Results the store did not take are listed below.";
  for (const std::string& line : summary.uncommitted) view_.notices.push_back(line);
  for (ProductionLineRow& row : view_.rows)
    if (row.outcome == RowOutcome::Running && row.progress == "waiting")
      row.progress = "not programmed";
  ShowRunning(false);
  Lock(false);
}

void ProductionLine::ShowRunning(bool running) {
  view_.running = running;
  view_.startEnabled = !running;
  view_.stopEnabled = running;
  for (EditField* field : {&view_.firstSerial, &view_.count, &view_.store, &view_.logFile})
    field->enabled = !running;
}

void ProductionLine::Lock(bool locked) {
  app_.locked = locked;
  if (mainWindowChanged_) mainWindowChanged_();
}

}  // namespace veltrane::ui
