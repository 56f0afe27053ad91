// SPDX-License-Identifier: MIT
// Appending synced records: created when missing, refused on what is not a
// file, and never left with part of a record.
#include "fileaccess/append_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using testing::WriteText;
using veltrane::testing::ReadFileText;

TEST(AppendSynced, CreatesThenAppendsAndFollowsALink) {
  veltrane::testing::TempDir dir;
  const std::string log = dir.File("log.csv");
  EXPECT_TRUE(AppendSynced(log, ""));  // a check that creates the file
  EXPECT_TRUE(std::filesystem::exists(log));
  EXPECT_TRUE(AppendSynced(log, "head\n"));
  ASSERT_EQ(::symlink("log.csv", dir.File("link.csv").c_str()), 0);
  EXPECT_TRUE(AppendSynced(dir.File("link.csv"), "row\n"));
  EXPECT_EQ(ReadFileText(log), "head\nrow\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.csv")));
}

TEST(AppendSynced, RefusesWhatIsNotAFileAndADirectoryThatIsNotThere) {
  veltrane::testing::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  EXPECT_EQ(AppendSynced(dir.File("fifo"), "x\n").reason,
            dir.File("fifo") + " is a FIFO, not a regular file");
  EXPECT_EQ(AppendSynced(dir.path(), "x\n").reason,
            dir.path() + " is a directory, not a regular file");
  const Status missing = AppendSynced(dir.File("no/log.csv"), "x\n");
  EXPECT_EQ(missing.reason, dir.File("no/log.csv") + ": No such file or directory");
  WriteText(dir.File("plain"), "");
  EXPECT_EQ(AppendSynced(dir.File("plain/log.csv"), "x\n").error, ENOTDIR);
}

// A file size limit makes the write stop part way, as a full disk does.
TEST(AppendSynced, AWriteThatStopsPartWayLeavesNothingOfTheRecord) {
  veltrane::testing::TempDir dir;
  const std::string log = dir.File("log.csv");
  WriteText(log, "head\n");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 10;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Status status = AppendSynced(log, "a row longer than the limit\n");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.error, EFBIG);
  EXPECT_EQ(ReadFileText(log), "head\n");
}

}  // namespace
}  // namespace veltrane::fileaccess
