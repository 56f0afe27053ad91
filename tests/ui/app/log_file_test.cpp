// SPDX-License-Identifier: MIT
#include "ui/app/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/files.h"
#include "support/temp_dir.h"

namespace veltrane::ui {
namespace {

using testing::ReadFileText;

TEST(LogFile, OpensWithThreeLinesAndKeepsTextAsWritten) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  {
    LogFile log;
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 6;
    when.tm_min = 34;
    when.tm_sec = 58;
    when.tm_isdst = -1;
    ASSERT_TRUE(log.Open(path, std::mktime(&when)));
    model::LogPrintf(&log, "Setting up\n");
    model::LogPrintf(&log, "Inserting key %d,%d [%d,%d] at %d -", 0, 1, 0, 0, 2);
  }
  EXPECT_EQ(ReadFileText(path), path +
                                    " \nStarted at Tue Dec 08 06:34:58 2026\n \nSetting up\n"
                                    "Inserting key 0,1 [0,0] at 2 -");
}

TEST(LogFile, EveryLineIsInTheFileWhileTheLogIsOpen) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  LogFile log;
  ASSERT_TRUE(log.Open(path, 0));
  model::LogPrintf(&log, "Setting up\n");
  model::LogPrintf(&log, "String: %d at %d,%d\n", 3, 1, 2);
  const std::string text = ReadFileText(path);
  EXPECT_TRUE(text.ends_with(" \nSetting up\nString: 3 at 1,2\n")) << text;
}

TEST(LogFile, ReopeningReplacesTheEarlierLog) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  {
    LogFile log;
    log.Open(path, 0);
    log.Write(std::string(1000, 'x'));
  }
  LogFile log;
  log.Open(path, 0);
  log.Close();
  EXPECT_EQ(ReadFileText(path).find("xxxxxxxx"), std::string::npos);
}

TEST(LogFile, WritingToALogThatDidNotOpenIsHarmless) {
  LogFile log;
  EXPECT_FALSE(log.Open("/nonexistent-dir/vtlog.txt", 0));
  log.Write("lost\n");
  model::LogPrintf(&log, "%d\n", 5);
  model::LogPrintf(nullptr, "%d\n", 5);
  EXPECT_FALSE(log.IsOpen());
}

TEST(LogFile, APlantedLinkIsReplacedAndAFifoLeftAloneWithTheReasonKept) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  std::ofstream(dir.File("victim")) << "precious";
  ASSERT_EQ(::symlink(dir.File("victim").c_str(), path.c_str()), 0);
  LogFile log;
  EXPECT_TRUE(log.Open(path, 0));
  log.Write("kept\n");
  log.Close();
  EXPECT_EQ(ReadFileText(dir.File("victim")), "precious");
  EXPECT_TRUE(ReadFileText(path).ends_with("kept\n"));
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  EXPECT_FALSE(log.Open(path, 0));  // returns at once: nobody reads the FIFO
  EXPECT_EQ(log.LastError(), path + " is a FIFO, not a regular file");
  log.Write("lost\n");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_TRUE(log.Open(path, 0));
  EXPECT_EQ(log.LastError(), "");
}

// A second run in the same place begins its own log; the first one's lines go
// on into its own file and never leave a hole of NUL bytes in the new one.
TEST(LogFile, ASecondRunNeitherEmptiesNorHolesTheFirstRunsLog) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  LogFile first;
  ASSERT_TRUE(first.Open(path, 0));
  first.Write(std::string(4000, 'a') + "\n");
  std::ofstream(dir.File("copy-before")) << ReadFileText(path);
  ASSERT_EQ(::link(path.c_str(), dir.File("first.txt").c_str()), 0);  // to find it again
  LogFile second;
  ASSERT_TRUE(second.Open(path, 0));
  first.Write("first again\n");
  second.Write("second\n");
  first.Close();
  second.Close();
  const std::string firstLog = ReadFileText(dir.File("first.txt"));
  EXPECT_EQ(firstLog, ReadFileText(dir.File("copy-before")) + "first again\n");
  const std::string secondLog = ReadFileText(path);
  EXPECT_EQ(secondLog.find('\0'), std::string::npos);
  EXPECT_TRUE(secondLog.ends_with(" \nsecond\n")) << secondLog;
  EXPECT_EQ(secondLog.find("first again"), std::string::npos);
}

// A log the user named is taken as the shell's ">" takes it; the program's
// own log never writes through a name, and never replaces a device's.
TEST(LogFile, ANamedLogIsFollowedAndADeviceIsWrittenOnlyThere) {
  LogFile log;
  EXPECT_FALSE(log.Open("/dev/null", 0));
  EXPECT_EQ(log.LastError(), "/dev/null is a character device, not a regular file");
  EXPECT_TRUE(log.Open("/dev/null", 0, true));
  log.Write("gone\n");
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const std::string writeEnd = "/proc/self/fd/" + std::to_string(pipe[1]);
  EXPECT_FALSE(log.Open(writeEnd, 0));       // a link to a pipe: never renamed over
  EXPECT_TRUE(log.Open(writeEnd, 0, true));  // as "veltrane-cli --log /dev/stderr" into a pipe
  log.Write("through the pipe\n");
  log.Close();
  ::close(pipe[1]);
  char text[256] = {};
  EXPECT_GT(::read(pipe[0], text, sizeof text - 1), 0);
  ::close(pipe[0]);
  EXPECT_NE(std::string(text).find("through the pipe\n"), std::string::npos);
  testing::TempDir dir;
  std::ofstream(dir.File("target.txt")) << "old text";
  ASSERT_EQ(::symlink("target.txt", dir.File("link.txt").c_str()), 0);
  EXPECT_TRUE(log.Open(dir.File("link.txt"), 0, true));
  log.Write("new\n");
  log.Close();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_TRUE(ReadFileText(dir.File("target.txt")).ends_with(" \nnew\n"));
  EXPECT_EQ(ReadFileText(dir.File("target.txt")).find("old text"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::lstat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
}  // namespace veltrane::ui
