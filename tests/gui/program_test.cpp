// SPDX-License-Identifier: MIT
#include "gui/program.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QProgressBar>
#include <QTest>
#include <fstream>

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

}  // namespace
}  // namespace veltrane::testing
