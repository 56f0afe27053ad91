// SPDX-License-Identifier: MIT
// How a run of the real program ends: killed (its work comes back at the next
// start), by SIGTERM, SIGHUP or SIGINT (copy written, status 0, no lock file),
// or by Exit (copy removed, matrix switched off). The killed and signalled
// runs are this test program itself, started again as a child that runs one
// disabled test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "gui/program.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "ui/controls/control_ids.h"

extern char** environ;

namespace veltrane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Named(const std::string& directory, const std::string& suffix) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory, error))
    if (entry.path().string().ends_with(suffix)) names.push_back(entry.path().string());
  return names;
}

// Types a text into a field of the main window and presses Enter, as a user does.
void Type(gui::Program& program, int id, const QString& text) {
  auto* field = qobject_cast<QLineEdit*>(program.window.control(id));
  ASSERT_NE(field, nullptr);
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Return);
}

// The child: starts the program in the state directory it is given, switches
// the matrix on, types a serial number, then "+" after it without Enter, and
// runs until it is ended.
TEST(ProgramChild, DISABLED_EditsThenRunsUntilEnded) {
  gui::Program program("");
  program.boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
  program.Start(std::time(nullptr));
  program.events.OnCommand(ui::id::kCheckPresence);
  program.events.OnCommand(ui::id::kEnableMatrix);
  Type(program, ui::id::kSerial, QString::fromUtf8(std::getenv("VELTRANE_TEST_SERIAL")));
  auto* field = qobject_cast<QLineEdit*>(program.window.control(ui::id::kSerial));
  field->end(false);
  QTest::keyClicks(field, QStringLiteral("+"));
  EXPECT_EQ(QApplication::exec(), 0);
}

class ProgramEnd : public ::testing::Test {
 protected:
  std::string Recovery() const { return state.path() + "/veltrane/recovery"; }
  std::string Log() const { return ReadFileText(state.path() + "/veltrane/vtlog.txt"); }

  // Starts the child and waits until it has written its recovery copy.
  pid_t StartChild(const std::string& serial) {
    std::vector<std::string> env = {"VELTRANE_TEST_CHILD=1",
                                    "VELTRANE_RECOVERY_SECONDS=1",
                                    "QT_QPA_PLATFORM=offscreen",
                                    "XDG_STATE_HOME=" + state.path(),
                                    "VELTRANE_TEST_SERIAL=" + serial,
                                    "NIRVEX_DEVICE=sim:" + state.File("kb.sim") + ",time=virtual"};
    for (char** e = environ; *e != nullptr; ++e)
      if (std::string_view(*e).starts_with("PATH=")) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=ProgramChild.DISABLED_EditsThenRunsUntilEnded";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t quiet;  // the library's "Found keyboard" lines
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, self.c_str(), &quiet, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&quiet);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Named(Recovery(), ".recovery").empty() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Named(Recovery(), ".recovery").size(), 1u) << "the child wrote no recovery copy";
    return pid;
  }

  // Starts the program here, answers the recovery question with Restore.
  std::vector<std::string> RestoreInNextStart(const std::function<void(gui::Program&)>& check) {
    const std::string before = std::getenv("XDG_STATE_HOME");
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    std::vector<std::string> questions;
    {
      gui::Program program("");
      program.boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
      program.boxes.SetRestoreAnswer([&](const std::string& question) {
        questions.push_back(question);
        return ui::RestoreChoice::Restore;
      });
      program.Start(std::time(nullptr));
      check(program);
    }
    ::setenv("XDG_STATE_HOME", before.c_str(), 1);
    return questions;
  }

  TempDir state;
};

TEST_F(ProgramEnd, WorkSurvivesAKillAndIsRestoredAtTheNextStart) {
  // The period is 1 s here (30 s in use): the kill comes more than a period after the edit.
  const pid_t child = StartChild("SN-KILLED");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  const auto questions = RestoreInNextStart([](gui::Program& program) {
    auto* serial = qobject_cast<QLineEdit*>(program.window.control(ui::id::kSerial));
    EXPECT_EQ(serial->text(), QStringLiteral("SN-KILLED"));
    EXPECT_TRUE(program.window.windowTitle().contains(QStringLiteral(" *")));
  });
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].starts_with("Restore unsaved changes to the new definition from "))
      << questions[0];
}

TEST_F(ProgramEnd, EachEndSignalWritesTheCopyAndEndsWithStatusZeroAndNoLockFile) {
  for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
    const std::string serial = "SN-SIGNAL-" + std::to_string(number);
    const pid_t child = StartChild(serial);
    ASSERT_EQ(::kill(child, number), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << number;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Named(Recovery(), ".recovery").size(), 1u);
    EXPECT_EQ(Named(Recovery(), ".lock").size(), 0u);
    const std::string log = Log();
    EXPECT_NE(log.find("Matrix switched off at the end of the run"), std::string::npos) << log;
    EXPECT_NE(log.find("Ended by signal " + std::to_string(number)), std::string::npos) << log;
    RestoreInNextStart([&](gui::Program& program) {
      auto* field = qobject_cast<QLineEdit*>(program.window.control(ui::id::kSerial));
      // What was half typed when the signal came is in the copy.
      EXPECT_EQ(field->text(), QString::fromStdString(serial + "+"));
      program.recovery.Discard();  // as Exit would
    });
    EXPECT_EQ(Named(Recovery(), ".recovery").size(), 0u);
  }
}

TEST_F(ProgramEnd, ExitRemovesTheCopyAndSwitchesTheMatrixOff) {
  const std::string before = std::getenv("XDG_STATE_HOME");
  ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  ::setenv("NIRVEX_DEVICE", ("sim:" + state.File("kb.sim") + ",time=virtual").c_str(), 1);
  {
    gui::Program program("");
    program.boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
    program.boxes.SetChoice([](const std::string&) { return ui::SaveChoice::Discard; });
    program.Start(std::time(nullptr));
    program.events.OnCommand(ui::id::kCheckPresence);
    program.events.OnCommand(ui::id::kEnableMatrix);
    Type(program, ui::id::kSerial, QStringLiteral("SN-EXIT"));
    program.recovery.Follow(program.app);
    program.recovery.Flush();
    EXPECT_EQ(Named(Recovery(), ".recovery").size(), 1u);
    QTimer::singleShot(0, [&] { program.window.close(); });  // the close box
    EXPECT_EQ(QApplication::exec(), 0);
  }
  ::setenv("XDG_STATE_HOME", before.c_str(), 1);
  ::unsetenv("NIRVEX_DEVICE");
  EXPECT_EQ(Named(Recovery(), ".recovery").size(), 0u);
  EXPECT_EQ(Named(Recovery(), ".lock").size(), 0u);
  EXPECT_NE(Log().find("Matrix switched off at the end of the run"), std::string::npos) << Log();
}

}  // namespace
}  // namespace veltrane::testing
