#include "ui/dialogs/production_line_model.h"

#include <climits>

#include "ui/app/file_commands.h"

namespace veltrane::ui {
namespace {

using Kind = StationEvent::Kind;

constexpr const char* kIdleStatus =
    "Press Start, then plug keyboards in: each gets the next serial.";
constexpr const char* kRunningStatus =
    "Running: every keyboard plugged in is programmed once, verified and logged.";

std::string ProgressOf(const station::KeyboardView& k) {
  switch (k.phase) {
    case station::Phase::Programming:
    case station::Phase::Verifying:
      return model::FormatText("%s %d %%", station::PhaseName(k.phase), k.percent);
    case station::Phase::Passed:
    case station::Phase::Failed:
      return "done: unplug it";
    case station::Phase::Waiting:
      break;
  }
  return "waiting";
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
      port_(port, events_) {
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
  PackStrings(app_, io_);
  station::StationSetup setup{
      app_.doc.def, view_.firstSerial.text, *count, view_.logFile.text, {}, true, &events_};
  station::StationClock& clock = options_.clock ? *options_.clock : station::SystemClock();
  station_ = std::make_unique<station::Station>(std::move(setup), port_, events_, clock);
  KeepHandledRows();
  view_.notices.clear();
  view_.counts = {};
  view_.nextSerial.clear();
  const station::StartResult started = station_->Start();
  if (!started.ok) {
    station_.reset();
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

void ProductionLine::OnStop() {
  if (!station_) return;
  view_.stopEnabled = false;
  station_->Stop("Stop pressed");
  DeliverEvents();
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
    view_.rows.push_back(ProductionLineRow{k.identity, k.serial, ProgressOf(k), {}});
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
  const bool passed = k.phase == station::Phase::Passed;
  row.outcome = passed ? RowOutcome::Passed : RowOutcome::Failed;
  row.result = passed ? model::FormatText("PASS in %.1f s", k.seconds) : "FAIL: " + k.reason;
}

void ProductionLine::Finish(const station::StationSummary& summary) {
  station_.reset();  // nothing runs any more: its threads end at once
  view_.counts = summary.counts;
  view_.nextSerial = summary.nextSerial;
  view_.status = model::FormatText("Stopped: %s. %d passed, %d failed.", summary.stopReason.c_str(),
                                   summary.counts.passed, summary.counts.failed);
  if (summary.logFailed) view_.status += " Rows are missing from the log: see below.";
  for (ProductionLineRow& row : view_.rows)
    if (row.outcome == RowOutcome::Running && row.progress == "waiting")
      row.progress = "not programmed";
  std::set<std::string> handled;
  for (const auto& [path, index] : rowOfPath_)
    if (view_.rows[index].outcome != RowOutcome::Running) handled.insert(path);
  port_.KeepOut(std::move(handled));
  ShowRunning(false);
  Lock(false);
}

void ProductionLine::KeepHandledRows() {
  std::vector<ProductionLineRow> kept;
  std::map<std::string, std::size_t> rowOfPath;
  for (const auto& [path, index] : rowOfPath_) {
    ProductionLineRow row = view_.rows[index];
    if (row.outcome == RowOutcome::Running) continue;
    row.progress = "last run: unplug it";
    rowOfPath[path] = kept.size();
    kept.push_back(std::move(row));
  }
  view_.rows = std::move(kept);
  rowOfPath_ = std::move(rowOfPath);
}

void ProductionLine::ShowRunning(bool running) {
  view_.running = running;
  view_.startEnabled = !running;
  view_.stopEnabled = running;
  for (EditField* field : {&view_.firstSerial, &view_.count, &view_.logFile})
    field->enabled = !running;
}

void ProductionLine::Lock(bool locked) {
  app_.locked = locked;
  if (mainWindowChanged_) mainWindowChanged_();
}

}  // namespace veltrane::ui
