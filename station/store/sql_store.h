// SPDX-License-Identifier: MIT
// The station store over one SQL connection: the schema, the transactions and
// the queries, written once for SQLite and PostgreSQL. Each call is one
// transaction; calls from several threads take turns on the connection.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "station/station_store.h"
#include "station/store/sql_connection.h"

namespace veltrane::station::store {

inline constexpr const char* kSchemaVersion = "1";

class SqlStore final : public StationStore {
 public:
  SqlStore(std::unique_ptr<SqlConnection> connection, std::string name);

  // Makes the schema in a new store, or checks the version of an existing one.
  StoreStatus Prepare();

  std::string Name() const override { return name_; }
  StoreStatus IsEmpty(bool& empty) override;
  StoreStatus Reserve(const ReservationRequest& request, Reservation& out) override;
  StoreStatus NextFree(const SerialSequence& sequence, std::string& serial) override;
  StoreStatus Finish(const Outcome& outcome) override;
  StoreStatus RecordRefused(const StoreRow& row) override;
  StoreStatus Holder(const std::string& serial, StoreRow& row, bool& found) override;
  StoreStatus Reservations(std::vector<StoreRow>& rows) override;
  StoreStatus Release(const std::string& serial, const std::string& endedAt,
                      const std::string& note) override;
  StoreStatus Rows(std::int64_t afterId, std::vector<StoreRow>& rows) override;
  StoreStatus Import(const std::vector<StoreRow>& rows) override;

 private:
  // Runs the statement; a failure becomes `failure` (with the store's name).
  bool Run(const std::string& sql, const std::vector<std::string>& params, SqlResult& result,
           StoreStatus& failure);
  // `body` inside one transaction that no other station's write overlaps.
  // Synced: on the disk before it is reported. A result need not be: lost to a
  // power cut, its reservation stays, and its keyboard resolves it when read.
  template <typename Body>
  StoreStatus InTransaction(Body body, bool synced = true);
  template <typename Body>
  StoreStatus Locked(Body body);
  bool FirstFree(const SerialSequence& sequence, std::string& serial, StoreStatus& failure);
  bool Insert(const StoreRow& row, std::int64_t& id, StoreStatus& failure);
  bool Select(const std::string& where, const std::vector<std::string>& params,
              std::vector<StoreRow>& rows, StoreStatus& failure);

  std::unique_ptr<SqlConnection> connection_;
  std::string name_;
  std::mutex mutex_;
  bool lost_ = false;  // the connection went away: reconnect before the next call
};

}  // namespace veltrane::station::store
