// SPDX-License-Identifier: MIT
#include "station/store/open_store.h"

#include "station/store/postgres_connection.h"
#include "station/store/sql_store.h"
#include "station/store/sqlite_connection.h"

namespace veltrane::station::store {
namespace {

// The server and database of a connection string, without a password.
std::string ServerName(const std::string& db) {
  if (db.find("://") == std::string::npos) return "PostgreSQL (" + db.substr(0, 60) + ")";
  const std::size_t at = db.find('@');
  const std::size_t start = at != std::string::npos ? at + 1 : db.find("://") + 3;
  return "PostgreSQL " + db.substr(start, db.find('?', start) - start);
}

}  // namespace

bool NamesServer(const std::string& db) {
  return db.starts_with("postgresql://") || db.starts_with("postgres://") ||
         db.find("dbname=") != std::string::npos || db.starts_with("host=");
}

std::unique_ptr<StationStore> OpenStore(const std::string& db, std::string& error) {
  std::unique_ptr<SqlStore> store;
  if (NamesServer(db)) {
    auto connection = PostgresConnection::Open(db, error);
    if (!connection) {
      error = ServerName(db) + ": " + error;
      return nullptr;
    }
    store = std::make_unique<SqlStore>(std::move(connection), ServerName(db));
  } else {
    auto connection = SqliteConnection::Open(db, error);
    if (!connection) return nullptr;
    store = std::make_unique<SqlStore>(std::move(connection), db);
  }
  const StoreStatus prepared = store->Prepare();
  if (!prepared) {
    error = prepared.reason;
    return nullptr;
  }
  return store;
}

}  // namespace veltrane::station::store
