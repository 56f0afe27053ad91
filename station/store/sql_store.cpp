// SPDX-License-Identifier: MIT
#include "station/store/sql_store.h"

#include <cstdio>
#include <cstdlib>
#include <set>

namespace veltrane::station::store {
namespace {

// The states that hold a serial, as the unique index and the queries name them.
#define HELD "('reserved', 'passed', 'replaced')"

// One schema; the two dialects spell its types.
std::vector<std::string> SchemaStatements(Dialect dialect) {
  const bool pg = dialect == Dialect::Postgres;
  const std::string id =
      pg ? "id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY" : "id INTEGER PRIMARY KEY";
  const std::string text = pg ? "TEXT COLLATE \"C\" NOT NULL" : "TEXT NOT NULL";
  const std::string real = pg ? "DOUBLE PRECISION" : "REAL";
  return {
      "CREATE TABLE IF NOT EXISTS station_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
      "CREATE TABLE IF NOT EXISTS station_keyboards (" + id + ", serial " + text + ", prefix " +
          text + ", digits " + text + ", width INTEGER NOT NULL, next_serial " + text + ", state " +
          text +
          " CHECK (state IN ('reserved', 'passed', 'failed', 'released', 'replaced')), station " +
          text + ", run " + text + ", identity " + text + ", version " + text + ", image_sha256 " +
          text + ", reserved_at " + text + ", ended_at " + text + " DEFAULT '', reason " + text +
          " DEFAULT '', seconds " + real + " NOT NULL DEFAULT 0, note " + text +
          " DEFAULT '', CHECK (state NOT IN " HELD " OR serial <> ''))",
      "CREATE UNIQUE INDEX IF NOT EXISTS station_held_serial ON station_keyboards (serial) "
      "WHERE state IN " HELD,
      "CREATE INDEX IF NOT EXISTS station_held_order ON station_keyboards (prefix, width, digits) "
      "WHERE state IN " HELD,
      std::string("INSERT INTO station_meta (key, value) VALUES ('schema', '") + kSchemaVersion +
          "') ON CONFLICT DO NOTHING",
  };
}

constexpr const char* kColumns =
    "id, serial, state, station, run, identity, version, image_sha256, reserved_at, ended_at, "
    "reason, seconds, note";

StoreRow RowOf(const std::vector<std::string>& c) {
  StoreRow row;
  row.id = std::strtoll(c[0].c_str(), nullptr, 10);
  row.serial = c[1];
  StateFromName(c[2], row.state);
  row.station = c[3];
  row.run = c[4];
  row.identity = c[5];
  row.version = c[6];
  row.imageDigest = c[7];
  row.reservedAt = c[8];
  row.endedAt = c[9];
  row.reason = c[10];
  row.seconds = std::strtod(c[11].c_str(), nullptr);
  row.note = c[12];
  return row;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

// The serial split as the allocation query reads it: text, trailing digits,
// their width, and the serial one after it.
struct SerialParts {
  std::string prefix;
  std::string digits;
  std::string next;
};

SerialParts PartsOf(const std::string& serial) {
  std::size_t start = serial.size();
  while (start > 0 && serial[start - 1] >= '0' && serial[start - 1] <= '9') --start;
  SerialParts parts{serial.substr(0, start), serial.substr(start), {}};
  if (!parts.digits.empty()) parts.next = parts.prefix + AddToDigits(parts.digits, 1);
  return parts;
}

}  // namespace

SqlStore::SqlStore(std::unique_ptr<SqlConnection> connection, std::string name)
    : connection_(std::move(connection)), name_(std::move(name)) {}

bool SqlStore::Run(const std::string& sql, const std::vector<std::string>& params,
                   SqlResult& result, StoreStatus& failure) {
  result = connection_->Run(sql, params);
  if (result.ok()) return true;
  lost_ = lost_ || result.failure == SqlFailure::Lost;
  failure = StoreFailure(name_ + ": " + result.error, result.failure == SqlFailure::Lost);
  return false;
}

template <typename Body>
StoreStatus SqlStore::Locked(Body body) {
  const std::lock_guard lock(mutex_);
  if (lost_) {
    if (!connection_->Reconnect())
      return StoreFailure(name_ + ": the database server cannot be reached", true);
    lost_ = false;
  }
  return body();
}

template <typename Body>
StoreStatus SqlStore::InTransaction(Body body, bool synced) {
  return Locked([&] {
    StoreStatus status;
    SqlResult result;
    const bool pg = connection_->dialect() == Dialect::Postgres;
    if (!pg && !Run(synced ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL", {},
                    result, status))
      return status;
    // Stations on one server take turns in their allocations, so that two never
    // pick one serial; one round trip with the transaction's start.
    const char* begin = !pg      ? "BEGIN IMMEDIATE"
                        : synced ? "BEGIN; SELECT pg_advisory_xact_lock(7301250001)"
                                 : "BEGIN; SET LOCAL synchronous_commit = off";
    if (Run(begin, {}, result, status) && (status = body())) {
      if (Run("COMMIT", {}, result, status)) return status;
    }
    if (!lost_) connection_->Run("ROLLBACK");
    return status;
  });
}

StoreStatus SqlStore::Prepare() {
  return InTransaction([&] {
    StoreStatus status;
    SqlResult result;
    for (const std::string& statement : SchemaStatements(connection_->dialect()))
      if (!Run(statement, {}, result, status)) return status;
    if (!Run("SELECT value FROM station_meta WHERE key = 'schema'", {}, result, status))
      return status;
    const std::string version = result.rows.empty() ? "" : result.rows[0][0];
    if (version != kSchemaVersion)
      return StoreFailure(name_ + " holds a station record of schema version " + version +
                          "; this program reads version " + kSchemaVersion);
    return status;
  });
}

StoreStatus SqlStore::IsEmpty(bool& empty) {
  return Locked([&] {
    StoreStatus status;
    SqlResult result;
    if (Run("SELECT count(*) FROM station_keyboards", {}, result, status))
      empty = !result.rows.empty() && result.rows[0][0] == "0";
    return status;
  });
}

// The lowest serial from the first on that no row holds: the first itself, or
// the one after the lowest held serial whose next one is free.
bool SqlStore::FirstFree(const SerialSequence& sequence, std::string& serial,
                         StoreStatus& failure) {
  const std::string first = sequence.prefix + sequence.digits;
  SqlResult result;
  if (!Run("SELECT CASE WHEN NOT EXISTS (SELECT 1 FROM station_keyboards WHERE serial = $4 AND "
           "state IN " HELD ") THEN $4 ELSE (SELECT a.next_serial FROM station_keyboards a "
           "WHERE a.prefix = $1 AND a.state IN " HELD " AND ((a.width = $2 AND a.digits >= $3) "
           "OR (a.width > $2 AND substr(a.digits, 1, 1) <> '0')) AND NOT EXISTS (SELECT 1 FROM "
           "station_keyboards b WHERE b.serial = a.next_serial AND b.state IN " HELD
           ") ORDER BY a.width, a.digits LIMIT 1) END",
           {sequence.prefix, std::to_string(sequence.digits.size()), sequence.digits, first},
           result, failure))
    return false;
  serial = result.rows.empty() ? std::string() : result.rows[0][0];
  return true;
}

bool SqlStore::Insert(const StoreRow& row, std::int64_t& id, StoreStatus& failure) {
  const SerialParts parts = PartsOf(row.serial);
  SqlResult result;
  if (!Run("INSERT INTO station_keyboards (serial, prefix, digits, width, next_serial, state, "
           "station, run, identity, version, image_sha256, reserved_at, ended_at, reason, "
           "seconds, note) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, "
           "$15, $16) RETURNING id",
           {row.serial, parts.prefix, parts.digits, std::to_string(parts.digits.size()), parts.next,
            StateName(row.state), row.station, row.run, row.identity, row.version, row.imageDigest,
            row.reservedAt, row.endedAt, row.reason, Number(row.seconds), row.note},
           result, failure))
    return false;
  id = result.rows.empty() ? 0 : std::strtoll(result.rows[0][0].c_str(), nullptr, 10);
  return true;
}

StoreStatus SqlStore::Reserve(const ReservationRequest& request, Reservation& out) {
  out = Reservation{};
  return InTransaction([&] {
    StoreStatus status;
    std::string serial;
    if (!FirstFree(request.sequence, serial, status)) return status;
    if (serial.empty() || serial.size() > kSerialLimit) return status;
    SqlResult result;
    if (!request.replaces.empty() &&
        !Run("UPDATE station_keyboards SET state = 'replaced', note = $2 WHERE serial = $1 AND "
             "state = 'passed'",
             {request.replaces, "programmed again as " + serial + ": " + request.note}, result,
             status))
      return status;
    StoreRow row;
    row.serial = serial;
    row.state = SerialState::Reserved;
    row.station = request.station;
    row.run = request.run;
    row.identity = request.identity;
    row.version = request.version;
    row.imageDigest = request.imageDigest;
    row.reservedAt = request.reservedAt;
    if (!request.replaces.empty())
      row.note = "programmed again, held " + request.replaces + ": " + request.note;
    if (Insert(row, out.id, status)) out.serial = serial;
    return status;
  });
}

StoreStatus SqlStore::NextFree(const SerialSequence& sequence, std::string& serial) {
  return Locked([&] {
    StoreStatus status;
    if (FirstFree(sequence, serial, status) && serial.size() > kSerialLimit) serial.clear();
    return status;
  });
}

StoreStatus SqlStore::Finish(const Outcome& outcome) {
  return InTransaction(
      [&] {
        StoreStatus status;
        SqlResult result;
        const char* state = outcome.passed ? "passed" : "failed";
        const std::string id = std::to_string(outcome.id);
        if (!Run(
                "UPDATE station_keyboards SET state = $2, ended_at = $3, reason = $4, seconds = "
                "$5, "
                "note = CASE WHEN $6 = '' THEN note ELSE $6 END WHERE id = $1 AND state = "
                "'reserved' RETURNING id",
                {id, state, outcome.endedAt, outcome.reason, Number(outcome.seconds), outcome.note},
                result, status))
          return status;
        if (!result.rows.empty()) return status;
        if (!Run("SELECT state, serial FROM station_keyboards WHERE id = $1", {id}, result, status))
          return status;
        if (result.rows.empty()) return StoreFailure(name_ + ": reservation " + id + " is missing");
        if (result.rows[0][0] == state) return status;  // an earlier commit got through
        return StoreFailure(name_ + ": the reservation of " + result.rows[0][1] + " was " +
                            result.rows[0][0] + " meanwhile");
      },
      false);
}

StoreStatus SqlStore::RecordRefused(const StoreRow& row) {
  return InTransaction([&] {
    StoreStatus status;
    StoreRow refused = row;
    refused.serial.clear();
    refused.state = SerialState::Failed;
    std::int64_t id = 0;
    Insert(refused, id, status);
    return status;
  });
}

bool SqlStore::Select(const std::string& where, const std::vector<std::string>& params,
                      std::vector<StoreRow>& rows, StoreStatus& failure) {
  SqlResult result;
  if (!Run(std::string("SELECT ") + kColumns + " FROM station_keyboards WHERE " + where, params,
           result, failure))
    return false;
  for (const auto& columns : result.rows) rows.push_back(RowOf(columns));
  return true;
}

StoreStatus SqlStore::Holder(const std::string& serial, StoreRow& row, bool& found) {
  return Locked([&] {
    StoreStatus status;
    std::vector<StoreRow> rows;
    if (Select("serial = $1 AND state IN " HELD, {serial}, rows, status)) {
      found = !rows.empty();
      if (found) row = rows[0];
    }
    return status;
  });
}

StoreStatus SqlStore::Reservations(std::vector<StoreRow>& rows) {
  rows.clear();
  return Locked([&] {
    StoreStatus status;
    Select("state = 'reserved' ORDER BY id", {}, rows, status);
    return status;
  });
}

StoreStatus SqlStore::Release(const std::string& serial, const std::string& endedAt,
                              const std::string& note) {
  return InTransaction([&] {
    StoreStatus status;
    SqlResult result;
    if (Run("UPDATE station_keyboards SET state = 'released', ended_at = $2, note = $3 WHERE "
            "serial = $1 AND state = 'reserved' RETURNING id",
            {serial, endedAt, note}, result, status) &&
        result.rows.empty())
      return StoreFailure(serial + " is not reserved in " + name_);
    return status;
  });
}

StoreStatus SqlStore::Rows(std::int64_t afterId, std::vector<StoreRow>& rows) {
  rows.clear();
  return Locked([&] {
    StoreStatus status;
    Select("id > $1 ORDER BY id", {std::to_string(afterId)}, rows, status);
    return status;
  });
}

StoreStatus SqlStore::Import(const std::vector<StoreRow>& rows) {
  return InTransaction([&] {
    StoreStatus status;
    SqlResult result;
    if (!Run("SELECT count(*) FROM station_keyboards", {}, result, status)) return status;
    if (result.rows.empty() || result.rows[0][0] != "0")
      return StoreFailure(name_ + " holds rows already; nothing was imported");
    std::set<std::string> held;
    for (StoreRow row : rows) {
      if (HoldsSerial(row.state) && (row.serial.empty() || !held.insert(row.serial).second)) {
        row.state = SerialState::Failed;
        row.reason = "the serial passed earlier in the imported log; that row stands";
      }
      std::int64_t id = 0;
      if (!Insert(row, id, status)) return status;
    }
    return status;
  });
}

}  // namespace veltrane::station::store
