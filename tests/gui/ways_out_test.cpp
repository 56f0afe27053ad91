// SPDX-License-Identifier: MIT
// Every way out of the definition in the real window: a field half typed is
// handed over first, the question is asked as Exit asks it, and tearing the
// window down with a field still being typed in runs nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "gui/program.h"
#include "simulated_desk.h"
#include "support/temp_dir.h"
#include "ui/app/unsaved_changes.h"
#include "ui/controls/control_ids.h"

namespace veltrane::testing {
namespace {

// A field of the main window, what is typed into it and what that stores.
struct TypedField {
  int id;
  int before;  // a click that makes the field usable, or 0
  const char* typed;
  std::function<bool(const ui::AppState&)> stored;
};

class WaysOut : public SimulatedDesk {
 protected:
  void Start() {
    program = std::make_unique<gui::Program>("");
    program->boxes.SetAnswer([](const std::string&, const std::string&, model::MessageIcon) {});
    program->boxes.SetChoice([this](const std::string& question) {
      asked.push_back(question);
      return choice;
    });
    program->Start(0, dir.File("vtlog.txt"));
    program->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->window));
  }
  void Click(int id) { qobject_cast<QAbstractButton*>(program->window.control(id))->click(); }
  // The line the user types into: the field itself, or the field of a list.
  QLineEdit* Line(int id) {
    QWidget* widget = program->window.control(id);
    if (auto* list = qobject_cast<QComboBox*>(widget)) return list->lineEdit();
    return qobject_cast<QLineEdit*>(widget);
  }
  // Types into the field without Enter, keeping the focus there.
  void TypeInto(int id, const char* text) {
    QLineEdit* line = Line(id);
    ASSERT_NE(line, nullptr) << id;
    ASSERT_TRUE(line->isEnabled()) << id;
    QWidget* widget = program->window.control(id);  // a list passes its keys to its line
    widget->setFocus();
    line->selectAll();
    QTest::keyClicks(widget, text);
    ASSERT_EQ(line->text(), QString::fromUtf8(text));
  }
  void Menu(const char* text) { TriggerMenu(program->window, QString::fromUtf8(text)); }

  std::vector<std::string> asked;
  ui::SaveChoice choice = ui::SaveChoice::Cancel;
  std::unique_ptr<gui::Program> program;
};

using ui::AppState;

// Every field a user can type into, with a text that changes what it holds.
const TypedField kFields[] = {
    {ui::id::kDebounce, 0, "5",
     [](const AppState& a) { return a.doc.def.settings.DebounceTime == 5u; }},
    {ui::id::kSerial, 0, "SN123",
     [](const AppState& a) { return a.doc.def.settings.SerialNumber == "SN123"; }},
    {ui::id::kGain, 0, "7",
     [](const AppState& a) { return a.doc.def.settings.ScrollWheelGain == 7; }},
    {ui::id::kBeepLength, ui::id::kActivateBeep, "150",
     [](const AppState& a) { return a.doc.def.settings.BeepLength == 150; }},
    {ui::id::kVersion, 0, "412", [](const AppState& a) { return a.doc.versionText == "412"; }},
    {ui::id::kRepeatDelay, 0, "Fastest",
     [](const AppState& a) { return a.doc.def.settings.DefRepDelay == 3; }},
    {ui::id::kRepeatRate, 0, "72 mS",
     [](const AppState& a) { return a.doc.def.settings.DefRepRate == 9; }},
    {ui::id::kMaxScanRow, 0, "3",
     [](const AppState& a) { return a.doc.def.settings.MaxScanRow == 3; }},
    {ui::id::kPointDevice, ui::id::kEnablePointing, "Gyro Kestan",
     [](const AppState& a) { return a.doc.def.settings.PointDevice == 2; }},
};

// QtWindowHost::Exit asked the event loop to end; none ran. One is run and
// ended here, so that the loops of later tests in this process run again.
void EndRequestedQuit() {
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

TEST_F(WaysOut, CloseBoxHandsOverAFieldBeingTypedInAndAsksAsExitDoes) {
  for (const TypedField& field : kFields) {
    SCOPED_TRACE(field.id);
    Start();
    if (field.before != 0) Click(field.before);
    const bool changedBefore = ui::HasUnsavedChanges(program->app);
    asked.clear();
    choice = ui::SaveChoice::Cancel;
    TypeInto(field.id, field.typed);
    EXPECT_FALSE(program->window.close());
    EXPECT_TRUE(field.stored(program->app));
    // The version text is no part of the definition; everything else is.
    const bool definition = field.id != ui::id::kVersion || changedBefore;
    EXPECT_EQ(asked,
              std::vector<std::string>(definition ? 1 : 0, "Save changes to the new definition?"));
    EXPECT_TRUE(program->window.isVisible());

    // Discard ends the run; the window goes with a field typed in again.
    choice = ui::SaveChoice::Discard;
    program->window.close();
    EndRequestedQuit();
    TypeInto(field.id, field.typed);
    program.reset();
  }
}

TEST_F(WaysOut, EveryCommandThatLeavesTheDefinitionHandsOverTheFieldFirst) {
  Start();
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"File > Exit", [this] { Menu("E&xit"); }},
      {"New", [this] { Click(ui::id::kNewClearAll); }},
      {"Load", [this] { Click(ui::id::kLoad); }},
      {"Import", [this] { Menu("&Import text\u2026"); }},
      {"Read", [this] { Click(ui::id::kRead); }},
  };
  int n = 0;
  for (const auto& [name, run] : ways) {
    SCOPED_TRACE(name);
    asked.clear();
    const std::string serial = "SN" + std::to_string(++n);
    TypeInto(ui::id::kSerial, serial.c_str());
    run();
    EXPECT_EQ(program->app.doc.def.settings.SerialNumber, serial);
    EXPECT_EQ(asked, std::vector<std::string>{"Save changes to the new definition?"});
    EXPECT_TRUE(program->window.isVisible());
  }
}

TEST_F(WaysOut, TearingTheWindowDownWhileAFieldIsTypedInRunsNoCommit) {
  for (const TypedField& field : kFields) {
    SCOPED_TRACE(field.id);
    Start();
    if (field.before != 0) Click(field.before);
    TypeInto(field.id, field.typed);
    program.reset();  // the field loses its focus to a window that is going
  }
}

}  // namespace
}  // namespace veltrane::testing
