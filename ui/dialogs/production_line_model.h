// SPDX-License-Identifier: MIT
// The "Production line" window: the station over the definition in memory.
// The user gives the first serial number, the count, the store and the log
// file, starts and stops; the window shows a row per keyboard plugged in, the
// counts of passed, failed and skipped keyboards, the next serial number, the
// reservations no keyboard resolved, and notices until the user clears them.
// While it runs the main window's definition is locked. The station's events come from its own
// threads: they wait in a queue until the window's thread takes them
// (DeliverEvents), after `wake` told it to.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "station/station.h"
#include "station/station_store.h"
#include "ui/app/app_state.h"
#include "ui/controls/controls.h"
#include "ui/dialogs/station_event_queue.h"

namespace veltrane::ui {

inline constexpr std::string_view kProductionLineCaption = "Production line";
inline constexpr std::string_view kStationLogName = "station.csv";
inline constexpr std::string_view kStationStoreName = "station.sqlite";

enum class RowOutcome { Running, Passed, Failed, Skipped };

struct ProductionLineRow {
  std::string path;      // names the keyboard to the station
  std::string identity;  // device path, USB port and serial string
  std::string serial;
  std::string progress;  // "waiting", "programming 45 %", "verifying 80 %", "done: unplug it", ...
  std::string result;    // "", "PASS in 12.3 s", "FAIL: why", "skipped: already programmed: SN1"
  RowOutcome outcome = RowOutcome::Running;
};

enum class ProductionLineField { FirstSerial, Count, Store, LogFile };

struct ProductionLineView {
  EditField firstSerial;
  EditField count;  // keyboards to handle; empty: until Stop
  EditField store;  // an SQLite file, or a PostgreSQL connection string
  EditField logFile;
  bool startEnabled = true;
  bool stopEnabled = false;
  bool running = false;                 // from Start until the station has finished
  std::vector<ProductionLineRow> rows;  // one per plug-in, oldest first
  station::StationCounts counts;
  std::string nextSerial;
  std::string status;
  std::vector<std::string> notices;       // kept until ClearNotices
  std::vector<std::string> reservations;  // unresolved at the last Start
};

// Opens the store that the Store field names; null with `error` told.
using StoreOpener = std::function<std::unique_ptr<station::StationStore>(const std::string& db,
                                                                         std::string& error)>;

struct ProductionLineOptions {
  std::chrono::milliseconds scanInterval{250};  // 0: the caller scans (ScanNow)
  station::StationClock* clock = nullptr;       // null: the system's clocks
  StoreOpener openStore;                        // the window's: station::store::OpenStore
};

class ProductionLine {
 public:
  using Wake = StationEventQueue::Wake;
  // `mainWindowChanged` runs on the window's thread when the lock of the main
  // window changes, so that it is shown.
  ProductionLine(AppState& app, const Services& io, station::KeyboardPort& port, Wake wake,
                 std::function<void()> mainWindowChanged, ProductionLineOptions options = {});
  // Stops taking keyboards and waits for the running ones.
  ~ProductionLine();
  ProductionLine(const ProductionLine&) = delete;
  ProductionLine& operator=(const ProductionLine&) = delete;

  const ProductionLineView& view() const { return view_; }

  // The window is shown: empty fields get the main window's serial number and
  // a log beside the definition's files.
  void Open();
  void OnFieldEdited(ProductionLineField field, std::string text);
  // Builds the image of the definition as it stands and starts the station;
  // what stops it from starting is told in a box and nothing is locked.
  void OnStart();
  // Takes no more keyboards; the running ones finish. Also the way to end a
  // run before the program exits: the window closes once view().running is
  // false. `reason` ends the summary.
  void OnStop(const std::string& reason = "Stop pressed");
  // The keyboard of row `row`, skipped as programmed already, is programmed
  // again with a new serial; `why` is recorded. Refused (told) without a reason.
  void OnReprogram(std::size_t row, const std::string& why);
  void OnClearNotices();
  // Whether the window may close: not while the station runs (the user is told).
  bool OnCloseRequested();
  // Applies the queued events, on the window's thread.
  void DeliverEvents();
  // One look for keyboards, when the options leave scanning to the caller.
  void ScanNow();

 private:
  std::optional<int> ReadCount();
  // False, told, while a command-line file the window does not show is still
  // to be loaded, or when the log would be the definition's own file.
  bool ProgramsTheWindowsDefinition();
  void Apply(const StationEvent& event);
  void ApplyKeyboard(const StationEvent& event);
  void Finish(const station::StationSummary& summary);
  void Lock(bool locked);
  void ShowRunning(bool running);

  AppState& app_;
  const Services& io_;
  std::function<void()> mainWindowChanged_;
  ProductionLineOptions options_;
  ProductionLineView view_;
  std::map<std::string, std::size_t> rowOfPath_;  // the row of each keyboard still plugged in
  StationEventQueue events_;
  station::KeyboardPort& port_;
  std::unique_ptr<station::StationStore> store_;
  std::unique_ptr<station::Station> station_;  // last: it ends, and stops telling, first
};

}  // namespace veltrane::ui
