// SPDX-License-Identifier: MIT
// The window program's start without the window: the clean-up after earlier
// runs, the log, the command-line file's messages held, the title's note.
#include "ui/app/start_up.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "fileaccess/temporary_name.h"
#include "support/files.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"

namespace veltrane::ui {
namespace {

namespace fs = std::filesystem;

// A file as a save cut short two hours ago leaves it.
void LeftBehind(const std::string& path) {
  std::ofstream(path) << "half a file";
  const timespec old[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), old, 0);
}

// Files of the user's that look like temporaries stay; the program's own go,
// in the current directory, beside the command-line file and in the recovery
// directory; the command-line file's trouble waits for the window.
TEST(StartUp, RemovesOnlyOwnTemporariesOpensTheLogAndHoldsTheLoadsWords) {
  testing::TempDir temp;
  testing::TempDir boards;
  testing::TempDir state;
  const std::vector<std::string> users = {".vtnotes1", ".vtABCDEF", ".NAME.tmp"};
  for (const std::string& name : users) {
    LeftBehind(temp.File(name));
    LeftBehind(boards.File(name));
  }
  const ProgramFiles files{state.File("vtlog.txt"), state.File("recovery/")};
  fs::create_directories(files.recovery);
  const std::vector<std::string> own = {temp.File(fileaccess::TemporaryNameFor("x.DAT")),
                                        boards.File(fileaccess::TemporaryNameFor("Board.DAT")),
                                        files.recovery + fileaccess::TemporaryNameFor("r.json")};
  for (const std::string& path : own) LeftBehind(path);

  const fs::path home = fs::current_path();
  fs::current_path(temp.path());
  AppState app;
  StartApplication(app, boards.File("Board.DAT"));  // there is no Board.DAT
  LogFile log;
  HeldMessages told;
  const StartNotes notes = PrepareStart(app, log, told, files, "", 0);
  fs::current_path(home);

  for (const std::string& name : users) {
    EXPECT_TRUE(fs::exists(temp.File(name))) << name;
    EXPECT_TRUE(fs::exists(boards.File(name))) << name;
  }
  for (const std::string& path : own) EXPECT_FALSE(fs::exists(path)) << path;
  EXPECT_EQ(notes.logFile, files.log);
  testing::RecordingMessages shown;
  told.ShowTo(shown);
  ASSERT_EQ(shown.shown.size(), 1u);
  log.Close();
  const std::string logText = testing::ReadFileText(files.log);
  EXPECT_TRUE(logText.starts_with(files.log + " \nStarted at ")) << logText;
}

// A log that cannot be opened is no reason to stop: why is kept for the window.
TEST(StartUp, ALogThatCannotBeWrittenIsToldLater) {
  testing::TempDir temp;
  std::ofstream(temp.File("file")) << "in the way";
  AppState app;
  StartApplication(app);
  LogFile log;
  HeldMessages told;
  const StartNotes notes = PrepareStart(app, log, told, {temp.File("log"), temp.File("rec/")},
                                        temp.File("file/vtlog.txt"), 0);
  EXPECT_EQ(notes.logFile, temp.File("file/vtlog.txt"));
  EXPECT_NE(notes.noLog, "");
  EXPECT_TRUE(told.empty());
}

TEST(StartUp, TheTitleNotesOnlyTheSimulatedKeyboards) {
  EXPECT_EQ(DeviceTitleNote("usb:sim:x"), "");
  EXPECT_EQ(DeviceTitleNote("sim:/tmp/kb.sim,product=V0412"), " — simulated keyboard");
  ::setenv(kDeviceVariable, "simdir:/tmp/line", 1);
  EXPECT_EQ(DeviceTitleNote(), " — simulated keyboards");
  ::unsetenv(kDeviceVariable);
  EXPECT_EQ(DeviceTitleNote(), "");
}

}  // namespace
}  // namespace veltrane::ui
