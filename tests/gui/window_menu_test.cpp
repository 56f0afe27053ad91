// SPDX-License-Identifier: MIT
// The File menu's text and production line entries and the Changed words only
// check box in the real program: choosers, the production line window with
// its events posted from the station's threads, the main window locked.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "gui/dialogs/layout_dialog.h"
#include "gui/program.h"
#include "modal_dialog.h"
#include "simulated_desk.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "tests/station/fake_port.h"
#include "ui/controls/control_ids.h"

namespace veltrane::testing {
namespace {

using ui::ProductionLineField;

class WindowMenu : public SimulatedDesk {
 protected:
  WindowMenu() {
    program = std::make_unique<gui::Program>("");
    program->boxes.SetAnswer([this](const std::string& text, const std::string& caption,
                                    model::MessageIcon) { boxes.push_back(caption + "|" + text); });
    program->boxes.SetChoice([](const std::string&) { return ui::SaveChoice::Discard; });
    program->host.SetStationPort(port, {std::chrono::milliseconds(5), nullptr, {}});
    program->Start(0, dir.File("vtlog.txt"));
  }
  void Menu(const QString& text) { TriggerMenu(program->window, text); }
  void Click(int id) { qobject_cast<QAbstractButton*>(program->window.control(id))->click(); }
  // Names the file in the chooser the menu entry opens; the chooser's title.
  QString SaveThroughChooser(const char* entry, const char* name) {
    QString title;
    WithModalDialog([&] { Menu(QString::fromUtf8(entry)); },
                    [&](QDialog& dialog) {
                      auto& chooser = static_cast<gui::LayoutDialog&>(dialog);
                      title = dialog.windowTitle();
                      chooser.Edit(ui::id::kSaveName)->setText(name);
                      chooser.Button(ui::id::kOk)->click();
                    });
    return title;
  }
  bool Shown(const std::string& box) const {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
  }
  // Waits for the station's threads; a guard against a hang, not a measure of speed.
  static bool Eventually(const std::function<bool()>& done) { return QTest::qWaitFor(done, 30000); }

  station::testing::FakePort port;
  std::vector<std::string> boxes;
  std::unique_ptr<gui::Program> program;  // last: ends before the port
};

TEST_F(WindowMenu, TextExportAndImportGoThroughTheirOwnChoosers) {
  program->controller.OnFieldCommitted(ui::id::kSerial, "SN-77");
  EXPECT_EQ(SaveThroughChooser("&Export as text\u2026", "desk"), "Export as text");
  EXPECT_TRUE(Shown("Save|Saved configuration file !"));
  ASSERT_TRUE(std::filesystem::exists(dir.File("desk.json")));

  program->controller.OnFieldCommitted(ui::id::kSerial, "other");
  QStringList offered;
  WithModalDialog([&] { Menu(QString::fromUtf8("&Import text\u2026")); },
                  [&](QDialog& dialog) {
                    auto& chooser = static_cast<gui::LayoutDialog&>(dialog);
                    QListWidget* files = chooser.List(ui::id::kLoadFiles);
                    for (int i = 0; i < files->count(); ++i) offered << files->item(i)->text();
                    files->setCurrentRow(0);
                    chooser.Button(ui::id::kOk)->click();
                  });
  EXPECT_EQ(offered, QStringList{"desk.json"});
  EXPECT_TRUE(Shown("Load|Loaded configuration file !"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(program->window.control(ui::id::kSerial))->text(), "SN-77");
}

TEST_F(WindowMenu, ThePictureIsExportedThroughTheChooserAndPrintedThroughThePrintDialog) {
  EXPECT_EQ(SaveThroughChooser("Export &picture\u2026", "keys.pdf"),
            "Export picture (.svg, .pdf, .png)");
  EXPECT_TRUE(Shown("Export picture|Saved picture keys.pdf"));
  EXPECT_TRUE(ReadFileText(dir.File("keys.pdf")).starts_with("%PDF-"));

  QString title;
  boxes.clear();
  WithModalDialog([&] { Menu(QString::fromUtf8("&Print\u2026")); },
                  [&](QDialog& dialog) { title = dialog.windowTitle(); });  // then cancelled
  EXPECT_EQ(title, "Print keymap");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowMenu, ChangedWordsOnlyRunsOnTheTransferThreadAndLogsWhatWasSent) {
  Click(ui::id::kProgram);  // a full download first
  ASSERT_TRUE(Shown("nirvex|Done"));
  Click(ui::id::kChangedWordsOnly);
  boxes.clear();
  Click(ui::id::kProgram);
  EXPECT_TRUE(Shown("Verify|Verified 3072 bytes"));
  EXPECT_FALSE(Shown("Programming|Programming failed"));
  program->log.Close();
  EXPECT_NE(ReadFileText(dir.File("vtlog.txt")).find("Sent 0 of 768 words\n"), std::string::npos);
}

TEST_F(WindowMenu, ProductionLineShowsItsKeyboardsAndLocksTheMainWindowWhileItRuns) {
  port.Plug("kb1");
  port.Plug("kb2");
  port.Hold("kb2");
  Menu(QString::fromUtf8("&Production line\u2026"));
  gui::ProductionLineWindow* line = program->host.productionLineWindow();
  ASSERT_NE(line, nullptr);
  QTest::keyClicks(line->Field(ProductionLineField::FirstSerial), "SN0001");
  QTest::keyClicks(line->Field(ProductionLineField::Count), "2");
  line->StartButton()->click();
  EXPECT_FALSE(program->window.surface()->isEnabled());
  port.WaitUntilHeld();
  ASSERT_TRUE(Eventually([&] { return line->PassedLabel()->text() == "1 PASS"; }));

  EXPECT_FALSE(line->close());  // not while a keyboard runs
  EXPECT_FALSE(program->window.close());
  EXPECT_TRUE(
      Shown("Production line|The production line is running. Stop it, and let its "
            "keyboards finish, before you exit."));

  port.Release();
  ASSERT_TRUE(Eventually([&] { return program->window.surface()->isEnabled(); }));
  QTableWidget* table = line->Table();
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->item(0, 1)->text(), "SN0001");
  EXPECT_EQ(table->item(1, 1)->text(), "SN0002");
  EXPECT_EQ(line->PassedLabel()->text(), "2 PASS");
  EXPECT_EQ(line->NextSerialLabel()->text(), "Next serial: SN0003");
  EXPECT_TRUE(line->close());
}

}  // namespace
}  // namespace veltrane::testing
