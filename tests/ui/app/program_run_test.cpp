// SPDX-License-Identifier: MIT
// The window program's own steps: its files in the state directory, the log
// and the matrix switched off at the end (start-up's leftovers: start_up_test).
#include "ui/app/program_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fileaccess/replace_file.h"
#include "fileaccess/state_directory.h"
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

TEST(ProgramFiles, DirectoriesAreMadePrivate) {
  testing::TempDir dir;
  EXPECT_TRUE(fileaccess::MakeDirectories(dir.File("a/b/c/")));
  EXPECT_EQ(fs::status(dir.File("a/b")).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(fileaccess::MakeDirectories(dir.File("a/b/c")));  // already there
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
