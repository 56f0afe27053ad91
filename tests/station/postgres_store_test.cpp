// SPDX-License-Identifier: MIT
// The station store on a real PostgreSQL server (a throwaway cluster): the
// rules every store keeps, stations on several connections, the constraint in
// the database, and a server that goes away in the middle of a run.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "station/station.h"
#include "station/store/open_store.h"
#include "tests/station/fake_port.h"
#include "tests/station/postgres_cluster.h"
#include "tests/station/recording_observer.h"
#include "tests/station/store_contract.h"
#include "tests/support/temp_dir.h"

namespace veltrane::station {
namespace {

using namespace testing;

class PostgresStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_POSTGRES(cluster); }
  std::unique_ptr<StationStore> Open(const std::string& schema) {
    std::string error;
    auto store = store::OpenStore(cluster.ConnectionTo(schema), error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  PostgresCluster& cluster = PostgresCluster::Shared();
};

TEST_F(PostgresStoreTest, KeepsTheRulesOfEveryStore) {
  CheckAllocation(*Open("allocation"));
  CheckResults(*Open("results"));
  CheckImport(*Open("import"));
  EXPECT_NE(Open("results")->Name().find("PostgreSQL"), std::string::npos);
}

TEST_F(PostgresStoreTest, FourStationsOnOneServerNeverShareASerial) {
  auto a = Open("line");
  auto b = Open("line");
  auto c = Open("line");
  auto d = Open("line");
  CheckConcurrentReservations({a.get(), b.get(), c.get(), d.get()}, 16);
}

TEST_F(PostgresStoreTest, TwoHeldRowsWithOneSerialAreRefusedByTheDatabase) {
  ReserveFor(*Open("uniqueness"), "SN1");
  PGconn* raw = PQconnectdb(cluster.ConnectionTo("uniqueness").c_str());
  PGresult* result = PQexec(
      raw,
      "INSERT INTO station_keyboards (serial, prefix, digits, width, next_serial, state, station, "
      "run, identity, version, image_sha256, reserved_at) VALUES ('SN1', 'SN', '1', 1, 'SN2', "
      "'passed', 's', 'r', 'i', 'v', '', '')");
  EXPECT_STREQ(PQresultErrorField(result, PG_DIAG_SQLSTATE), "23505");  // unique_violation
  PQclear(result);
  PQfinish(raw);
}

TEST_F(PostgresStoreTest, AServerThatWentAwayIsToldAndTheStoreGoesOnWhenItIsBack) {
  auto store = Open("away");
  EXPECT_EQ(ReserveFor(*store, "SN1").serial, "SN1");
  cluster.Kill();
  Reservation lost;
  ReservationRequest request;
  request.sequence = Sequence("SN1");
  const StoreStatus status = store->Reserve(request, lost);
  EXPECT_FALSE(status);
  EXPECT_TRUE(status.lost);
  EXPECT_EQ(lost.serial, "");
  ASSERT_TRUE(cluster.Start()) << cluster.Problem();
  EXPECT_EQ(ReserveFor(*store, "SN1").serial, "SN2");  // the committed reservation survived

  std::string error;
  EXPECT_FALSE(store::OpenStore("host=/nonexistent port=1 dbname=x", error));
  EXPECT_NE(error.find("PostgreSQL"), std::string::npos) << error;
}

// The station's own way through a server that dies while a keyboard is being
// programmed: no new keyboard, the running one finishes, and its result is
// committed once the server is back.
TEST_F(PostgresStoreTest, AStationWaitsForTheServerWithItsResult) {
  auto store = Open("station");
  veltrane::testing::TempDir dir;
  FakePort port;
  RecordingObserver events;
  StationSetup setup;
  model::InitialiseDefinition(setup.definition);
  setup.firstSerial = "PG001";
  setup.logPath = dir.File("log.csv");
  port.Plug("kb1");
  port.Hold("kb1");
  Station station(std::move(setup), port, *store, events);
  ASSERT_TRUE(station.Start().ok);
  station.Scan();
  port.WaitUntilHeld();
  cluster.Kill();
  port.Plug("kb2");
  port.Release();
  events.WaitFor("PASS kb1");
  station.Scan();
  EXPECT_FALSE(station.Finished());
  EXPECT_EQ(port.Downloads("kb2"), 0);
  ASSERT_TRUE(cluster.Start()) << cluster.Problem();
  for (int scan = 0; scan < 200 && !station.Finished(); ++scan) {
    station.Scan();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(station.Finished());
  StoreRow row;
  bool found = false;
  ASSERT_TRUE(store->Holder("PG001", row, found));
  EXPECT_TRUE(found);
  EXPECT_EQ(row.state, SerialState::Passed);
  EXPECT_FALSE(Succeeded(station.Summary()));  // kb2 was left
  EXPECT_EQ(events.Matching("notice recorded now").size(), 1u);
}

}  // namespace
}  // namespace veltrane::station
