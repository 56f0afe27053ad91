#include "fileaccess/file_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::TempDir;

TEST(FileLock, ASecondHolderWaitsUntilTheFirstReleases) {
  TempDir dir;
  const std::string path = dir.File("kb.sim.lock");
  FileLock first;
  ASSERT_TRUE(first.Acquire(path));
  EXPECT_EQ(ModeOf(path) & 0600, 0600);
  std::atomic<bool> acquired = false;
  std::thread second([&] {
    FileLock lock;  // a separate open file description: flock sees two holders
    EXPECT_TRUE(lock.Acquire(path));
    acquired = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(acquired);
  first.Release();
  second.join();
  EXPECT_TRUE(acquired);
}

TEST(FileLock, AMissingDirectoryOrALinkIsRefusedWithAReason) {
  TempDir dir;
  FileLock lock;
  const Status missing = lock.Acquire(dir.File("nodir/x.lock"));
  EXPECT_EQ(missing.reason, dir.File("nodir/x.lock") + ": No such file or directory");
  EXPECT_FALSE(lock.Held());
  ASSERT_EQ(::symlink("elsewhere", dir.File("l.lock").c_str()), 0);
  EXPECT_FALSE(lock.Acquire(dir.File("l.lock")));
  EXPECT_FALSE(lock.Held());
}

}  // namespace
}  // namespace veltrane::fileaccess
