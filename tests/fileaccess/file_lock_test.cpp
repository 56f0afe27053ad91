// SPDX-License-Identifier: MIT
// Locks on companion files: one holder at a time, and no file left once the
// last holder has let go.
#include "fileaccess/file_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

namespace fs = std::filesystem;

TEST(FileLock, TheLockFileIsGoneOnceReleasedAlsoWhenARunLeftOne) {
  veltrane::testing::TempDir dir;
  const std::string path = dir.File("kb.sim.lock");
  {
    FileLock lock;
    ASSERT_TRUE(lock.Acquire(path));
    EXPECT_TRUE(fs::exists(path));
    FileLock other;
    EXPECT_EQ(other.TryAcquire(path).error, EWOULDBLOCK);
  }
  EXPECT_FALSE(fs::exists(path));
  std::ofstream(path) << "";  // left by a run that was killed
  FileLock lock;
  ASSERT_TRUE(lock.TryAcquire(path));
  lock.Release();
  EXPECT_FALSE(fs::exists(path));
}

// Holders that come and go while others wait never hold at the same time,
// also when the file a waiter opened was removed before it won it.
TEST(FileLock, OneHolderAtATimeWhileTheFileComesAndGoes) {
  veltrane::testing::TempDir dir;
  const std::string path = dir.File("station.csv.lock");
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  int count = 0;  // guarded by the lock alone
  std::vector<std::thread> holders;
  for (int t = 0; t < 4; ++t) {
    holders.emplace_back([&] {
      for (int n = 0; n < 200; ++n) {
        FileLock lock;
        if (!lock.Acquire(path)) continue;
        if (inside.fetch_add(1) != 0) ++overlaps;
        ++count;
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& holder : holders) holder.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(count, 800);
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace veltrane::fileaccess
