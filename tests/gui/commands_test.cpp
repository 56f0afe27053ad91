// SPDX-License-Identifier: MIT
// The real program on the simulated keyboard: commands through the widgets,
// message boxes answered by the test, modal dialogs closed by a timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "gui/dialogs/control_widgets.h"
#include "gui/dialogs/layout_dialog.h"
#include "gui/keyedit/key_settings_dialog.h"
#include "gui/main_window_widgets.h"
#include "gui/program.h"
#include "modal_dialog.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/controls/control_ids.h"

namespace veltrane::testing {
namespace {

class ProgramCommands : public ::testing::Test {
 protected:
  ProgramCommands() {
    UseDevice("");
    home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  ~ProgramCommands() override {
    std::filesystem::current_path(home);
    ::unsetenv("NIRVEX_DEVICE");
  }
  // The simulated keyboard with its fault options, e.g. ",close=fail".
  void UseDevice(const std::string& options) {
    ::setenv("NIRVEX_DEVICE", ("sim:" + dir.File("kb.sim") + ",time=virtual" + options).c_str(), 1);
  }
  // A configuration with a string key at row 0, column 0.
  std::string WriteBoard() {
    ui::AppState source;
    ui::StartApplication(source);
    model::KeyDefinition& key = source.doc.def.keys[0];
    key.layers[0] = model::KeyLayer{};
    key.layers[0].used = 1;
    key.layers[0].keytype = model::STRING_KEY;
    key.layers[0].ibmkey = 0;
    key.complete = 1;
    source.doc.def.stringWorkBuffer[0][0] = model::StringChar{0, 0x04, 0x1C, 0};
    model::FlattenStrings(source.doc.def);
    const std::string path = dir.File("Board.DAT");
    EXPECT_TRUE(persist::WriteConfigFile(path, source.doc.def, source.doc.header));
    return path;
  }
  void Click(int id) {
    auto* button = qobject_cast<QAbstractButton*>(program->window.control(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
  }
  void Start(const std::string& commandLine) {
    program = std::make_unique<gui::Program>(commandLine);
    program->boxes.SetAnswer([this](const std::string& text, const std::string& caption,
                                    model::MessageIcon) { boxes.push_back(caption + "|" + text); });
    program->Start(0, dir.File("vtlog.txt"));
  }
  // "Save settings to file", with the name typed in the Save File dialog.
  void SaveAs(const std::string& name) {
    WithModalDialog([&] { Click(ui::id::kSave); },
                    [&](QDialog& dialog) {
                      auto& chooser = static_cast<gui::LayoutDialog&>(dialog);
                      chooser.Edit(35127)->setText(QString::fromStdString(name));
                      chooser.Button(1)->click();
                    });
  }
  bool Shown(const std::string& box) const {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
  }

  TempDir dir;
  std::filesystem::path home;
  std::vector<std::string> boxes;
  std::unique_ptr<gui::Program> program;
};

TEST_F(ProgramCommands, CommandLineFileIsProgrammedReadBackAndWritten) {
  Start(WriteBoard());
  ui::AppState& app = program->app;
  Click(ui::id::kProgram);
  EXPECT_TRUE(Shown("Download|Plug in the keyboard to program !"));
  EXPECT_TRUE(Shown("Load|Loaded configuration file !"));
  EXPECT_TRUE(Shown("nirvex|Done"));
  EXPECT_FALSE(Shown("Programming|Programming failed"));
  EXPECT_EQ(program->window.progressBar()->value(), 100);
  EXPECT_EQ(program->window.keyButton(0)->picture(), ui::KeyPicture::String);
  EXPECT_EQ(program->window.keyButton(1)->picture(), ui::KeyPicture::Incomplete);

  boxes.clear();
  Click(ui::id::kRead);
  EXPECT_TRUE(Shown("Reading|Keyboard read !"));
  EXPECT_EQ(app.doc.def.keys[0].layers[0].keytype, model::STRING_KEY);
  EXPECT_EQ(program->window.keyButton(0)->picture(), ui::KeyPicture::String);

  Click(ui::id::kWriteBin);
  EXPECT_TRUE(program->window.control(ui::id::kGenerate)->isEnabled());
  Click(ui::id::kGenerate);
  EXPECT_EQ(std::filesystem::file_size(dir.File("Board.BIN")), 8192u);
}

TEST_F(ProgramCommands, ProgramKeyboardSaysDoneOnlyForAKeyboardThatHoldsTheImage) {
  UseDevice(",drop=385");  // the word at 0x600 is acknowledged and not stored
  Start("");
  Click(ui::id::kProgram);
  EXPECT_EQ(boxes,
            (std::vector<std::string>{
                "Download|Plug in the keyboard to program !", "Programming|Programming failed",
                "Verify|4 bytes differ; first at 0x0600: wrote 0x00, read 0xff"}));
  UseDevice("");
  boxes.clear();
  Click(ui::id::kProgram);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Download|Plug in the keyboard to program !",
                                             "nirvex|Done"}));
  EXPECT_EQ(program->window.progressBar()->value(), 100);  // after the read-back's own 100 steps
}

TEST_F(ProgramCommands, MatrixButtonOpensKeySettingsWithTheQuestionMark) {
  Start("");
  QString title;
  ui::KeyPicture during = ui::KeyPicture::Unused;
  WithModalDialog([&] { program->window.keyButton(9)->click(); },
                  [&](QDialog& dialog) {
                    title = dialog.windowTitle();
                    during = program->window.keyButton(9)->picture();
                  });
  EXPECT_EQ(title, "Key Settings");
  EXPECT_EQ(during, ui::KeyPicture::Editing);
  EXPECT_EQ(program->window.keyButton(9)->picture(), ui::KeyPicture::Incomplete);

  WithModalDialog([&] { Click(ui::id::kLed2); },
                  [&](QDialog& dialog) { title = dialog.windowTitle(); });
  EXPECT_EQ(title, "Key LED settings");
  EXPECT_EQ(program->view.ledSlot, 1);
}

TEST_F(ProgramCommands, KeyRecordedInTheEditorIsShownAndSaved) {
  Start("");
  bool ran = false;
  QTimer::singleShot(0, [&] {
    gui::KeySettingsDialog* dialog = program->host.keyEditing()->keySettingsDialog();
    ASSERT_NE(dialog, nullptr);
    ran = true;
    dialog->findChild<QAbstractButton*>(gui::ControlObjectName(ui::id::kLayerUsedFirst))->click();
    dialog->findChild<QPushButton*>(gui::ControlObjectName(ui::id::kAssignMacroFirst))->click();
    QWidget* editor = program->host.stringEditorWindow();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, "a");  // native = evdev 30 + 8
      QApplication::sendEvent(editor, &key);
    }
    editor->findChild<QPushButton*>(gui::ControlObjectName(1))->click();  // the editor's "OK"
    dialog->findChild<QPushButton*>(gui::ControlObjectName(1))->click();  // the dialog's "OK"
  });
  program->window.keyButton(10)->click();
  ASSERT_TRUE(ran);
  const model::KeyDefinition& key = program->app.doc.def.keys[10];
  EXPECT_EQ(key.layers[0].ibmkey, 31);
  EXPECT_EQ(key.complete, 1);
  EXPECT_EQ(program->window.keyButton(10)->picture(), ui::KeyPicture::Complete);

  SaveAs("Edited");
  EXPECT_TRUE(Shown("Save|Saved configuration file !"));
  model::KeyboardDefinition saved;
  persist::HeaderImage header;
  ASSERT_EQ(persist::ReadConfigFile(dir.File("Edited.DAT"), saved, header),
            persist::LoadOutcome::Loaded);
  EXPECT_EQ(saved.keys[10].layers[0].ibmkey, 31);
}

TEST_F(ProgramCommands, TransferFaultsAreToldAndKeepTheDefinition) {
  Start(WriteBoard());
  Click(ui::id::kProgram);
  ASSERT_TRUE(Shown("nirvex|Done"));
  Click(ui::id::kEnableMatrix);  // V0527X has the switch
  EXPECT_TRUE(Shown("SetFocus|Matrix enabled"));
  Click(ui::id::kEnableMatrix);

  UseDevice(",refuse=5");
  boxes.clear();
  program->boxes.SetChoice([](const std::string&) { return ui::SaveChoice::Discard; });
  Click(ui::id::kRead);
  EXPECT_TRUE(Shown("Reading|The keyboard could not be read completely; nothing was decoded."));
  EXPECT_EQ(program->window.keyButton(0)->picture(), ui::KeyPicture::String);

  UseDevice(",refuse=1");
  boxes.clear();
  Click(ui::id::kEnableMatrix);
  EXPECT_FALSE(Shown("SetFocus|Matrix enabled"));
  EXPECT_TRUE(Shown("Enable matrix|The keyboard did not take the switch: its matrix stays off."));
  EXPECT_FALSE(
      qobject_cast<QCheckBox*>(program->window.control(ui::id::kEnableMatrix))->isChecked());

  UseDevice(",close=fail");
  boxes.clear();
  Click(ui::id::kProgram);
  EXPECT_FALSE(Shown("nirvex|Done"));
  EXPECT_TRUE(Shown("Programming|Programming failed"));
  boxes.clear();
  Click(ui::id::kRead);
  EXPECT_TRUE(
      Shown("Reading|The keyboard was read completely, but it could not be closed; "
            "nothing was decoded."));
  EXPECT_EQ(program->window.keyButton(0)->picture(), ui::KeyPicture::String);
}

TEST_F(ProgramCommands, TitleMarksUnsavedChangesAndTheCloseBoxAsksAboutThem) {
  Start("");
  std::vector<std::string> asked;
  program->boxes.SetChoice([&](const std::string& text) {
    asked.push_back(text);
    return ui::SaveChoice::Cancel;
  });
  Click(ui::id::kGlobalRepeat);
  EXPECT_EQ(program->window.windowTitle(), QStringLiteral("Veltrane * — simulated keyboard"));
  EXPECT_FALSE(program->window.close());
  EXPECT_EQ(asked, std::vector<std::string>{"Save changes to the new definition?"});

  // A save that cannot be written is told, and the name shown stays.
  SaveAs("nodir/x");  // taken in the chooser's directory, the one the program started in
  EXPECT_TRUE(
      Shown("Save File|Cannot open: " + dir.File("nodir/x.DAT") + ": No such file or directory"));
  EXPECT_EQ(qobject_cast<QLineEdit*>(program->window.control(ui::id::kFileName))->text(), "in.dat");
  SaveAs("Mine");
  EXPECT_EQ(program->window.windowTitle(), QStringLiteral("Veltrane — simulated keyboard"));
}

TEST_F(ProgramCommands, SaveFileChooserAsksBeforeReplacingAndStaysOpenOnNo) {
  Start("");
  SaveAs("Mine");
  ASSERT_TRUE(std::filesystem::exists(dir.File("Mine.DAT")));
  std::vector<std::string> asked;
  program->boxes.SetYesNo([&](const std::string& question) {
    asked.push_back(question);
    return false;
  });
  Click(ui::id::kGlobalRepeat);
  bool open = false;
  WithModalDialog([&] { Click(ui::id::kSave); },
                  [&](QDialog& dialog) {
                    auto& chooser = static_cast<gui::LayoutDialog&>(dialog);
                    chooser.Edit(35127)->setText("Mine");
                    chooser.Button(1)->click();
                    open = dialog.isVisible();  // for another name
                  });
  EXPECT_TRUE(open);
  EXPECT_EQ(asked, std::vector<std::string>{"Mine.DAT already exists. Replace it?"});
  EXPECT_EQ(program->window.windowTitle(), QStringLiteral("Veltrane * — simulated keyboard"));
}

TEST_F(ProgramCommands, KeyboardThatMayNotBeOpenedIsExplainedOnce) {
  UseDevice(",open=denied");
  Start("");
  Click(ui::id::kCheckPresence);
  Click(ui::id::kCheckPresence);
  const auto told = std::count_if(boxes.begin(), boxes.end(), [](const std::string& box) {
    return box.starts_with("Keyboard access|") &&
           box.find("permission denied") != std::string::npos &&
           box.find("SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"7a31|6c4e\"") != std::string::npos &&
           box.find("TAG+=\"uaccess\"") != std::string::npos &&
           box.find("GROUP") == std::string::npos;
  });
  EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace veltrane::testing
