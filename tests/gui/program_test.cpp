#include "gui/program.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QProgressBar>

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

TEST(Program, TitleNotesOnlyTheSimulatedKeyboard) {
  EXPECT_EQ(gui::DeviceTitleSuffix(nullptr), QString());
  EXPECT_EQ(gui::DeviceTitleSuffix("hidapi"), QString());
  EXPECT_EQ(gui::DeviceTitleSuffix("sim:/tmp/kb.sim,product=V0412"),
            QStringLiteral(" — simulated keyboard"));
}

}  // namespace
}  // namespace veltrane::testing
