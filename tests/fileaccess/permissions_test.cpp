// SPDX-License-Identifier: MIT
// Permission bits: kept on replace; a read-only file or directory is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileaccess/replace_file.h"
#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::ReadFileText;
using veltrane::testing::TempDir;

TEST(Permissions, AReplacedFileKeepsItsBitsAndANewOneFollowsTheUmask) {
  TempDir dir;
  for (const mode_t mode : {0640, 0600, 0755, 0604}) {
    SCOPED_TRACE(mode);
    WriteText(dir.File("kept"), "old");
    ASSERT_EQ(::chmod(dir.File("kept").c_str(), mode), 0);
    ASSERT_TRUE(ReplaceFile(dir.File("kept"), std::string_view("new")));
    EXPECT_EQ(ModeOf(dir.File("kept")), static_cast<unsigned>(mode));
    EXPECT_EQ(ReadFileText(dir.File("kept")), "new");
  }
  const mode_t old = ::umask(027);
  const Status made = ReplaceFile(dir.File("made"), std::string_view("x"));
  ::umask(old);
  ASSERT_TRUE(made);
  EXPECT_EQ(ModeOf(dir.File("made")), 0640u);
}

TEST(Permissions, AFileItsOwnerMayNotWriteIsRefusedAlsoForRoot) {
  TempDir dir;
  WriteText(dir.File("ro.DAT"), "keep me");
  ASSERT_EQ(::chmod(dir.File("ro.DAT").c_str(), 0444), 0);
  const Status status = ReplaceFile(dir.File("ro.DAT"), std::string_view("lost"));
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, dir.File("ro.DAT") + " is read-only");
  EXPECT_EQ(ReadFileText(dir.File("ro.DAT")), "keep me");
  EXPECT_EQ(ModeOf(dir.File("ro.DAT")), 0444u);
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

TEST(Permissions, AReadOnlyDirectoryGivesTheSystemsReason) {
  if (::geteuid() == 0) GTEST_SKIP() << "directory permissions do not stop root";
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("ro").c_str(), 0755), 0);
  WriteText(dir.File("ro/x.DAT"), "keep me");
  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0555), 0);
  const Status status = ReplaceFile(dir.File("ro/x.DAT"), std::string_view("lost"));
  ::chmod(dir.File("ro").c_str(), 0755);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.reason, dir.File("ro/x.DAT") + ": Permission denied");
  EXPECT_EQ(ReadFileText(dir.File("ro/x.DAT")), "keep me");
}

}  // namespace
}  // namespace veltrane::fileaccess
