// SPDX-License-Identifier: MIT
// Symbolic links: followed when a file is replaced, never when the log is opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
#include "fileaccess/same_file.h"
#include "fileaccess/streams.h"
#include "tests/fileaccess/file_access_test_util.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::fileaccess {
namespace {

using namespace veltrane::fileaccess::testing;
using veltrane::testing::ReadFileText;
using veltrane::testing::TempDir;

TEST(LinkedFiles, ReplacingThroughALinkReplacesItsTargetInTheTargetsDirectory) {
  TempDir here, there;
  WriteText(there.File("real.DAT"), "old");
  ASSERT_EQ(::symlink(there.File("real.DAT").c_str(), here.File("link.DAT").c_str()), 0);
  const Status status = ReplaceFile(here.File("link.DAT"), std::string_view("new content"));
  ASSERT_TRUE(status) << status.reason;
  EXPECT_TRUE(fs::is_symlink(here.File("link.DAT")));
  EXPECT_EQ(ReadFileText(there.File("real.DAT")), "new content");
  EXPECT_EQ(EntryCount(here.path()), 1);  // no temporary file beside the link
  EXPECT_EQ(EntryCount(there.path()), 1);
  EXPECT_TRUE(SameFile(here.File("link.DAT"), there.File("real.DAT")));
}

TEST(LinkedFiles, ChainedRelativeLinksAreFollowedFromEachLinksDirectory) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("a").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir.File("b").c_str(), 0755), 0);
  WriteText(dir.File("b/end.txt"), "old");
  ASSERT_EQ(::symlink("../b/end.txt", dir.File("a/middle").c_str()), 0);
  ASSERT_EQ(::symlink("a/middle", dir.File("first").c_str()), 0);
  ASSERT_TRUE(ReplaceFile(dir.File("first"), std::string_view("chained")));
  EXPECT_TRUE(fs::is_symlink(dir.File("first")) && fs::is_symlink(dir.File("a/middle")));
  EXPECT_EQ(ReadFileText(dir.File("b/end.txt")), "chained");
}

TEST(LinkedFiles, ALinkToAMissingFileCreatesTheFileAndALoopIsRefused) {
  TempDir dir;
  ASSERT_EQ(::symlink("made.txt", dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(ReplaceFile(dir.File("dangling"), std::string_view("x")));
  EXPECT_TRUE(fs::is_symlink(dir.File("dangling")));
  EXPECT_EQ(ReadFileText(dir.File("made.txt")), "x");
  ASSERT_EQ(::symlink("loop", dir.File("loop").c_str()), 0);
  const Status loop = ReplaceFile(dir.File("loop"), std::string_view("x"));
  EXPECT_FALSE(loop);
  EXPECT_EQ(loop.reason, dir.File("loop") + ": Too many levels of symbolic links");
}

TEST(LinkedFiles, ALogLinkIsReplacedAndTheFileItLeadsToKeptWhole) {
  TempDir dir;
  WriteText(dir.File("victim"), "precious");
  WriteText(dir.File("other"), "also precious");
  ASSERT_EQ(::symlink(dir.File("victim").c_str(), dir.File("vtlog.txt").c_str()), 0);
  ASSERT_EQ(::link(dir.File("other").c_str(), dir.File("hard.txt").c_str()), 0);
  for (const char* name : {"vtlog.txt", "hard.txt"}) {
    const OpenedStream log = OpenLogFile(dir.File(name));
    ASSERT_NE(log.file, nullptr) << log.reason;
    std::fputs("line\n", log.file);
    std::fclose(log.file);
    EXPECT_FALSE(fs::is_symlink(dir.File(name)));
    EXPECT_EQ(ReadFileText(dir.File(name)), "line\n");
  }
  EXPECT_EQ(ReadFileText(dir.File("victim")), "precious");
  EXPECT_EQ(ReadFileText(dir.File("other")), "also precious");
  EXPECT_EQ(EntryCount(dir.path()), 4);  // no temporary file left
}

TEST(LinkedFiles, ALogShortenedByAnotherWriterGetsNoHole) {
  TempDir dir;
  const OpenedStream log = OpenLogFile(dir.File("vtlog.txt"));
  ASSERT_NE(log.file, nullptr) << log.reason;
  std::setvbuf(log.file, nullptr, _IOLBF, BUFSIZ);
  std::fputs("first instance, line one\n", log.file);
  // What an older program did to a log it found: emptied it in place.
  ASSERT_EQ(::truncate(dir.File("vtlog.txt").c_str(), 0), 0);
  std::fputs("line two\n", log.file);
  std::fclose(log.file);
  EXPECT_EQ(ReadFileText(dir.File("vtlog.txt")), "line two\n");
}

TEST(SameFile, TellsOneFileFromAnotherAlsoBeforeTheOutputExists) {
  TempDir dir;
  WriteText(dir.File("in.BIN"), "x");
  WriteText(dir.File("other.BIN"), "x");
  ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
  EXPECT_TRUE(SameFile(dir.File("in.BIN"), dir.File("sub/../in.BIN")));
  EXPECT_FALSE(SameFile(dir.File("in.BIN"), dir.File("other.BIN")));
  ASSERT_EQ(::link(dir.File("in.BIN").c_str(), dir.File("hard.BIN").c_str()), 0);
  EXPECT_TRUE(SameFile(dir.File("in.BIN"), dir.File("hard.BIN")));
  // Neither exists: the same place once the directory and a link at b are resolved.
  ASSERT_EQ(::symlink("sub/new.DAT", dir.File("to-new").c_str()), 0);
  EXPECT_TRUE(SameFile(dir.File("sub/new.DAT"), dir.File("sub/../to-new")));
  EXPECT_TRUE(SameFile(dir.File("sub/new.DAT"), dir.File("./sub/new.DAT")));
  EXPECT_FALSE(SameFile(dir.File("in.BIN"), dir.File("sub/in.BIN")));
  EXPECT_FALSE(SameFile(dir.File("sub/new.DAT"), dir.File("nodir/new.DAT")));
}

}  // namespace
}  // namespace veltrane::fileaccess
