// The station's record: one CSV row per keyboard, appended and synced as
// each keyboard ends, so that a restart knows every serial that passed.
#pragma once

#include <chrono>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/file_lock.h"
#include "fileaccess/status.h"

namespace veltrane::station {

inline constexpr std::string_view kLogHeader = "time,identity,version,serial,result,reason,seconds";
inline constexpr std::size_t kMaxLogBytes = std::size_t{256} << 20;

struct LogRow {
  std::chrono::system_clock::time_point time;  // when the keyboard ended
  std::string identity;
  std::string version;
  std::string serial;  // empty for a keyboard refused before it got one
  bool passed = false;
  std::string reason;  // why it failed; empty for PASS
  double seconds = 0;
};

// "2025-03-01T14:05:09+01:00": local time with its offset.
std::string IsoTime(std::chrono::system_clock::time_point when);

// One line with its line end. Control characters are written as \xNN; a
// field with a comma, a quote or a space at an end is quoted.
std::string FormatRow(const LogRow& row);

// The fields of one CSV line; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsvLine(std::string_view line);

// What a log already holds.
struct LogContents {
  std::set<std::string> passed;  // serials of PASS rows
  bool hasHeader = false;        // false for a missing or empty file
  bool endsLine = true;          // false when a write was cut off in the middle of a row
  std::string problem;           // why the file cannot be the log; empty when it can
};

LogContents ReadLog(const std::string& path);

class StationLog {
 public:
  // Takes the log for this run: refused while another station has it (the
  // lock is PATH + ".lock"), or when it cannot be appended to or is not a
  // station log. Writes the header to a new or empty file, and ends a row a
  // crash cut short so that the next row starts on its own line.
  fileaccess::Status Open(const std::string& path, std::set<std::string>& passed);
  fileaccess::Status Append(const LogRow& row);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  fileaccess::FileLock lock_;
};

}  // namespace veltrane::station
