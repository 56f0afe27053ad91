// The production line: every keyboard that is plugged in is programmed once,
// with the next serial number, verified, and recorded in the log, several at
// once (one worker thread per keyboard). Toolkit-free: the command line and
// a window drive it through Start, Scan and Stop and follow its events.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
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

namespace veltrane::station {

struct StationSetup {
  // With its strings packed (model::FlattenStrings); its SerialNumber gives
  // way to each keyboard's.
  model::KeyboardDefinition definition;
  std::string firstSerial;
  int count = 0;  // keyboards to handle, passed or failed; 0: until stopped
  std::string logPath;
  std::string expectVersion;  // empty: the first usable keyboard's version text
  bool verify = true;
  model::LogSink* buildLog = nullptr;  // receives the image build's lines
};

struct StartResult {
  bool ok = false;
  bool usage = false;  // the setup itself is wrong (a bad serial, an unwritable log)
  std::string reason;
};

// The wall clock for the log's times and a steady one for the seconds.
class StationClock {
 public:
  virtual ~StationClock() = default;
  virtual std::chrono::system_clock::time_point Now() = 0;
  virtual std::chrono::steady_clock::time_point Steady() = 0;
};
StationClock& SystemClock();

class Station {
 public:
  Station(StationSetup setup, KeyboardPort& port, StationObserver& observer,
          StationClock& clock = SystemClock());
  // Stops taking keyboards and waits for the running ones.
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Checks the setup, takes the log and reads the serials that passed before,
  // and builds the image when the version is known. Nothing is programmed
  // before the first Scan.
  StartResult Start();
  // One look at the keyboards: a new one gets the next serial and a worker;
  // one that went away is forgotten, so that it is programmed again when it
  // comes back. Keyboards still attached are never touched twice.
  void Scan();
  // Scans every `interval` on a thread of its own until the run is finished.
  void StartScanning(std::chrono::milliseconds interval);
  // No new keyboard is taken; running ones finish. The reason goes to the summary.
  void Stop(const std::string& reason);
  // Stopped (by Stop, the count, the log or the serials), nothing running,
  // and the Finished event told.
  bool Finished() const;
  void WaitFinished();
  StationSummary Summary() const;

 private:
  struct Slot {
    KeyboardView view;
    bool refused = false;  // version refused: logged, not programmed
    bool done = false;     // ended and told; forgotten once unplugged
    std::thread worker;
  };

  bool Usable(const std::string& versionText) const;
  bool BuildImageFor(const std::string& versionText, std::string& problem);
  std::string IdentityOf(const PortKeyboard& keyboard) const;
  // The *Locked functions run under mutex_; MayStartLocked and AdmitLocked
  // under logMutex_ too.
  bool MayStartLocked() const;
  bool StopLocked(const std::string& reason);  // true when this made it stop
  bool TakeFinishLocked();                     // true once: stopped and nothing running
  std::string StoppingText(int running) const;
  bool AdmitLocked(const PortKeyboard& keyboard, Slot& slot);
  void Forget(const PortListing& listing, std::vector<KeyboardView>& removed,
              std::vector<std::thread>& ended);
  void Announce(const PortListing& listing, const std::vector<KeyboardView>& removed,
                const std::vector<KeyboardView>& appeared, const std::string& stopping,
                bool newProblem);
  void TellCounts();
  void TellFinished();
  void SetPhase(KeyboardView& view, Phase phase);
  void Work(std::string path);
  bool Transfer(KeyboardView& view);
  void End(KeyboardView view, bool passed, std::chrono::steady_clock::time_point began);
  void ScanLoop(std::chrono::milliseconds interval);

  StationSetup setup_;
  KeyboardPort& port_;
  Events events_;
  StationClock& clock_;

  // Taken before mutex_ when both are needed: no keyboard starts while a row is written.
  std::mutex logMutex_;
  StationLog log_;
  bool logFailed_ = false;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  std::optional<SerialPool> serials_;
  std::string expected_;  // version text every keyboard must have; empty until known
  eeprom::EepromImage image_{};
  std::map<std::string, Slot> slots_;  // by path
  int passed_ = 0;
  int failed_ = 0;
  int running_ = 0;
  int ending_ = 0;        // ended and counted, its events not yet told
  bool rowLost_ = false;  // a keyboard ended without its row
  bool stopping_ = false;
  bool finished_ = false;    // stopped with nothing running: Finished is to be told
  bool finishTold_ = false;  // and was told
  std::string stopReason_;
  std::string accessProblem_;  // the last one told
  std::thread scanner_;
};

}  // namespace veltrane::station
