#include "ui/app/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(LogFile, APlantedLinkOrFifoIsLeftAloneAndTheReasonKept) {
  testing::TempDir dir;
  const std::string path = dir.File("vtlog.txt");
  std::ofstream(dir.File("victim")) << "precious";
  ASSERT_EQ(::symlink(dir.File("victim").c_str(), path.c_str()), 0);
  LogFile log;
  EXPECT_FALSE(log.Open(path, 0));
  EXPECT_EQ(log.LastError(), path + " is a symbolic link, not a regular file");
  log.Write("lost\n");
  EXPECT_EQ(ReadFileText(dir.File("victim")), "precious");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  EXPECT_FALSE(log.Open(path, 0));  // returns at once: nobody reads the FIFO
  EXPECT_EQ(log.LastError(), path + " is a FIFO, not a regular file");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_TRUE(log.Open(path, 0));
  EXPECT_EQ(log.LastError(), "");
}

}  // namespace
}  // namespace veltrane::ui
