// SPDX-License-Identifier: MIT
#include "station/store/postgres_connection.h"

#include <libpq-fe.h>

#include <cstring>

namespace veltrane::station::store {
namespace {

// libpq's messages end in a line feed and may run over several lines.
std::string OneLine(const char* message) {
  std::string text = message != nullptr ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text)
    if (c == '\n' || c == '\t') c = ' ';
  return text;
}

void Quiet(void*, const PGresult*) {
}  // notices (such as "already exists, skipping") are not errors

}  // namespace

std::unique_ptr<PostgresConnection> PostgresConnection::Open(const std::string& conninfo,
                                                             std::string& error) {
  PGconn* connection = PQconnectdb(conninfo.c_str());
  if (connection == nullptr || PQstatus(connection) != CONNECTION_OK) {
    error = OneLine(connection != nullptr ? PQerrorMessage(connection) : "out of memory");
    PQfinish(connection);
    return nullptr;
  }
  PQsetNoticeReceiver(connection, Quiet, nullptr);
  return std::unique_ptr<PostgresConnection>(new PostgresConnection(connection));
}

PostgresConnection::~PostgresConnection() {
  PQfinish(connection_);
}

bool PostgresConnection::Reconnect() {
  PQreset(connection_);
  return PQstatus(connection_) == CONNECTION_OK;
}

SqlResult PostgresConnection::Run(const std::string& sql, const std::vector<std::string>& params) {
  std::vector<const char*> values;
  for (const std::string& param : params) values.push_back(param.c_str());
  // Without parameters several statements may go in one round trip.
  PGresult* answer = values.empty()
                         ? PQexec(connection_, sql.c_str())
                         : PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()),
                                        nullptr, values.data(), nullptr, nullptr, 0);
  SqlResult result;
  const ExecStatusType status = PQresultStatus(answer);
  if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
    for (int r = 0; r < PQntuples(answer); ++r) {
      std::vector<std::string>& row = result.rows.emplace_back();
      for (int c = 0; c < PQnfields(answer); ++c) row.emplace_back(PQgetvalue(answer, r, c));
    }
  } else {
    const char* state = PQresultErrorField(answer, PG_DIAG_SQLSTATE);
    result.error =
        OneLine(answer != nullptr ? PQresultErrorMessage(answer) : PQerrorMessage(connection_));
    if (result.error.empty()) result.error = OneLine(PQerrorMessage(connection_));
    if (PQstatus(connection_) != CONNECTION_OK)
      result.failure = SqlFailure::Lost;
    else if (state != nullptr && std::strncmp(state, "23", 2) == 0)
      result.failure = SqlFailure::Constraint;
    else
      result.failure = SqlFailure::Other;
  }
  PQclear(answer);
  return result;
}

}  // namespace veltrane::station::store
