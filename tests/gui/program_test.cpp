#include "gui/program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QProgressBar>
#include <ctime>
#include <filesystem>
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

TEST(Program, StartRemovesTemporariesThatAnInterruptedSaveLeft) {
  TempDir temp;
  TempDir boards;
  const auto left = [](const std::string& path) {
    std::ofstream(path) << "half a file";
    const timespec old[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, 0);
  };
  left(temp.File(".vtQ1w2E3"));
  left(boards.File(".vtR4t5Y6"));
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(temp.path());
  {
    gui::Program program(boards.File("Board.DAT"));
    program.boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
    program.Start(0, temp.File("vtlog.txt"));  // "Cannot open file": there is no Board.DAT
  }
  std::filesystem::current_path(home);
  EXPECT_FALSE(std::filesystem::exists(temp.File(".vtQ1w2E3")));
  EXPECT_FALSE(std::filesystem::exists(boards.File(".vtR4t5Y6")));
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
