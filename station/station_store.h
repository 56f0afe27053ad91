// SPDX-License-Identifier: MIT
// The station's record: one row per keyboard, in a store that every station of
// a line may share. The store, not the station, decides which serial a
// keyboard gets: a serial is reserved and committed before its keyboard is
// touched, so that a crash leaves a gap but never hands a serial out twice.
// SQLite and PostgreSQL implement it (station/store/); tests use a fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "station/serial_sequence.h"

namespace veltrane::station {

// A row's state. Reserved, Passed and Replaced hold their serial: no other
// row may hold it at the same time (a constraint of the store).
enum class SerialState {
  Reserved,  // handed to a keyboard that was not yet programmed and verified
  Passed,    // programmed and verified (or confirmed by reading the keyboard)
  Failed,    // programming or verify failed; the serial is free again
  Released,  // a reservation the operator gave up; the serial is free again
  Replaced,  // passed, then the keyboard was programmed again with another serial
};

// "reserved", "passed", "failed", "released", "replaced": the store's words.
const char* StateName(SerialState state);
bool StateFromName(const std::string& name, SerialState& state);
bool HoldsSerial(SerialState state);

struct StoreRow {
  std::int64_t id = 0;  // in the order rows were made
  std::string serial;   // empty for a keyboard refused before it got one
  SerialState state = SerialState::Reserved;
  std::string station;      // the station's name
  std::string run;          // which run of which station: "HOST/PID/START"
  std::string identity;     // the keyboard: path, USB port and serial string
  std::string version;      // its version text
  std::string imageDigest;  // SHA-256 (hex) of the image with its serial field empty
  std::string reservedAt;   // ISO time the row was made
  std::string endedAt;      // ISO time of its result; empty while reserved
  std::string reason;       // why it failed
  double seconds = 0;       // from the keyboard's start to its result
  std::string note;         // how it was resolved, released or programmed again
};

struct StoreStatus {
  bool ok = true;
  std::string reason;  // why not, as a user reads it
  bool lost = false;   // the store could not be reached (the outcome may be unknown)
  operator bool() const { return ok; }  // NOLINT(google-explicit-constructor)
};

inline StoreStatus StoreFailure(std::string reason, bool lost = false) {
  return StoreStatus{false, std::move(reason), lost};
}

// What a reservation records besides its serial.
struct ReservationRequest {
  SerialSequence sequence;  // the serial is the lowest free one of it from its first on
  std::string station;
  std::string run;
  std::string identity;
  std::string version;
  std::string imageDigest;
  std::string reservedAt;
  std::string replaces;  // a serial that passed on this keyboard before: it becomes Replaced
  std::string note;      // why it is programmed again
};

struct Reservation {
  std::int64_t id = 0;
  std::string serial;  // empty when no free serial fits in 31 characters
};

// A keyboard's end: Passed or Failed, for a reservation that is still Reserved.
struct Outcome {
  std::int64_t id = 0;
  bool passed = false;
  std::string endedAt;
  std::string reason;
  double seconds = 0;
  std::string note;
};

class StationStore {
 public:
  virtual ~StationStore() = default;

  // What the store is, for messages: the file or the server.
  virtual std::string Name() const = 0;
  // Whether it holds no row yet (a new store).
  virtual StoreStatus IsEmpty(bool& empty) = 0;
  // One transaction: the lowest serial from the sequence's first on that no
  // row holds, held by a new Reserved row. Nothing is reserved when no serial
  // fits (out.serial stays empty).
  virtual StoreStatus Reserve(const ReservationRequest& request, Reservation& out) = 0;
  // The serial Reserve would hand out now; empty when none fits.
  virtual StoreStatus NextFree(const SerialSequence& sequence, std::string& serial) = 0;
  // Ends a reservation. Done already with the same result counts as done,
  // so that a commit whose answer was lost can be sent again.
  virtual StoreStatus Finish(const Outcome& outcome) = 0;
  // A keyboard that got no serial (refused for its version, unreadable): a
  // Failed row without one.
  virtual StoreStatus RecordRefused(const StoreRow& row) = 0;
  // The row that holds `serial`, if any (found false otherwise).
  virtual StoreStatus Holder(const std::string& serial, StoreRow& row, bool& found) = 0;
  // Every Reserved row, oldest first.
  virtual StoreStatus Reservations(std::vector<StoreRow>& rows) = 0;
  // Reserved -> Released for the reservation of `serial`, with the note.
  virtual StoreStatus Release(const std::string& serial, const std::string& endedAt,
                              const std::string& note) = 0;
  // Rows whose id is above `afterId`, oldest first.
  virtual StoreStatus Rows(std::int64_t afterId, std::vector<StoreRow>& rows) = 0;
  // Adds rows from an older record in one transaction, only while the store
  // is empty. A serial that passed twice there keeps its first PASS; the later
  // ones come in as Failed with a reason.
  virtual StoreStatus Import(const std::vector<StoreRow>& rows) = 0;
};

}  // namespace veltrane::station
