// SPDX-License-Identifier: MIT
// The station store's connection to a PostgreSQL server through libpq, for a
// line of stations that share one record. A lost connection is told as such
// and made again by Reconnect once the server is back.
#pragma once

#include <memory>
#include <string>

#include "station/store/sql_connection.h"

struct pg_conn;

namespace veltrane::station::store {

class PostgresConnection final : public SqlConnection {
 public:
  // `conninfo` is any libpq connection string or URI; null with `error` told
  // when the server cannot be reached or refuses.
  static std::unique_ptr<PostgresConnection> Open(const std::string& conninfo, std::string& error);
  ~PostgresConnection() override;
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  Dialect dialect() const override { return Dialect::Postgres; }
  SqlResult Run(const std::string& sql, const std::vector<std::string>& params) override;
  bool Reconnect() override;

 private:
  explicit PostgresConnection(pg_conn* connection) : connection_(connection) {}
  pg_conn* connection_;
};

}  // namespace veltrane::station::store
