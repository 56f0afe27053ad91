// SPDX-License-Identifier: MIT
// The production line: every keyboard that is plugged in is programmed once,
// with the next serial number from the store, verified, and recorded, several
// at once (one worker thread per keyboard). Toolkit-free: the command line and
// a window drive it through Start, Scan and Stop and follow its events.
//
// Each keyboard's way: its lock is taken (busy keyboards wait for a later
// scan), it is read, and when it holds this run's image with a serial the
// store records as passed it is skipped; a serial is reserved and committed
// before anything is written; it is programmed and verified under one open;
// the result is committed, then the CSV log gets its row.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/diagnostics.h"
#include "station/keyboard_port.h"
#include "station/serial_sequence.h"
#include "station/station_events.h"
#include "station/station_log.h"
#include "station/station_store.h"

namespace veltrane::station {

struct StationSetup {
  // With its strings packed (model::FlattenStrings); its SerialNumber gives
  // way to each keyboard's.
  model::KeyboardDefinition definition;
  std::string firstSerial;
  int count = 0;              // keyboards to handle, passed or failed; 0: until stopped
  std::string logPath;        // the CSV view; empty: none
  std::string expectVersion;  // empty: the first usable keyboard's version text
  bool verify = true;
  // Not empty: keyboards that hold this run's image with a serial that passed
  // are programmed again with a new serial, and this is recorded as why.
  std::string reprogram;
  std::string stationName;             // recorded with every row; empty: the host name
  std::string run;                     // empty: this process (ThisRun)
  model::LogSink* buildLog = nullptr;  // receives the image build's lines
};

struct StartResult {
  bool ok = false;
  bool usage = false;  // the setup itself is wrong (a bad serial, an unwritable log)
  std::string reason;
};

// The wall clock for the record's times and a steady one for the seconds.
class StationClock {
 public:
  virtual ~StationClock() = default;
  virtual std::chrono::system_clock::time_point Now() = 0;
  virtual std::chrono::steady_clock::time_point Steady() = 0;
};
StationClock& SystemClock();

class Station {
 public:
  Station(StationSetup setup, KeyboardPort& port, StationStore& store, StationObserver& observer,
          StationClock& clock = SystemClock());
  // Stops taking keyboards and waits for the running ones.
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Checks the setup, takes the log (importing it into a new store), lists
  // the unresolved reservations, and builds the image when the version is
  // known. Nothing is programmed before the first Scan.
  StartResult Start();
  // One look at the keyboards: a new one gets a worker; one that went away
  // is forgotten, so that it is looked at again when it comes back; a busy
  // one is tried again. Results the store did not take are sent again.
  void Scan();
  // Scans every `interval` on a thread of its own until the run is finished.
  void StartScanning(std::chrono::milliseconds interval);
  // No new keyboard is taken; running ones finish. Results the store still
  // has not taken are given up (and listed in the summary). The reason goes
  // to the summary.
  void Stop(const std::string& reason);
  // The keyboard at `path`, skipped as programmed already, is programmed
  // again with a new serial at the next scan; `why` is recorded.
  void Reprogram(const std::string& path, const std::string& why);
  // Stopped, nothing running, and the Finished event told.
  bool Finished() const;
  void WaitFinished();
  StationSummary Summary() const;

 private:
  struct Slot {
    KeyboardView view;
    bool refused = false;   // version refused: recorded, not programmed
    bool done = false;      // ended and told; forgotten once unplugged
    bool retry = false;     // busy, or to be programmed again: taken at the next scan
    bool handled = false;   // passed, failed or skipped: not left unhandled
    bool started = false;   // taken by the station: a worker runs or ran
    std::string reprogram;  // why it is programmed again; empty: not
    int ticket = 0;         // its turn to reserve: keyboards get serials in the order they came
    std::thread worker;
  };
  // A result the store did not take yet.
  struct Pending {
    Outcome outcome;
    KeyboardView view;
  };
  enum class Ending { Passed, Failed, Skipped, Busy, Unhandled };

  bool Usable(const std::string& versionText) const;
  bool BuildImageFor(const std::string& versionText, std::string& problem);
  std::string IdentityOf(const PortKeyboard& keyboard) const;
  StartResult OpenRecord(const SerialSequence& sequence);
  // The *Locked functions run under mutex_.
  bool MayStartLocked() const;
  bool StopLocked(const std::string& reason, StopCause cause);  // true when this made it stop
  bool TakeFinishLocked();  // true once: stopped, nothing running, nothing to commit
  std::string StoppingText(int running) const;
  bool AdmitLocked(const PortKeyboard& keyboard, Slot& slot);
  void Forget(const PortListing& listing, std::vector<KeyboardView>& removed,
              std::vector<std::thread>& ended);
  void Announce(const PortListing& listing, const std::vector<KeyboardView>& removed,
                const std::vector<KeyboardView>& appeared, const std::string& stopping,
                bool newProblem);
  void RetryPending();
  void TellCounts();
  void TellFinished();
  void TellStopping(const std::string& stopping);
  void SetPhase(KeyboardView& view, Phase phase);
  void ScanLoop(std::chrono::milliseconds interval);

  // A keyboard's way (keyboard_work.cpp), on its worker.
  using Began = std::chrono::steady_clock::time_point;
  void Work(std::string path);
  void WaitTurn(int ticket);
  void PassTurn(int ticket);
  Ending Handle(KeyboardView& view, const std::string& reprogram, int ticket, Began began,
                bool& committed);
  std::optional<Ending> Examine(KeyboardView& view, std::span<const std::uint8_t> held,
                                const std::string& reprogram, Began began, std::string& replaces,
                                bool& committed);
  Ending ProgramWithNewSerial(KeyboardView& view, const std::string& replaces,
                              const std::string& reprogram, int ticket, Began began,
                              bool& committed);
  bool Commit(const Outcome& outcome, const KeyboardView& view);
  bool RecordRefused(const KeyboardView& view, Began began);
  double SecondsSince(Began began);
  void FaultStop(const std::string& reason);
  void Log(const LogRow& row);
  LogRow RowOf(const KeyboardView& view, bool passed) const;
  void UpdateNextSerial();
  void End(KeyboardView view, Ending ending, bool committed, Began began);

  StationSetup setup_;
  KeyboardPort& port_;
  StationStore& store_;
  Events events_;
  StationClock& clock_;
  std::string run_;
  std::string stationName_;

  std::mutex logMutex_;  // the CSV log's appends
  std::mutex nextSerialMutex_;  // one look at the store for the next serial at a time
  std::optional<StationLog> log_;
  std::atomic<int> rowsNotLogged_{0};

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  SerialSequence sequence_;
  std::string expected_;  // version text every keyboard must have; empty until known
  eeprom::EepromImage image_{};
  std::string imageDigest_;
  std::map<std::string, Slot> slots_;  // by path
  std::vector<Pending> pending_;
  int nextTicket_ = 0;
  int turn_ = 0;               // the ticket whose turn it is
  std::set<int> passedTurns_;  // tickets after turn_ that are done with their turn
  std::string nextSerial_;
  int passed_ = 0;
  int failed_ = 0;
  int skipped_ = 0;
  int running_ = 0;
  int ending_ = 0;  // ended and counted, its events not yet told
  bool stopping_ = false;
  bool givenUp_ = false;     // Stop was called: pending results are not waited for
  bool finished_ = false;    // stopped with nothing running: Finished is to be told
  bool finishTold_ = false;  // and was told
  StopCause cause_ = StopCause::None;
  std::string stopReason_;
  std::string accessProblem_;  // the last one told
  std::vector<std::string> uncommitted_;
  std::thread scanner_;
};

}  // namespace veltrane::station
