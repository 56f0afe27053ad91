// SPDX-License-Identifier: MIT
// The station store on SQLite and on the test fake: the same rules, the
// constraint in the database itself, and files that cannot be a store.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "station/store/open_store.h"
#include "tests/station/fake_store.h"
#include "tests/station/store_contract.h"
#include "tests/support/temp_dir.h"

namespace veltrane::station {
namespace {

using namespace testing;

class SqliteStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<StationStore> Open(const std::string& name = "line.sqlite") {
    std::string error;
    auto store = store::OpenStore(dir.File(name), error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  veltrane::testing::TempDir dir;
};

TEST_F(SqliteStoreTest, KeepsTheRulesOfEveryStore) {
  CheckAllocation(*Open("allocation.sqlite"));
  CheckResults(*Open("results.sqlite"));
  CheckImport(*Open("import.sqlite"));
}

TEST_F(SqliteStoreTest, StationsOnOneFileNeverShareASerialAndARestartGoesOn) {
  auto a = Open();
  auto b = Open();
  CheckConcurrentReservations({a.get(), b.get()}, 20);
  a.reset();
  b.reset();
  EXPECT_EQ(ReserveFor(*Open(), "C0001").serial, "C0041");
}

// Two stations started together: one still writing the new file when the
// other switches it to write-ahead logging, where SQLite gives up at once.
TEST_F(SqliteStoreTest, AStationOpeningANewFileAnotherIsWritingWaitsForIt) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(dir.File("line.sqlite").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread done([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "CREATE TABLE notes (text TEXT); COMMIT", nullptr, nullptr, nullptr);
  });
  auto store = Open();
  done.join();
  sqlite3_close(other);
  ASSERT_TRUE(store);
  EXPECT_EQ(ReserveFor(*store, "C0001").serial, "C0001");
}

TEST_F(SqliteStoreTest, TwoHeldRowsWithOneSerialAreRefusedByTheDatabase) {
  auto store = Open();
  ReserveFor(*store, "SN1");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(dir.File("line.sqlite").c_str(), &db), SQLITE_OK);
  const auto insert = [db](const std::string& state) {
    const std::string sql =
        "INSERT INTO station_keyboards (serial, prefix, digits, width, next_serial, state, "
        "station, run, identity, version, image_sha256, reserved_at) VALUES ('SN1', 'SN', '1', 1, "
        "'SN2', '" +
        state + "', 's', 'r', 'i', 'v', '', '')";
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(insert("passed") & 0xFF, SQLITE_CONSTRAINT);
  EXPECT_EQ(insert("failed"), SQLITE_OK);
  sqlite3_close(db);
}

TEST_F(SqliteStoreTest, WhatCannotBeAStoreIsToldAndLeftAlone) {
  std::string error;
  EXPECT_FALSE(store::OpenStore(dir.File("no/such/dir/line.sqlite"), error));
  EXPECT_EQ(error, dir.File("no/such/dir/line.sqlite") + ": unable to open database file");
  std::ofstream(dir.File("notes.sqlite")) << "these are not the droids you are looking for\n";
  EXPECT_FALSE(store::OpenStore(dir.File("notes.sqlite"), error));
  EXPECT_NE(error.find("file is not a database"), std::string::npos) << error;
  Open("old.sqlite");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(dir.File("old.sqlite").c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "UPDATE station_meta SET value = '7' WHERE key = 'schema'", nullptr, nullptr,
               nullptr);
  sqlite3_close(db);
  EXPECT_FALSE(store::OpenStore(dir.File("old.sqlite"), error));
  EXPECT_EQ(error, dir.File("old.sqlite") +
                       " holds a station record of schema version 7; this program reads version 1");
  if (::geteuid() != 0) {  // root writes read-only files
    Open("fixed.sqlite");
    ::chmod(dir.File("fixed.sqlite").c_str(), 0444);
    EXPECT_FALSE(store::OpenStore(dir.File("fixed.sqlite"), error));
    EXPECT_EQ(error, dir.File("fixed.sqlite") + " is read-only");
  }
}

TEST(FakeStore, KeepsTheRulesOfTheDatabases) {
  FakeStore allocation, results, import;
  CheckAllocation(allocation);
  CheckResults(results);
  CheckImport(import);
  FakeStore shared;
  CheckConcurrentReservations({&shared, &shared}, 10);
}

}  // namespace
}  // namespace veltrane::station
