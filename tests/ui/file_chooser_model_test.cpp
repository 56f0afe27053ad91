#include "ui/file_chooser_model.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace veltrane::ui {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FileChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    root_ = fs::canonical(temp_.path()).string();
    for (const char* dir : {"Sub", "zeta", "with.dot", "dir.dat", ".git"}) {
      fs::create_directory(root_ + "/" + dir);
    }
    for (const char* file :
         {"b.dat", "a.DAT", "C.Dat", "notes.txt", "plain", ".hidden.dat", "dat", "Sub/inner.dat"}) {
      std::ofstream(root_ + "/" + file) << "x";
    }
    fs::current_path(root_);
    diagnostics_ = std::tmpfile();
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::fclose(diagnostics_);
  }

  FileChooserModel Open(ChooserKind kind) {
    FileChooserModel chooser = OpenFileChooser(kind, diagnostics_);
    chooser.home = root_;
    chooser.mountsPath = root_ + "/no-mounts";
    RefreshFileChooser(chooser);
    return chooser;
  }
  static int IndexOf(const ListBox& list, const std::string& name) {
    const auto at = std::find(list.items.begin(), list.items.end(), name);
    return at == list.items.end() ? -1 : static_cast<int>(at - list.items.begin());
  }
  std::string Diagnostics() {
    std::rewind(diagnostics_);
    std::string text(256, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), diagnostics_));
    return text;
  }

  testing::TempDir temp_;
  fs::path previous_;
  std::string root_;
  std::FILE* diagnostics_ = nullptr;
};

TEST_F(FileChooserTest, LoadOffersDirectoriesWithoutDotAndDatFilesInAnyCase) {
  const FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(chooser.directory, root_);
  EXPECT_EQ(chooser.directories.items, (Names{"..", "Sub", "zeta"}));
  EXPECT_EQ(chooser.files.items, (Names{"a.DAT", "b.dat", "C.Dat"}));
  EXPECT_EQ(chooser.directories.selection, 0);
  EXPECT_EQ(chooser.files.selection, 0);
}

TEST_F(FileChooserTest, TextChoosersOfferTheirOwnExtensionInAnyCase) {
  for (const char* file : {"desk.json", "Line.JSON", "json", "x.json.dat"})
    std::ofstream(root_ + "/" + file) << "{}";
  FileChooserModel chooser = Open(ChooserKind::Load);
  chooser.extension = ".json";
  RefreshFileChooser(chooser);
  EXPECT_EQ(chooser.files.items, (Names{"desk.json", "Line.JSON"}));
}

TEST_F(FileChooserTest, SaveAlsoListsFilesWithoutExtension) {
  FileChooserModel chooser = Open(ChooserKind::Save);
  EXPECT_EQ(chooser.directories.items, (Names{"..", "dat", "plain", "Sub", "zeta"}));
  EXPECT_EQ(chooser.files.items, (Names{"a.DAT", "b.dat", "C.Dat"}));
  chooser.name.text = std::string(300, 'n');
  EXPECT_EQ(OnSavePressed(chooser), std::string(255, 'n'));
  EXPECT_EQ(OnChooserCancel(chooser), "");
  EXPECT_TRUE(chooser.finished);
}

TEST_F(FileChooserTest, DoubleClickEntersAndLeavesDirectories) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "Sub"));
  EXPECT_EQ(fs::current_path().string(), root_ + "/Sub");
  EXPECT_EQ(chooser.directory, root_ + "/Sub");
  EXPECT_EQ(chooser.files.items, (Names{"inner.dat"}));
  EXPECT_EQ(OnLoadPressed(chooser), root_ + "/Sub/inner.dat");

  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, ".."));
  EXPECT_EQ(fs::current_path().string(), root_);
  EXPECT_EQ(chooser.files.items.size(), 3u);
  EXPECT_EQ(Diagnostics(), "");
}

TEST_F(FileChooserTest, EntryThatCannotBeEnteredChangesNothing) {
  FileChooserModel chooser = Open(ChooserKind::Save);
  const FileChooserModel before = chooser;
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "plain"));
  fs::remove(root_ + "/zeta");
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "zeta"));
  EXPECT_EQ(fs::current_path().string(), root_);
  EXPECT_EQ(chooser.directories.items, before.directories.items);
  EXPECT_EQ(chooser.files.items, before.files.items);
  EXPECT_EQ(Diagnostics(),
            "Invalid File Handle. GetLastError reports 20\n"
            "Invalid File Handle. GetLastError reports 2\n");
}

TEST_F(FileChooserTest, DirectoryThatCannotBeListedIsLeftAgain) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
  fs::create_directory(root_ + "/locked");
  fs::permissions(root_ + "/locked", fs::perms::owner_exec);
  FileChooserModel chooser = Open(ChooserKind::Load);
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "locked"));
  fs::permissions(root_ + "/locked", fs::perms::owner_all);
  EXPECT_EQ(fs::current_path().string(), root_);
  EXPECT_EQ(chooser.directory, root_);
  EXPECT_NE(IndexOf(chooser.directories, "locked"), -1);
  EXPECT_EQ(Diagnostics(), "Invalid File Handle. GetLastError reports 13\n");
}

TEST_F(FileChooserTest, LoadNeedsASelectedFile) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(OnLoadPressed(chooser), root_ + "/a.DAT");
  chooser.files.selection = -1;
  chooser.finished = false;
  EXPECT_FALSE(OnLoadPressed(chooser));
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "zeta"));
  EXPECT_TRUE(chooser.files.items.empty());
  EXPECT_FALSE(OnLoadPressed(chooser));
  EXPECT_FALSE(chooser.finished);
}

TEST_F(FileChooserTest, PlacesSelectTheOneHoldingTheCurrentDirectory) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(chooser.places.items, (Names{"/", root_}));
  EXPECT_EQ(chooser.places.selection, 1);
  OnPlacePicked(chooser, 0);
  EXPECT_EQ(fs::current_path(), fs::path("/"));
  EXPECT_EQ(chooser.places.selection, 0);
  EXPECT_EQ(IndexOf(chooser.directories, ".."), -1);  // the root has no parent to offer
  OnPlacePicked(chooser, 1);
  EXPECT_EQ(chooser.directory, root_);
  chooser.places.items[0] = root_ + "/gone";
  OnPlacePicked(chooser, 0);
  EXPECT_EQ(fs::current_path().string(), root_);
  EXPECT_EQ(chooser.files.items.size(), 3u);
}

TEST(FileChooserPlaces, RootHomeAndVolumesFromTheMountsTable) {
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

}  // namespace
}  // namespace veltrane::ui
