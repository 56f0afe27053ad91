// SPDX-License-Identifier: MIT
// The station store in memory, for the engine's tests: the same rules as the
// databases (a held serial in one row only, the lowest free serial first),
// and a server that can go away and come back.
#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>

#include "station/station_store.h"

namespace veltrane::station::testing {

class FakeStore final : public StationStore {
 public:
  std::atomic<bool> away{false};          // every call fails as with a server gone away
  std::atomic<bool> refuseFinish{false};  // Finish alone fails so
  std::function<void()> afterNextFree;    // runs with NextFree's answer made, before it returns

  std::string Name() const override { return "the test store"; }

  StoreStatus IsEmpty(bool& empty) override {
    return Call([&] {
      empty = rows_.empty();
      return StoreStatus{};
    });
  }
  StoreStatus Reserve(const ReservationRequest& request, Reservation& out) override {
    out = Reservation{};
    return Call([&] {
      const std::string serial = FirstFree(request.sequence);
      if (serial.empty()) return StoreStatus{};
      for (StoreRow& row : rows_)
        if (row.serial == request.replaces && row.state == SerialState::Passed)
          row.state = SerialState::Replaced;
      StoreRow row;
      row.id = static_cast<std::int64_t>(rows_.size()) + 1;
      row.serial = serial;
      row.station = request.station;
      row.run = request.run;
      row.identity = request.identity;
      row.version = request.version;
      row.imageDigest = request.imageDigest;
      row.reservedAt = request.reservedAt;
      row.note = request.replaces.empty() ? "" : "held " + request.replaces + ": " + request.note;
      rows_.push_back(row);
      out = Reservation{row.id, serial};
      return StoreStatus{};
    });
  }
  StoreStatus NextFree(const SerialSequence& sequence, std::string& serial) override {
    const StoreStatus status = Call([&] {
      serial = FirstFree(sequence);
      return StoreStatus{};
    });
    if (afterNextFree) afterNextFree();
    return status;
  }
  StoreStatus Finish(const Outcome& outcome) override {
    if (refuseFinish) return StoreFailure("the test store refuses results", true);
    return Call([&] {
      StoreRow& row = rows_.at(static_cast<std::size_t>(outcome.id - 1));
      const SerialState state = outcome.passed ? SerialState::Passed : SerialState::Failed;
      if (row.state == state) return StoreStatus{};
      if (row.state != SerialState::Reserved) return StoreFailure("no longer reserved");
      row.state = state;
      row.endedAt = outcome.endedAt;
      row.reason = outcome.reason;
      row.seconds = outcome.seconds;
      if (!outcome.note.empty()) row.note = outcome.note;
      return StoreStatus{};
    });
  }
  StoreStatus RecordRefused(const StoreRow& refused) override {
    return Call([&] {
      StoreRow row = refused;
      row.id = static_cast<std::int64_t>(rows_.size()) + 1;
      row.serial.clear();
      row.state = SerialState::Failed;
      rows_.push_back(row);
      return StoreStatus{};
    });
  }
  StoreStatus Holder(const std::string& serial, StoreRow& found, bool& isHeld) override {
    return Call([&] {
      isHeld = false;
      for (const StoreRow& row : rows_)
        if (row.serial == serial && HoldsSerial(row.state)) {
          found = row;
          isHeld = true;
        }
      return StoreStatus{};
    });
  }
  StoreStatus Reservations(std::vector<StoreRow>& rows) override {
    rows.clear();
    return Call([&] {
      for (const StoreRow& row : rows_)
        if (row.state == SerialState::Reserved) rows.push_back(row);
      return StoreStatus{};
    });
  }
  StoreStatus Release(const std::string& serial, const std::string& endedAt,
                      const std::string& note) override {
    return Call([&] {
      for (StoreRow& row : rows_)
        if (row.serial == serial && row.state == SerialState::Reserved) {
          row.state = SerialState::Released;
          row.endedAt = endedAt;
          row.note = note;
          return StoreStatus{};
        }
      return StoreFailure(serial + " is not reserved");
    });
  }
  StoreStatus Rows(std::int64_t afterId, std::vector<StoreRow>& rows) override {
    rows.clear();
    return Call([&] {
      for (const StoreRow& row : rows_)
        if (row.id > afterId) rows.push_back(row);
      return StoreStatus{};
    });
  }
  StoreStatus Import(const std::vector<StoreRow>& imported) override {
    return Call([&] {
      if (!rows_.empty()) return StoreFailure("not empty");
      for (StoreRow row : imported) {
        row.id = static_cast<std::int64_t>(rows_.size()) + 1;
        if (HoldsSerial(row.state) && Held(row.serial)) row.state = SerialState::Failed;
        rows_.push_back(row);
      }
      return StoreStatus{};
    });
  }

  // A copy of every row, for the test to look at.
  std::vector<StoreRow> All() {
    const std::lock_guard lock(mutex_);
    return rows_;
  }
  void Add(StoreRow row) {
    const std::lock_guard lock(mutex_);
    row.id = static_cast<std::int64_t>(rows_.size()) + 1;
    rows_.push_back(std::move(row));
  }

 private:
  template <typename Body>
  StoreStatus Call(Body body) {
    if (away) return StoreFailure("the test store is away", true);
    const std::lock_guard lock(mutex_);
    return body();
  }
  bool Held(const std::string& serial) const {
    return std::any_of(rows_.begin(), rows_.end(), [&](const StoreRow& row) {
      return row.serial == serial && HoldsSerial(row.state);
    });
  }
  std::string FirstFree(const SerialSequence& sequence) const {
    for (std::string digits = sequence.digits;; digits = AddToDigits(digits, 1)) {
      const std::string serial = sequence.prefix + digits;
      if (serial.size() > kSerialLimit) return "";
      if (!Held(serial)) return serial;
    }
  }

  std::mutex mutex_;
  std::vector<StoreRow> rows_;
};

}  // namespace veltrane::station::testing
