#include "station/station_log.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "fileaccess/append_file.h"
#include "fileaccess/read_file.h"

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

std::string FormatRow(const LogRow& row) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", row.seconds);
  return IsoTime(row.time) + ',' + CsvField(row.identity) + ',' + CsvField(row.version) + ',' +
         CsvField(row.serial) + ',' + (row.passed ? "PASS" : "FAIL") + ',' + CsvField(row.reason) +
         ',' + seconds + '\n';
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
  if (text.empty()) return contents;
  contents.endsLine = text.back() == '\n';
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = WithoutLineEnd(text.substr(start, end - start));
    if (start == 0 && line != kLogHeader) {
      contents.problem =
          path + " is not a station log: its first line is not \"" + std::string(kLogHeader) + "\"";
      return contents;
    }
    const std::vector<std::string> fields = SplitCsvLine(line);
    if (start > 0 && fields.size() >= 5 && fields[4] == "PASS") contents.passed.insert(fields[3]);
    start = end + 1;
  }
  contents.hasHeader = true;
  return contents;
}

fileaccess::Status StationLog::Open(const std::string& path, std::set<std::string>& passed) {
  path_ = path;
  // Writable before anything else: a new file is created here.
  fileaccess::Status status = fileaccess::AppendSynced(path, "");
  if (!status) return status;
  if (!(status = lock_.TryAcquire(path + ".lock"))) {
    if (status.error == EWOULDBLOCK)
      status.reason = path + " is the log of a station that is running now";
    return status;
  }
  const LogContents contents = ReadLog(path);
  if (!contents.problem.empty()) return fileaccess::Status{false, contents.problem, 0};
  passed = contents.passed;
  if (!contents.hasHeader) return fileaccess::AppendSynced(path, std::string(kLogHeader) + '\n');
  if (!contents.endsLine) return fileaccess::AppendSynced(path, "\n");
  return status;
}

fileaccess::Status StationLog::Append(const LogRow& row) {
  return fileaccess::AppendSynced(path_, FormatRow(row));
}

}  // namespace veltrane::station
