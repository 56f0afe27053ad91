// SPDX-License-Identifier: MIT
// The station store's connection to an SQLite file: write-ahead logging, each
// commit synced, and a wait while another station writes.
#pragma once

#include <memory>
#include <string>

#include "station/store/sql_connection.h"

struct sqlite3;

namespace veltrane::station::store {

class SqliteConnection final : public SqlConnection {
 public:
  // Opens or creates the file; null with `error` told when it cannot be used
  // (no such directory, read-only, not a database).
  static std::unique_ptr<SqliteConnection> Open(const std::string& path, std::string& error);
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  Dialect dialect() const override { return Dialect::Sqlite; }
  SqlResult Run(const std::string& sql, const std::vector<std::string>& params) override;

 private:
  explicit SqliteConnection(sqlite3* db) : db_(db) {}
  sqlite3* db_;
};

}  // namespace veltrane::station::store
