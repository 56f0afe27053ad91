// SPDX-License-Identifier: MIT
// What every station store must do, checked the same way on the fake, on
// SQLite and on PostgreSQL: which serial is handed out, what holds one, how a
// result ends a reservation, and the import of an old log.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "station/station_store.h"

namespace veltrane::station::testing {

inline SerialSequence Sequence(const std::string& first) {
  std::string error;
  return *ParseSerialSequence(first, error);
}

inline Reservation ReserveFor(StationStore& store, const std::string& first,
                              const std::string& replaces = "") {
  ReservationRequest request;
  request.sequence = Sequence(first);
  request.station = "line-1";
  request.run = "host/1/1";
  request.identity = "kb";
  request.version = "V0527X";
  request.imageDigest = std::string(64, 'a');
  request.reservedAt = "2025-01-02T03:04:05+00:00";
  request.replaces = replaces;
  request.note = replaces.empty() ? "" : "customer return";
  Reservation reserved;
  const StoreStatus status = store.Reserve(request, reserved);
  EXPECT_TRUE(status) << status.reason;
  return reserved;
}

inline void End(StationStore& store, const Reservation& reserved, bool passed) {
  const StoreStatus status =
      store.Finish(Outcome{reserved.id, passed, "2025-01-02T03:04:20+00:00",
                           passed ? "" : "verify: 1 byte differs", 12.5, ""});
  EXPECT_TRUE(status) << status.reason;
}

inline std::string Next(StationStore& store, const std::string& first) {
  std::string serial;
  EXPECT_TRUE(store.NextFree(Sequence(first), serial));
  return serial;
}

// Reserved, passed and replaced serials are held; failed and released ones
// come back, lowest first; other sequences' serials count where they overlap.
inline void CheckAllocation(StationStore& store) {
  bool empty = false;
  ASSERT_TRUE(store.IsEmpty(empty));
  EXPECT_TRUE(empty);
  EXPECT_EQ(Next(store, "SN0098"), "SN0098");
  const Reservation a = ReserveFor(store, "SN0098");
  const Reservation b = ReserveFor(store, "SN0098");
  const Reservation c = ReserveFor(store, "SN0098");
  EXPECT_EQ(a.serial, "SN0098");
  EXPECT_EQ(b.serial, "SN0099");
  EXPECT_EQ(c.serial, "SN0100");  // width kept
  End(store, a, true);
  End(store, b, false);  // free again
  EXPECT_EQ(Next(store, "SN0098"), "SN0099");
  EXPECT_EQ(ReserveFor(store, "SN0098").serial, "SN0099");
  EXPECT_EQ(ReserveFor(store, "SN0001").serial, "SN0001");  // below the other run's first
  EXPECT_EQ(ReserveFor(store, "SN0099").serial, "SN0101");  // overlapping: c holds SN0100
  EXPECT_EQ(ReserveFor(store, "SN098").serial, "SN098");    // another width, another sequence
  ASSERT_TRUE(store.Release("SN0101", "2025-01-02T04:00:00+00:00", "released by the test"));
  EXPECT_EQ(Next(store, "SN0099"), "SN0101");
  EXPECT_FALSE(store.Release("SN0098", "", ""));  // passed, not reserved

  // The digits grow past all nines; nothing is handed out past 31 characters.
  EXPECT_EQ(ReserveFor(store, "A9").serial, "A9");
  EXPECT_EQ(ReserveFor(store, "A9").serial, "A10");
  const std::string longest = std::string(29, 'Z') + "98";
  EXPECT_EQ(ReserveFor(store, longest).serial, longest);
  EXPECT_EQ(ReserveFor(store, longest).serial, std::string(29, 'Z') + "99");
  const Reservation none = ReserveFor(store, longest);
  EXPECT_EQ(none.serial, "");
  EXPECT_EQ(Next(store, longest), "");

  StoreRow held;
  bool found = false;
  ASSERT_TRUE(store.Holder("SN0098", held, found));
  ASSERT_TRUE(found);
  EXPECT_EQ(held.state, SerialState::Passed);
  EXPECT_EQ(held.imageDigest, std::string(64, 'a'));
  EXPECT_EQ(held.seconds, 12.5);
  ASSERT_TRUE(store.Holder("SN0101", held, found));
  EXPECT_FALSE(found);  // released
}

// A result ends only a reservation; sent again, the same result is taken.
inline void CheckResults(StationStore& store) {
  const Reservation a = ReserveFor(store, "K1");
  End(store, a, true);
  End(store, a, true);  // a commit whose answer was lost, sent again
  EXPECT_FALSE(store.Finish(Outcome{a.id, false, "", "", 0, ""}));
  StoreRow refused;
  refused.station = "line-1";
  refused.run = "host/1/1";
  refused.identity = "kb2";
  refused.version = "Error 2";
  refused.reservedAt = refused.endedAt = "2025-01-02T03:04:05+00:00";
  refused.reason = "the version text differs";
  ASSERT_TRUE(store.RecordRefused(refused));
  ASSERT_TRUE(store.RecordRefused(refused));  // several rows without a serial
  const Reservation b = ReserveFor(store, "K1");
  EXPECT_EQ(b.serial, "K2");
  std::vector<StoreRow> reserved;
  ASSERT_TRUE(store.Reservations(reserved));
  ASSERT_EQ(reserved.size(), 1u);
  EXPECT_EQ(reserved[0].serial, "K2");
  // Programmed again: the serial that passed is replaced and stays held.
  const Reservation c = ReserveFor(store, "K1", "K1");
  EXPECT_EQ(c.serial, "K3");
  std::vector<StoreRow> rows;
  ASSERT_TRUE(store.Rows(0, rows));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].state, SerialState::Replaced);
  EXPECT_EQ(rows[1].serial, "");
  EXPECT_EQ(rows[1].reason, "the version text differs");
  EXPECT_NE(rows[4].note.find("customer return"), std::string::npos) << rows[4].note;
  ASSERT_TRUE(store.Rows(rows[3].id, rows));
  EXPECT_EQ(rows.size(), 1u);
}

// An old log goes only into an empty store; a serial it gave twice keeps its first PASS.
inline void CheckImport(StationStore& store) {
  StoreRow first;
  first.serial = "SN1";
  first.state = SerialState::Passed;
  first.station = "imported";
  first.run = "imported";
  first.reservedAt = first.endedAt = "2025-01-01T10:00:00+00:00";
  StoreRow twice = first;
  StoreRow failed = first;
  failed.serial = "SN2";
  failed.state = SerialState::Failed;
  ASSERT_TRUE(store.Import({first, failed, twice}));
  std::vector<StoreRow> rows;
  ASSERT_TRUE(store.Rows(0, rows));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].state, SerialState::Failed);
  EXPECT_EQ(ReserveFor(store, "SN1").serial, "SN2");
  EXPECT_FALSE(store.Import({first}));  // not empty any more
}

// Several stations (connections) reserving at once never share a serial.
inline void CheckConcurrentReservations(std::vector<StationStore*> stations, int each) {
  std::vector<std::vector<std::string>> got(stations.size());
  std::vector<std::thread> threads;
  for (std::size_t s = 0; s < stations.size(); ++s)
    threads.emplace_back([&, s] {
      for (int k = 0; k < each; ++k) {
        const Reservation r = ReserveFor(*stations[s], s % 2 == 0 ? "C0001" : "C0005");
        got[s].push_back(r.serial);
        End(*stations[s], r, true);
      }
    });
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> all;
  for (const auto& serials : got) all.insert(serials.begin(), serials.end());
  EXPECT_EQ(all.size(), stations.size() * static_cast<std::size_t>(each));
  EXPECT_TRUE(all.contains("C0001"));
}

}  // namespace veltrane::station::testing
