// SPDX-License-Identifier: MIT
// One connection to a database, as the SQL store uses it: statements with
// numbered text parameters ($1, $2, ...) and rows of text. SQLite and libpq
// implement it; the store's logic is written once over it.
#pragma once

#include <string>
#include <vector>

namespace veltrane::station::store {

enum class Dialect { Sqlite, Postgres };

enum class SqlFailure {
  None,
  Constraint,  // a unique or check constraint refused the statement
  Lost,        // the server went away; the statement's outcome is unknown
  Other,
};

struct SqlResult {
  std::vector<std::vector<std::string>> rows;  // NULL reads as ""
  SqlFailure failure = SqlFailure::None;
  std::string error;
  bool ok() const { return failure == SqlFailure::None; }
};

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual Dialect dialect() const = 0;
  // Runs one statement; `sql` numbers its parameters $1, $2, ...
  virtual SqlResult Run(const std::string& sql, const std::vector<std::string>& params = {}) = 0;
  // After a Lost failure: connects again; false when the server is still away.
  virtual bool Reconnect() { return false; }
};

}  // namespace veltrane::station::store
