// SPDX-License-Identifier: MIT
#include "gui/program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QProgressBar>
#include <QTest>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "fileaccess/temporary_name.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace veltrane::testing {
namespace {

TEST(Program, StartsInOrderWithItsLogAndHiddenWindows) {
  TempDir temp;
  ::setenv("NIRVEX_DEVICE", ("sim:" + temp.File("kb.sim") + ",time=virtual").c_str(), 1);
  gui::Program program("");
  std::vector<std::string> boxes;
  program.boxes.SetAnswer([&](const std::string& text, const std::string&, model::MessageIcon) {
    boxes.push_back(text);
  });
  const std::string logPath = temp.File("vtlog.txt");
  program.Start(0, logPath);

  EXPECT_TRUE(program.window.isVisible());
  EXPECT_EQ(program.window.windowTitle(), QStringLiteral("Veltrane — simulated keyboard"));
  EXPECT_FALSE(program.host.testWindow()->isVisible());
  EXPECT_FALSE(program.host.stringEditorWindow()->isVisible());
  EXPECT_EQ(program.window.progressBar()->maximum(), 2048);
  // The per-run options come after the creation step: keyboard on, pointing device off.
  EXPECT_TRUE(qobject_cast<QCheckBox*>(program.window.control(35101))->isChecked());
  EXPECT_FALSE(qobject_cast<QCheckBox*>(program.window.control(35102))->isChecked());
  EXPECT_TRUE(boxes.empty());

  program.log.Close();
  const std::string log = ReadFileText(logPath);
  EXPECT_EQ(log.substr(0, logPath.size() + 2), logPath + " \n");
  EXPECT_NE(log.find("\nStarted at "), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 2), " \n");
  ::unsetenv("NIRVEX_DEVICE");
}

// Files of the user's that look like temporaries stay; the program's own go.
TEST(Program, StartRemovesOnlyTheTemporariesThatAnInterruptedSaveLeft) {
  TempDir temp;
  TempDir boards;
  const auto left = [](const std::string& path) {
    std::ofstream(path) << "half a file";
    const timespec old[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, 0);
  };
  const std::vector<std::string> users = {".vtnotes1", ".vtABCDEF", ".NAME.tmp"};
  for (const std::string& name : users) {
    left(temp.File(name));
    left(boards.File(name));
  }
  const std::string own = temp.File(fileaccess::TemporaryNameFor("x.DAT"));
  const std::string ownBeside = boards.File(fileaccess::TemporaryNameFor("Board.DAT"));
  left(own);
  left(ownBeside);
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(temp.path());
  {
    gui::Program program(boards.File("Board.DAT"));
    program.boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
    program.Start(0, temp.File("vtlog.txt"));  // "Cannot open file": there is no Board.DAT
  }
  std::filesystem::current_path(home);
  for (const std::string& name : users) {
    EXPECT_TRUE(std::filesystem::exists(temp.File(name))) << name;
    EXPECT_TRUE(std::filesystem::exists(boards.File(name))) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(own));
  EXPECT_FALSE(std::filesystem::exists(ownBeside));
}

// The log in the state directory; a state directory that cannot be written
// is told in one box, the run goes on, and a recovery copy that cannot be
// written either is not told again.
TEST(Program, OwnFilesGoToTheStateDirectoryAndItsTroubleIsToldOnce) {
  TempDir temp;
  const std::string before = std::getenv("XDG_STATE_HOME");
  ::setenv("XDG_STATE_HOME", temp.path().c_str(), 1);
  {
    gui::Program program("");
    program.Start(0);
    program.log.Close();
    const std::string log = ReadFileText(temp.File("veltrane/vtlog.txt"));
    EXPECT_TRUE(log.starts_with(temp.File("veltrane/vtlog.txt") + " \nStarted at ")) << log;
  }
  std::ofstream(temp.File("file")) << "in the way";
  ::setenv("XDG_STATE_HOME", temp.File("file").c_str(), 1);
  ::setenv("VELTRANE_RECOVERY_SECONDS", "1", 1);
  {
    gui::Program program("");
    std::vector<std::string> boxes;
    program.boxes.SetAnswer([&](const std::string& text, const std::string&, model::MessageIcon) {
      boxes.push_back(text);
    });
    program.Start(0);
    program.events.OnFieldCommitted(35119, "SN-NOWHERE");  // the serial number
    QTest::qWait(2500);                                    // two periods: the copy fails, untold
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "The log " + temp.File("file/veltrane/vtlog.txt") +
                            " cannot be written: " + temp.File("file") +
                            " is a regular file, not a directory. The program goes on without it.");
    EXPECT_TRUE(program.window.isVisible());
    EXPECT_EQ(program.app.doc.def.settings.SerialNumber, "SN-NOWHERE");
  }
  ::unsetenv("VELTRANE_RECOVERY_SECONDS");
  ::setenv("XDG_STATE_HOME", before.c_str(), 1);
}

TEST(Program, TitleNotesOnlyTheSimulatedKeyboard) {
  EXPECT_EQ(gui::DeviceTitleSuffix(nullptr), QString());
  EXPECT_EQ(gui::DeviceTitleSuffix("hidapi"), QString());
  EXPECT_EQ(gui::DeviceTitleSuffix("sim:/tmp/kb.sim,product=V0412"),
            QStringLiteral(" — simulated keyboard"));
  EXPECT_EQ(gui::DeviceTitleSuffix("simdir:/tmp/line"), QStringLiteral(" — simulated keyboards"));
}

}  // namespace
}  // namespace veltrane::testing
