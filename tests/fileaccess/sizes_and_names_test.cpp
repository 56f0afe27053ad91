// SPDX-License-Identifier: MIT
// Sizes and names: bounded reads, long names, failed writes that leave the old file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <vector>

#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::ReadFileText;
using veltrane::testing::TempDir;

TEST(Sizes, AHugeFileIsRefusedAfterReadingOneByteMoreThanTheLimit) {
  TempDir dir;
  const std::string path = dir.File("huge.DAT");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 100 * 1024 * 1024), 0);
  ::close(fd);
  const ReadResult read = ReadFile(path, 20628);
  EXPECT_EQ(read.error, ReadError::TooLarge);
  EXPECT_EQ(read.reason, path + " is larger than 20628 bytes");
  EXPECT_EQ(read.bytes.size(), 20629u);
}

TEST(Sizes, AFileOfExactlyTheLimitIsReadWhole) {
  TempDir dir;
  const std::vector<std::uint8_t> bytes(70000, 0xA5);  // more than one read
  ASSERT_TRUE(ReplaceFile(dir.File("f"), bytes));
  const ReadResult read = ReadFile(dir.File("f"), 70000);
  EXPECT_TRUE(read.ok()) << read.reason;
  EXPECT_EQ(read.bytes, bytes);
  EXPECT_EQ(ReadFile(dir.File("f"), 69999).error, ReadError::TooLarge);
  const ReadResult missing = ReadFile(dir.File("none.DAT"), 10);
  EXPECT_EQ(missing.error, ReadError::NotFound);
  EXPECT_EQ(missing.reason, dir.File("none.DAT") + ": No such file or directory");
}

TEST(Names, TheLongestNameTheFileSystemTakesCanBeWritten) {
  TempDir dir;
  const std::string longest = dir.File(std::string(251, 'n') + ".DAT");
  const Status status = ReplaceFile(longest, std::string_view("long"));
  ASSERT_TRUE(status) << status.reason;
  EXPECT_EQ(ReadFileText(longest), "long");
  ASSERT_TRUE(ReplaceFile(longest, std::string_view("again")));
  EXPECT_EQ(ReadFileText(longest), "again");
  const std::string tooLong = dir.File(std::string(256, 'n'));
  EXPECT_EQ(ReplaceFile(tooLong, std::string_view("x")).reason, tooLong + ": File name too long");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

TEST(Names, AMissingDirectoryOrNoNameGivesTheReason) {
  TempDir dir;
  const Status missing = ReplaceFile(dir.File("nodir/out.txt"), std::string_view("x"));
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.reason, dir.File("nodir/out.txt") + ": No such file or directory");
  EXPECT_EQ(missing.error, ENOENT);
  EXPECT_FALSE(ReplaceFile("", std::string_view("x")));
  EXPECT_FALSE(ReplaceFile(dir.File("nodir/"), std::string_view("x")));
}

TEST(FailedWrites, LeaveTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  WriteText(dir.File("keep.DAT"), "old");
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 100;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Status status = ReplaceFile(dir.File("keep.DAT"), std::string(1000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, dir.File("keep.DAT") + ": File too large");
  EXPECT_EQ(ReadFileText(dir.File("keep.DAT")), "old");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

}  // namespace
}  // namespace veltrane::fileaccess
