// SPDX-License-Identifier: MIT
#include "station/station_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "fileaccess/append_file.h"
#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"

namespace veltrane::station {
namespace {

std::string CsvField(std::string_view text) {
  std::string field;
  bool quote = !text.empty() && (text.front() == ' ' || text.back() == ' ');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      field += escaped;
      continue;
    }
    quote = quote || c == ',' || c == '"';
    if (c == '"') field += '"';
    field += c;
  }
  return quote ? '"' + field + '"' : field;
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

LogRow RowOfFields(const std::vector<std::string>& fields) {
  LogRow row;
  const auto field = [&](std::size_t k) { return k < fields.size() ? fields[k] : std::string(); };
  row.time = field(0);
  row.identity = field(1);
  row.version = field(2);
  row.serial = field(3);
  row.result = field(4);
  row.reason = field(5);
  row.seconds = std::strtod(field(6).c_str(), nullptr);
  row.station = field(7);
  return row;
}

// Cuts the file back to `size` bytes: a row a crash left half written.
fileaccess::Status CutBack(const std::string& path, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return fileaccess::SystemFailure(path, errno);
  const bool cut = ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  return cut ? fileaccess::Success() : fileaccess::SystemFailure(path, error);
}

}  // namespace

std::string IsoTime(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  const long minutes = local.tm_gmtoff / 60;
  const int magnitude = static_cast<int>((minutes < 0 ? -minutes : minutes) % (24 * 60));
  char zone[16];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", minutes < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return std::string(text) + zone;
}

LogRow LogRowOf(const StoreRow& row) {
  std::string result;
  switch (row.state) {
    case SerialState::Passed:
      result = "PASS";
      break;
    case SerialState::Failed:
      result = "FAIL";
      break;
    default:
      for (const char c : std::string(StateName(row.state))) result += static_cast<char>(c - 32);
  }
  return LogRow{row.endedAt.empty() ? row.reservedAt : row.endedAt,
                row.identity,
                row.version,
                row.serial,
                result,
                row.reason.empty() ? row.note : row.reason,
                row.seconds,
                row.station};
}

std::string FormatRow(const LogRow& row) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", row.seconds);
  return CsvField(row.time) + ',' + CsvField(row.identity) + ',' + CsvField(row.version) + ',' +
         CsvField(row.serial) + ',' + CsvField(row.result) + ',' + CsvField(row.reason) + ',' +
         seconds + ',' + CsvField(row.station) + '\n';
}

std::string FormatLog(const std::vector<StoreRow>& rows) {
  std::string text = std::string(kLogHeader) + '\n';
  for (const StoreRow& row : rows) text += FormatRow(LogRowOf(row));
  return text;
}

std::vector<std::string> SplitCsvLine(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t k = 0; k < line.size(); ++k) {
    const char c = line[k];
    if (quoted && c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
      fields.back() += '"';
      ++k;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

LogContents ReadLog(const std::string& path) {
  LogContents contents;
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kMaxLogBytes);
  if (file.error == fileaccess::ReadError::NotFound) return contents;
  if (!file.ok()) {
    contents.problem = file.reason;
    return contents;
  }
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  contents.size = text.size();
  if (text.empty()) return contents;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos && start > 0) break;  // cut off by a crash
    const std::string_view line =
        WithoutLineEnd(text.substr(start, std::min(end, text.size()) - start));
    if (start == 0 && line != kLogHeader && line != kOldLogHeader) {
      contents.problem =
          path + " is not a station log: its first line is not \"" + std::string(kLogHeader) + "\"";
      return contents;
    }
    if (start == 0)
      contents.oldHeader = line == kOldLogHeader;
    else if (!line.empty())
      contents.rows.push_back(RowOfFields(SplitCsvLine(line)));
    if (end == std::string_view::npos) break;
    start = end + 1;
    contents.wholeRows = start;
  }
  contents.hasHeader = true;
  return contents;
}

std::vector<StoreRow> ImportRows(const std::vector<LogRow>& rows, const std::string& from) {
  std::vector<StoreRow> imported;
  for (const LogRow& row : rows) {
    StoreRow stored;
    stored.serial = row.serial;
    stored.state = row.result == "PASS" ? SerialState::Passed : SerialState::Failed;
    stored.station = row.station.empty() ? "imported" : row.station;
    stored.run = "imported";
    stored.identity = row.identity;
    stored.version = row.version;
    stored.reservedAt = row.time;
    stored.endedAt = row.time;
    stored.reason = row.result == "PASS" || row.result == "FAIL"
                        ? row.reason
                        : row.reason + (row.reason.empty() ? "" : "; ") + "was " + row.result;
    stored.seconds = row.seconds;
    stored.note = "imported from " + from;
    imported.push_back(std::move(stored));
  }
  return imported;
}

fileaccess::Status StationLog::Open(const std::string& path, std::vector<LogRow>& rows) {
  path_ = path;
  // Writable before anything else: a new file is created here.
  fileaccess::Status status = fileaccess::AppendSynced(path, "");
  if (!status) return status;
  if (!(status = lock_.TryAcquire(path + ".lock"))) {
    if (status.error == EWOULDBLOCK)
      status.reason = path + " is the log of a station that is running now";
    return status;
  }
  LogContents contents = ReadLog(path);
  if (!contents.problem.empty()) return fileaccess::Status{false, contents.problem, 0};
  rows = std::move(contents.rows);
  if (!contents.hasHeader) return fileaccess::AppendSynced(path, std::string(kLogHeader) + '\n');
  if (contents.oldHeader) {
    std::string text = std::string(kLogHeader) + '\n';
    for (const LogRow& row : rows) text += FormatRow(row);
    return fileaccess::ReplaceFile(path, text);
  }
  if (contents.wholeRows == 0) return fileaccess::AppendSynced(path, "\n");  // the header's end
  if (contents.wholeRows < contents.size) return CutBack(path, contents.wholeRows);
  return status;
}

fileaccess::Status StationLog::Append(const LogRow& row) {
  return fileaccess::AppendSynced(path_, FormatRow(row));
}

}  // namespace veltrane::station
