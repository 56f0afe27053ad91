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

#include "fileaccess/replace_file.h"
#include "fileaccess/stale_temporaries.h"
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

TEST(Temporaries, OnlyStaleUnlockedTemporaryFilesAreRemoved) {
  TempDir dir;
  const std::time_t old = std::time(nullptr) - 120;
  const timespec times[2] = {{old, 0}, {old, 0}};
  for (const char* name :
       {".vtAbc123", ".vtFresh1", ".vtHeld12", ".vtAbc12", "x.vtAbc12", ".vt-bc123", "Board.DAT"}) {
    WriteText(dir.File(name), "x");
    if (std::string(name) != ".vtFresh1")  // a writer may be about to lock or rename that one
      ::utimensat(AT_FDCWD, dir.File(name).c_str(), times, 0);
  }
  const int held = ::open(dir.File(".vtHeld12").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);  // its writer is still at work
  ASSERT_EQ(::symlink("Board.DAT", dir.File(".vtLnk123").c_str()), 0);
  ::utimensat(AT_FDCWD, dir.File(".vtLnk123").c_str(), times, AT_SYMLINK_NOFOLLOW);

  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);
  EXPECT_FALSE(fs::exists(dir.File(".vtAbc123")));
  EXPECT_EQ(EntryCount(dir.path()), 7);
  ::close(held);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);  // now its writer is gone
  EXPECT_EQ(RemoveStaleTemporaries(dir.File("missing")), 0);
}

}  // namespace
}  // namespace veltrane::fileaccess
