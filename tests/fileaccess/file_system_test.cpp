// SPDX-License-Identifier: MIT
#include "fileaccess/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using Names = std::vector<std::string>;

TEST(FileSystemPlaces, RootHomeAndVolumesFromTheMountsTable) {
  const std::string mounts =
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
      "/dev/sdc1 /mnt ext4 rw 0 0\n"
      "/dev/sdd1 /mediastore ext4 rw 0 0\n"
      "/dev/sde1 /run/media/u/DISK ext4 rw 0 0\n"
      "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
      "broken-line";
  EXPECT_EQ(StartPlaces("/home/u", mounts),
            (Names{"/", "/home/u", "/media/u/USB STICK", "/mnt", "/run/media/u/DISK"}));
  EXPECT_EQ(StartPlaces("", ""), (Names{"/"}));
  EXPECT_EQ(StartPlaces("/", ""), (Names{"/"}));
}

TEST(RealFileSystem, ListsEntriesWithWhatTheyLeadTo) {
  veltrane::testing::TempDir dir;
  std::filesystem::create_directory(dir.File("sub"));
  std::ofstream(dir.File("a.dat")) << "x";
  std::filesystem::create_directory_symlink("sub", dir.File("link"));
  std::filesystem::create_symlink("gone", dir.File("dangling"));
  RealFileSystem files;
  files.mountsPath = dir.File("no-mounts");
  std::vector<DirectoryEntry> entries;
  ASSERT_TRUE(files.List(dir.path(), entries));
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  using Kind = DirectoryEntry::Kind;
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name + "," + entries[1].name + "," + entries[2].name + "," + entries[3].name,
            "a.dat,dangling,link,sub");
  EXPECT_EQ(entries[0].kind, Kind::RegularFile);
  EXPECT_EQ(entries[1].kind, Kind::Other);
  EXPECT_EQ(entries[2].kind, Kind::Directory);
  EXPECT_EQ(entries[3].kind, Kind::Directory);
  const Status missing = files.List(dir.File("none"), entries);
  EXPECT_EQ(missing.reason, dir.File("none") + ": No such file or directory");
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(files.StartPlaces().front(), "/");
  EXPECT_EQ(files.WorkingDirectory(), std::filesystem::current_path().string());
}

}  // namespace
}  // namespace veltrane::fileaccess
