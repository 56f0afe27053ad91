// SPDX-License-Identifier: MIT
// Temporary files of a replacement: none left by a writer cut short, and
// those of an older program removed at the next start.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <vector>

#include "fileaccess/replace_file.h"
#include "fileaccess/stale_temporaries.h"
#include "fileaccess/temporary_name.h"
#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::ReadFileText;
using veltrane::testing::TempDir;

bool HasUnnamedFiles(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

TEST(Temporaries, AWriterKilledWhileWritingLeavesNoFileBehind) {
  TempDir dir;
  if (!HasUnnamedFiles(dir.path())) GTEST_SKIP() << "no unnamed files on this file system";
  WriteText(dir.File("keep.DAT"), "old");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The write past 100 bytes kills the process, as a crash in mid-save would.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit small{100, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_DFL);
    ReplaceFile(dir.File("keep.DAT"), std::string(20628, 'x'));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(ReadFileText(dir.File("keep.DAT")), "old");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

void MakeOld(const std::string& path) {
  const std::time_t old = std::time(nullptr) - 2 * 3600;
  const timespec times[2] = {{old, 0}, {old, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

TEST(Temporaries, NamesCarryTheTargetAndAMarkThatUsersNamesLack) {
  const std::string name = TemporaryNameFor("Board.DAT");
  EXPECT_TRUE(name.starts_with(".Board.DAT.veltrane-")) << name;
  EXPECT_TRUE(name.ends_with(".tmp")) << name;
  EXPECT_EQ(name.size(), std::string(".Board.DAT.veltrane-123456789012.tmp").size());
  EXPECT_TRUE(IsTemporaryName(name));
  EXPECT_NE(TemporaryNameFor("Board.DAT"), name);
  std::string forged = name;
  forged[forged.size() - 5] = forged[forged.size() - 5] == 'A' ? 'B' : 'A';  // a check character
  EXPECT_FALSE(IsTemporaryName(forged));
  std::string otherTarget = name;
  otherTarget[1] = 'C';  // ".Coard.DAT...": the mark covers the target's name
  EXPECT_FALSE(IsTemporaryName(otherTarget));
  // Names with a part of the mark but not the whole of it.
  for (const char* user : {".Board.DAT.veltrane-.tmp", ".veltrane-123456789012.tmp"})
    EXPECT_FALSE(IsTemporaryName(user)) << user;
  // A long name is cut on a character boundary so that the temporary name stays a valid name.
  const std::string longName = std::string(227, 'x') + "\xc3\xa9.DAT";
  const std::string shortened = TemporaryNameFor(longName);
  EXPECT_LE(shortened.size(), 255u);
  EXPECT_TRUE(shortened.starts_with("." + std::string(227, 'x') + ".veltrane-")) << shortened;
  EXPECT_TRUE(IsTemporaryName(shortened));
}

TEST(Temporaries, OnlyTheProgramsOwnStaleUnlockedTemporaryFilesAreRemoved) {
  TempDir dir;
  const std::string left = TemporaryNameFor("Board.DAT");
  const std::string fresh = TemporaryNameFor("Board.DAT");
  const std::string held = TemporaryNameFor("Other.DAT");
  // Users' own files, however much they look like temporaries, and two hours old.
  const std::vector<std::string> users = {".vtnotes1", ".vtABCDEF", ".NAME.tmp", ".vtAbc123",
                                          "Board.DAT"};
  for (const std::string& name : users) WriteText(dir.File(name), "mine");
  for (const std::string& name : {left, fresh, held}) WriteText(dir.File(name), "x");
  for (const std::string& name : users) MakeOld(dir.File(name));
  MakeOld(dir.File(left));
  MakeOld(dir.File(held));  // `fresh` may be about to be locked or renamed by its writer
  const int holder = ::open(dir.File(held).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);  // its writer is still at work
  const std::string link = TemporaryNameFor("Board.DAT");
  ASSERT_EQ(::symlink("Board.DAT", dir.File(link).c_str()), 0);
  MakeOld(dir.File(link));

  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);
  EXPECT_FALSE(fs::exists(dir.File(left)));
  for (const std::string& name : users) EXPECT_EQ(ReadFileText(dir.File(name)), "mine") << name;
  EXPECT_EQ(EntryCount(dir.path()), 8);
  ::close(holder);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);  // now its writer is gone
  EXPECT_EQ(RemoveStaleTemporaries(dir.File("missing")), 0);
}

}  // namespace
}  // namespace veltrane::fileaccess
