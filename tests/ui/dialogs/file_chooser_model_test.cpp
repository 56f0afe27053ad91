// SPDX-License-Identifier: MIT
#include "ui/dialogs/file_chooser_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "tests/ui/dialogs/fake_file_system.h"

namespace veltrane::ui {
namespace {

using Names = std::vector<std::string>;
using Kind = fileaccess::DirectoryEntry::Kind;

class FileChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.Add("/home/u", "boards", Kind::Directory);
    for (const char* dir : {"Sub", "zeta", "with.dot", "dir.dat", ".git", "plain"})
      files.Add(root, dir, std::string(dir) == "plain" ? Kind::RegularFile : Kind::Directory);
    for (const char* file : {"b.dat", "a.DAT", "C.Dat", "notes.txt", ".hidden.dat", "dat"})
      files.Add(root, file, Kind::RegularFile);
    files.Add(root, "fifo.dat", Kind::Other);
    files.Add(root + "/Sub", "inner.dat", Kind::RegularFile);
    files.places = {"/", "/home/u", root};
    diagnostics = std::tmpfile();
  }
  void TearDown() override { std::fclose(diagnostics); }

  FileChooserModel Open(ChooserKind kind) {
    return OpenFileChooser(kind, files, root, diagnostics);
  }
  static int IndexOf(const ListBox& list, const std::string& name) {
    const auto at = std::find(list.items.begin(), list.items.end(), name);
    return at == list.items.end() ? -1 : static_cast<int>(at - list.items.begin());
  }
  std::string Diagnostics() {
    std::rewind(diagnostics);
    std::string text(256, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), diagnostics));
    return text;
  }

  testing::FakeFileSystem files;
  const std::string root = "/home/u/boards";
  std::FILE* diagnostics = nullptr;
};

TEST_F(FileChooserTest, LoadOffersDirectoriesWithoutDotAndDatFilesInAnyCase) {
  const std::filesystem::path before = std::filesystem::current_path();
  const FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(chooser.directory, root);
  EXPECT_EQ(chooser.directories.items, (Names{"..", "Sub", "zeta"}));
  EXPECT_EQ(chooser.datFiles.items, (Names{"a.DAT", "b.dat", "C.Dat"}));
  EXPECT_EQ(chooser.directories.selection, 0);
  EXPECT_EQ(chooser.datFiles.selection, 0);
  EXPECT_EQ(chooser.problem, "");
  EXPECT_EQ(std::filesystem::current_path(), before);  // the process's directory never moves
}

TEST_F(FileChooserTest, TextChoosersOfferTheirOwnExtensionInAnyCase) {
  for (const char* file : {"desk.json", "Line.JSON", "json", "x.json.dat", "k.PDF", "k.svg"})
    files.Add(root, file, Kind::RegularFile);
  FileChooserModel chooser = Open(ChooserKind::Load);
  chooser.extensions = {".json"};
  RefreshFileChooser(chooser);
  EXPECT_EQ(chooser.datFiles.items, (Names{"desk.json", "Line.JSON"}));
  chooser.extensions = {".svg", ".pdf", ".png"};  // the pictures' chooser
  RefreshFileChooser(chooser);
  EXPECT_EQ(chooser.datFiles.items, (Names{"k.PDF", "k.svg"}));
}

TEST_F(FileChooserTest, SaveListsFilesWithoutExtensionAndTakesNamesInItsDirectory) {
  FileChooserModel chooser = Open(ChooserKind::Save);
  EXPECT_EQ(chooser.directories.items, (Names{"..", "dat", "plain", "Sub", "zeta"}));
  chooser.name.text = std::string(300, 'n');
  EXPECT_EQ(OnSavePressed(chooser), root + "/" + std::string(255, 'n'));
  chooser.name.text = "sub/x.dat";
  EXPECT_EQ(OnSavePressed(chooser), root + "/sub/x.dat");
  chooser.name.text = "/tmp/y";
  EXPECT_EQ(OnSavePressed(chooser), "/tmp/y");
  chooser.name.text = "";
  EXPECT_EQ(OnSavePressed(chooser), "");  // nothing typed: nothing to save
  EXPECT_EQ(OnChooserCancel(chooser), "");
  EXPECT_TRUE(chooser.finished);
}

TEST_F(FileChooserTest, DoubleClickEntersAndLeavesDirectories) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "Sub"));
  EXPECT_EQ(chooser.directory, root + "/Sub");
  EXPECT_EQ(chooser.datFiles.items, (Names{"inner.dat"}));
  EXPECT_EQ(OnLoadPressed(chooser), root + "/Sub/inner.dat");
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, ".."));
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, ".."));
  EXPECT_EQ(chooser.directory, "/home/u");
  EXPECT_EQ(Diagnostics(), "");
}

TEST_F(FileChooserTest, DirectoryThatCannotBeEnteredIsToldAndChangesNothing) {
  FileChooserModel chooser = Open(ChooserKind::Save);
  const FileChooserModel before = chooser;
  files.errors[root + "/zeta"] = EACCES;
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "zeta"));
  EXPECT_EQ(chooser.problem, "Cannot open " + root + "/zeta: Permission denied");
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "plain"));  // a file
  EXPECT_EQ(chooser.directory, root);
  EXPECT_EQ(chooser.directories.items, before.directories.items);
  EXPECT_EQ(chooser.datFiles.items, before.datFiles.items);
  EXPECT_EQ(Diagnostics(),
            "Invalid File Handle. GetLastError reports 13\n"
            "Invalid File Handle. GetLastError reports 2\n");
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "Sub"));
  EXPECT_EQ(chooser.problem, "");  // a directory entered clears the note

  files.errors[root] = EACCES;  // the start directory itself: empty lists, told
  const FileChooserModel locked = Open(ChooserKind::Load);
  EXPECT_EQ(locked.directory, root);
  EXPECT_TRUE(locked.directories.items.empty() && locked.datFiles.items.empty());
  EXPECT_NE(locked.problem, "");
}

TEST_F(FileChooserTest, LoadNeedsASelectedFile) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(OnLoadPressed(chooser), root + "/a.DAT");
  chooser.datFiles.selection = -1;
  chooser.finished = false;
  EXPECT_FALSE(OnLoadPressed(chooser));
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "zeta"));
  EXPECT_TRUE(chooser.datFiles.items.empty());
  EXPECT_FALSE(OnLoadPressed(chooser));
  EXPECT_FALSE(chooser.finished);
}

TEST_F(FileChooserTest, PlacesSelectTheOneHoldingTheDirectory) {
  FileChooserModel chooser = Open(ChooserKind::Load);
  EXPECT_EQ(chooser.places.items, (Names{"/", "/home/u", root}));
  EXPECT_EQ(chooser.places.selection, 2);
  files.Add("/", "home", Kind::Directory);
  OnPlacePicked(chooser, 0);
  EXPECT_EQ(chooser.directory, "/");
  EXPECT_EQ(chooser.places.selection, 0);
  EXPECT_EQ(chooser.directories.items, Names{"home"});  // the root has no parent to offer
  files.errors["/home/u"] = ENOENT;
  OnPlacePicked(chooser, 1);
  EXPECT_EQ(chooser.directory, "/");
  EXPECT_EQ(chooser.places.selection, 0);
  EXPECT_EQ(chooser.problem, "Cannot open /home/u: No such file or directory");
}

TEST_F(FileChooserTest, AnyNameIsOneRowInItsPlaceAmongTheOthers) {
  const std::string dir = root + "/Sub";
  for (const char* name : {"\xc3\xa9t\xc3\xa9.dat", "Zoo.dat", "two\nlines.dat", "tab\tx.dat"})
    files.Add(dir, name, Kind::RegularFile);
  files.Add(dir, "bell\x07", Kind::Directory);
  FileChooserModel chooser = Open(ChooserKind::Load);
  OnDirectoryDoubleClicked(chooser, IndexOf(chooser.directories, "Sub"));
  EXPECT_EQ(chooser.datFiles.items, (Names{"inner.dat", "tab\\tx.dat", "two\\nlines.dat", "Zoo.dat",
                                           "\xc3\xa9t\xc3\xa9.dat"}));
  EXPECT_EQ(chooser.directories.items, (Names{"..", "bell\\x07"}));
  chooser.datFiles.selection = 2;
  EXPECT_EQ(OnLoadPressed(chooser), dir + "/two\nlines.dat");  // the name as it is
  EXPECT_TRUE(SortedListLess("zz", "\xc3\xa9"));
  EXPECT_TRUE(SortedListLess("a", "B"));
  EXPECT_TRUE(SortedListLess("A", "a"));
}

}  // namespace
}  // namespace veltrane::ui
