// SPDX-License-Identifier: MIT
// The station's CSV log: rows as a spreadsheet reads them, and what a
// restart learns from an existing file.
#include "station/station_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::station {
namespace {

using veltrane::testing::ReadFileText;

class InZone {
 public:
  explicit InZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~InZone() {
    ::unsetenv("TZ");
    ::tzset();
  }
};

TEST(StationLog, IsoTimesCarryTheirOffset) {
  const auto when = std::chrono::system_clock::from_time_t(1735787045);
  {
    const InZone utc("UTC");
    EXPECT_EQ(IsoTime(when), "2025-01-02T03:04:05+00:00");
  }
  {
    const InZone india("IST-5:30");
    EXPECT_EQ(IsoTime(when), "2025-01-02T08:34:05+05:30");
  }
  const InZone west("XST+3");
  EXPECT_EQ(IsoTime(when), "2025-01-02T00:04:05-03:00");
}

TEST(StationLog, FieldsAreQuotedAndEscapedAndSplitBack) {
  const InZone utc("UTC");
  LogRow row{IsoTime(std::chrono::system_clock::from_time_t(1735787045)),
             "/dev/hidraw3 port 1-1.4",
             "V0527X \"Pro\", rev\nB",
             "SN,1",
             "FAIL",
             "programming: Setfeature returned: 19 No such device",
             12.345,
             "line 1"};
  const std::string line = FormatRow(row);
  EXPECT_EQ(line,
            "2025-01-02T03:04:05+00:00,/dev/hidraw3 port 1-1.4,\"V0527X \"\"Pro\"\", rev\\x0AB\","
            "\"SN,1\",FAIL,programming: Setfeature returned: 19 No such device,12.35,line 1\n");
  const std::vector<std::string> fields = SplitCsvLine(line.substr(0, line.size() - 1));
  ASSERT_EQ(fields.size(), 8u);
  EXPECT_EQ(fields[2], "V0527X \"Pro\", rev\\x0AB");
  EXPECT_EQ(fields[3], "SN,1");
  row.serial = " padded ";
  EXPECT_NE(FormatRow(row).find(",\" padded \","), std::string::npos);
}

TEST(StationLog, AnEmptyFileGetsItsHeader) {
  veltrane::testing::TempDir dir;
  std::ofstream(dir.File("empty.csv")).flush();
  std::vector<LogRow> rows;
  StationLog empty;
  ASSERT_TRUE(empty.Open(dir.File("empty.csv"), rows));
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(ReadFileText(dir.File("empty.csv")), std::string(kLogHeader) + "\n");
}

}  // namespace
}  // namespace veltrane::station
