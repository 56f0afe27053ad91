// SPDX-License-Identifier: MIT
// The station's CSV log: a view of its store, one row per keyboard appended
// and synced once the keyboard's result is committed. A log from before the
// store (without the station column) is read for its rows, so that they can be
// imported into a new store, and is rewritten with the station column.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/file_lock.h"
#include "fileaccess/status.h"
#include "station/station_store.h"

namespace veltrane::station {

inline constexpr std::string_view kLogHeader =
    "time,identity,version,serial,result,reason,seconds,station";
inline constexpr std::string_view kOldLogHeader =
    "time,identity,version,serial,result,reason,seconds";
inline constexpr std::size_t kMaxLogBytes = std::size_t{256} << 20;

struct LogRow {
  std::string time;  // ISO time of the result
  std::string identity;
  std::string version;
  std::string serial;  // empty for a keyboard refused before it got one
  std::string result;  // PASS, FAIL; a whole record also RESERVED, RELEASED, REPLACED
  std::string reason;  // why it failed, or how it was resolved
  double seconds = 0;
  std::string station;
};

// "2025-03-01T14:05:09+01:00": local time with its offset.
std::string IsoTime(std::chrono::system_clock::time_point when);

// A store row as the log shows it.
LogRow LogRowOf(const StoreRow& row);

// One line with its line end. Control characters are written as \xNN; a
// field with a comma, a quote or a space at an end is quoted.
std::string FormatRow(const LogRow& row);

// The fields of one CSV line; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsvLine(std::string_view line);

// What a log already holds.
struct LogContents {
  std::vector<LogRow> rows;
  bool hasHeader = false;     // false for a missing or empty file
  bool oldHeader = false;     // written before the station column
  std::size_t wholeRows = 0;  // bytes up to the end of the last complete line
  std::size_t size = 0;
  std::string problem;  // why the file cannot be the log; empty when it can
};

LogContents ReadLog(const std::string& path);

// The rows of a log as a store imports them.
std::vector<StoreRow> ImportRows(const std::vector<LogRow>& rows, const std::string& from);

class StationLog {
 public:
  // Takes the log for this run: refused while another station has it (the
  // lock is PATH + ".lock"), or when it cannot be appended to or is not a
  // station log. Writes the header to a new or empty file, cuts back a row a
  // crash left half written (its keyboard is in the store), and rewrites a
  // log from before with the station column. `rows` receives what it held.
  fileaccess::Status Open(const std::string& path, std::vector<LogRow>& rows);
  fileaccess::Status Append(const LogRow& row);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  fileaccess::FileLock lock_;
};

// The whole record as a log: the header and one row per store row.
std::string FormatLog(const std::vector<StoreRow>& rows);

}  // namespace veltrane::station
