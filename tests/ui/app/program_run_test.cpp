// SPDX-License-Identifier: MIT
// The window program's own steps: its files in the state directory, the
// leftovers it removes at start-up (its own only), the log and the matrix
// switched off at the end.
#include "ui/app/program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "fileaccess/replace_file.h"
#include "fileaccess/state_directory.h"
#include "fileaccess/temporary_name.h"
#include "link/nirvex.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"

namespace veltrane::ui {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the scope of a test.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnvironment() { old_.empty() ? ::unsetenv(name_) : ::setenv(name_, old_.c_str(), 1); }

 private:
  const char* name_;
  std::string old_;
};

void LeaveOld(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  const std::time_t old = std::time(nullptr) - 2 * 3600;
  const timespec times[2] = {{old, 0}, {old, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(ProgramFiles, LiveInTheStateDirectory) {
  {
    ScopedEnvironment state("XDG_STATE_HOME", "/srv/state");
    EXPECT_EQ(DefaultProgramFiles().log, "/srv/state/veltrane/vtlog.txt");
    EXPECT_EQ(DefaultProgramFiles().recovery, "/srv/state/veltrane/recovery/");
  }
  ScopedEnvironment relative("XDG_STATE_HOME", "state");  // not absolute: ignored
  ScopedEnvironment home("HOME", "/home/maker");
  EXPECT_EQ(fileaccess::StateDirectory(), "/home/maker/.local/state/veltrane/");
}

TEST(ProgramFiles, DirectoriesAreMadePrivateAndAFileInTheWayIsNamed) {
  testing::TempDir dir;
  EXPECT_TRUE(fileaccess::MakeDirectories(dir.File("a/b/c/")));
  EXPECT_EQ(fs::status(dir.File("a/b")).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(fileaccess::MakeDirectories(dir.File("a/b/c")));  // already there
  std::ofstream(dir.File("a/f")) << "x";
  EXPECT_EQ(fileaccess::MakeDirectories(dir.File("a/f/g/")).reason,
            dir.File("a/f") + " is a regular file, not a directory");
}

// User files that look like temporaries, two hours old, in the start directory
// and beside the command-line file: all stay. The program's own go.
TEST(RemoveLeftovers, RemovesOnlyTheProgramsOwnTemporaries) {
  testing::TempDir start, boards, state;
  const std::vector<std::string> users = {".vtnotes1", ".vtABCDEF", ".NAME.tmp"};
  const ProgramFiles files{state.File("vtlog.txt"), state.File("recovery/")};
  fs::create_directory(files.recovery);
  for (const std::string& dir : {start.path(), boards.path()})
    for (const std::string& name : users) LeaveOld(dir + "/" + name, "mine");
  const std::vector<std::string> own = {start.File(fileaccess::TemporaryNameFor("a.DAT")),
                                        boards.File(fileaccess::TemporaryNameFor("Board.DAT")),
                                        files.recovery + fileaccess::TemporaryNameFor("r")};
  for (const std::string& path : own) LeaveOld(path, "half a file");
  AppState app;
  const fs::path home = fs::current_path();
  fs::current_path(start.path());
  StartApplication(app, boards.File("Board.DAT"));
  RemoveLeftovers(app, files);
  fs::current_path(home);
  for (const std::string& dir : {start.path(), boards.path()})
    for (const std::string& name : users) EXPECT_TRUE(fs::exists(dir + "/" + name)) << dir << name;
  for (const std::string& path : own) EXPECT_FALSE(fs::exists(path)) << path;
}

TEST(OpenProgramLog, MakesItsDirectoryAndAFailureIsToldOnce) {
  testing::TempDir dir;
  testing::RecordingMessages messages;
  testing::RecordingLog recorded;
  const Services io{messages, recorded};
  LogFile log;
  EXPECT_EQ(OpenProgramLog(log, dir.File("state/veltrane/vtlog.txt"), 0), "");
  EXPECT_TRUE(log.IsOpen());
  std::ofstream(dir.File("file")) << "x";
  LogFile none;
  const std::string why = OpenProgramLog(none, dir.File("file/veltrane/vtlog.txt"), 0);
  EXPECT_EQ(why, dir.File("file") + " is a regular file, not a directory");
  EXPECT_FALSE(none.IsOpen());
  bool told = false;
  TellOwnFileProblem(io, told, "The log", why);
  TellOwnFileProblem(io, told, "The recovery copy of unsaved changes", "disk full");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The log cannot be written: " + why + ". The program goes on without it.");
  EXPECT_NE(recorded.text().find("The recovery copy of unsaved changes cannot be written: disk "
                                 "full"),
            std::string::npos);
}

TEST(SwitchMatrixOffAtEnd, SwitchesBackOnlyWhatThisRunSwitchedOn) {
  AppState app;
  StartApplication(app);
  FakeLink link;
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  const Services io{messages, log};
  SwitchMatrixOffAtEnd(app, io, link);
  EXPECT_TRUE(link.transfers.empty());
  app.doc.options.matrixEnabled = true;
  SwitchMatrixOffAtEnd(app, io, link);
  ASSERT_EQ(link.transfers.size(), 1u);
  EXPECT_EQ(link.transfers[0].address, static_cast<unsigned>(NIRVEX_MATRIX_SWITCH));
  EXPECT_EQ(link.transfers[0].data[3], NIRVEX_MATRIX_OFF);
  EXPECT_FALSE(app.doc.options.matrixEnabled);
  EXPECT_EQ(log.text(), "Matrix switched off at the end of the run\n");
  app.doc.options.matrixEnabled = true;
  link.programResult = 0;
  link.status = LinkStatus::NoKeyboard;
  SwitchMatrixOffAtEnd(app, io, link);
  EXPECT_NE(log.text().find("Matrix could not be switched off at the end of the run\n"),
            std::string::npos);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace veltrane::ui
