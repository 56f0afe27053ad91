// SPDX-License-Identifier: MIT
// Devices, FIFOs and directories: never read, never replaced by a regular file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
#include "fileaccess/streams.h"
#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::TempDir;

TEST(DeviceNodes, AreRefusedForReadingAndReplacingAndStayDevices) {
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    SCOPED_TRACE(device);
    const ReadResult read = ReadFile(device, 8192);
    EXPECT_EQ(read.error, ReadError::NotRegular);
    EXPECT_EQ(read.reason, std::string(device) + " is a character device, not a regular file");
    EXPECT_TRUE(read.bytes.empty());
    const Status replaced = ReplaceFile(device, std::string_view("report"));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(replaced.reason, std::string(device) + " is a character device, not a regular file");
    EXPECT_TRUE(fs::is_character_file(device));
  }
}

TEST(DeviceNodes, ALogNamedLikeADeviceIsLeftAloneAndATraceMayGoThere) {
  const OpenedStream log = OpenLogFile("/dev/null");
  EXPECT_EQ(log.file, nullptr);
  EXPECT_EQ(log.reason, "/dev/null is a character device, not a regular file");
  const OpenedStream trace = OpenAppendFile("/dev/null");
  ASSERT_NE(trace.file, nullptr) << trace.reason;
  std::fclose(trace.file);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(Fifos, AreRefusedAtOnceForEveryUse) {
  TempDir dir;
  const std::string fifo = dir.File("x.DAT");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const ReadResult read = ReadFile(fifo, 20628);
  EXPECT_EQ(read.error, ReadError::NotRegular);
  EXPECT_EQ(read.reason, fifo + " is a FIFO, not a regular file");
  EXPECT_EQ(ReplaceFile(fifo, std::string_view("x")).reason,
            fifo + " is a FIFO, not a regular file");
  const OpenedStream log = OpenLogFile(fifo);  // no reader: without O_NONBLOCK this would hang
  EXPECT_EQ(log.file, nullptr);
  EXPECT_EQ(log.reason, fifo + " is a FIFO, not a regular file");
  EXPECT_EQ(OpenAppendFile(fifo).file, nullptr);
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(Directories, AreNeitherReadNorReplaced) {
  TempDir dir;
  const std::string sub = dir.File("out.DAT");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  EXPECT_EQ(ReadFile(sub, 100).reason, sub + " is a directory, not a regular file");
  EXPECT_EQ(ReplaceFile(sub, std::string_view("x")).reason,
            sub + " is a directory, not a regular file");
  EXPECT_EQ(OpenLogFile(sub).reason, sub + " is a directory, not a regular file");
  EXPECT_EQ(EntryCount(sub), 0);
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

}  // namespace
}  // namespace veltrane::fileaccess
