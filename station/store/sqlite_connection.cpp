// SPDX-License-Identifier: MIT
#include "station/store/sqlite_connection.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace veltrane::station::store {
namespace {

constexpr int kBusyMilliseconds = 10000;

// $1, $2, ... as SQLite numbers its parameters: ?1, ?2, ...
std::string Numbered(const std::string& sql) {
  std::string text = sql;
  for (char& c : text)
    if (c == '$') c = '?';
  return text;
}

SqlFailure FailureOf(int code) {
  switch (code & 0xFF) {
    case SQLITE_CONSTRAINT:
      return SqlFailure::Constraint;
    default:
      return SqlFailure::Other;
  }
}

// Turning a new file to write-ahead logging raises a read lock to a write lock,
// where SQLite says "busy" at once rather than wait: a station that starts with
// another waits here instead.
int UseWriteAheadLog(sqlite3* db) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
  for (;;) {
    const int code = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    if ((code & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) return code;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

std::unique_ptr<SqliteConnection> SqliteConnection::Open(const std::string& path,
                                                         std::string& error) {
  sqlite3* db = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (opened != SQLITE_OK) {
    error = path + ": " + (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(opened));
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db));
  if (sqlite3_db_readonly(db, "main") == 1) {
    error = path + " is read-only";
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyMilliseconds);
  if (UseWriteAheadLog(db) != SQLITE_OK) {
    error = path + ": " + sqlite3_errmsg(db);
    return nullptr;
  }
  // Every commit is on the disk before it is reported: a serial once reserved stays reserved.
  const SqlResult result = connection->Run("PRAGMA synchronous = FULL", {});
  if (!result.ok()) {
    error = path + ": " + result.error;
    return nullptr;
  }
  return connection;
}

SqliteConnection::~SqliteConnection() {
  sqlite3_close_v2(db_);
}

SqlResult SqliteConnection::Run(const std::string& sql, const std::vector<std::string>& params) {
  SqlResult result;
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(db_, Numbered(sql).c_str(), -1, &statement, nullptr);
  for (std::size_t k = 0; code == SQLITE_OK && k < params.size(); ++k)
    code = sqlite3_bind_text(statement, static_cast<int>(k + 1), params[k].c_str(),
                             static_cast<int>(params[k].size()), SQLITE_TRANSIENT);
  while (code == SQLITE_OK || code == SQLITE_ROW) {
    code = sqlite3_step(statement);
    if (code != SQLITE_ROW) break;
    std::vector<std::string>& row = result.rows.emplace_back();
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
      row.emplace_back(text != nullptr ? text : "");
    }
  }
  if (code != SQLITE_DONE) {
    result.failure = FailureOf(code);
    result.error = sqlite3_errmsg(db_);
    result.rows.clear();
  }
  sqlite3_finalize(statement);
  return result;
}

}  // namespace veltrane::station::store
