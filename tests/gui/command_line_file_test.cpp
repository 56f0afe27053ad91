// SPDX-License-Identifier: MIT
// `veltrane FILE.DAT`: the file is what the window shows before the user can
// do anything, and no command writes a definition over it that the window
// did not show, whether it loaded or not.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "gui/dialogs/layout_dialog.h"
#include "gui/program.h"
#include "modal_dialog.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "simulated_desk.h"
#include "support/files.h"
#include "support/recording_messages.h"
#include "support/setting_places.h"
#include "support/temp_dir.h"
#include "tests/station/fake_port.h"
#include "ui/controls/control_ids.h"

namespace veltrane::testing {
namespace {

// What the window showed when it was first painted.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(gui::MainWindow& window) : window_(window) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted) {
      painted = true;
      key0 = window_.keyButton(0)->picture();
      fileName = qobject_cast<QLineEdit*>(window_.control(ui::id::kFileName))->text();
    }
    return false;
  }
  bool painted = false;
  ui::KeyPicture key0 = ui::KeyPicture::Unused;
  QString fileName;

 private:
  gui::MainWindow& window_;
};

class CommandLineFile : public SimulatedDesk {
 protected:
  // Board.DAT: a string key at row 0, column 0 and the serial number SN-B.
  void WriteBoard() {
    ui::AppState source;
    ui::StartApplication(source);
    model::KeyLayer& layer = source.doc.def.keys[0].layers[0];
    layer = model::KeyLayer{};
    layer.used = 1;
    layer.keytype = model::STRING_KEY;
    source.doc.def.keys[0].complete = 1;
    source.doc.def.stringWorkBuffer[0][0] = model::StringChar{0, 0x04, 0x1C, 0};
    source.doc.def.settings.SerialNumber = "SN-B";
    model::FlattenStrings(source.doc.def);
    ASSERT_TRUE(persist::WriteConfigFile(board, source.doc.def, source.doc.header));
  }
  void Start() {
    program = std::make_unique<gui::Program>(board);
    firstPaint = std::make_unique<FirstPaint>(program->window);
    program->window.surface()->installEventFilter(firstPaint.get());
    program->boxes.SetAnswer([this](const std::string& text, const std::string& caption,
                                    model::MessageIcon) { boxes.push_back(caption + "|" + text); });
    program->boxes.SetYesNo([this](const std::string& question) {
      asked.push_back(question);
      return replace;
    });
    program->boxes.SetChoice([](const std::string&) { return ui::SaveChoice::Discard; });
    program->host.SetStationPort(port, {std::chrono::milliseconds(5), nullptr, {}});
    program->Start(0, dir.File("vtlog.txt"));
  }
  void Click(int id) { qobject_cast<QAbstractButton*>(program->window.control(id))->click(); }
  // Runs a command whose chooser is answered with `name`.
  void Choose(const std::function<void()>& run, const std::string& name) {
    WithModalDialog(run, [&](QDialog& dialog) {
      auto& chooser = static_cast<gui::LayoutDialog&>(dialog);
      chooser.Edit(ui::id::kSaveName)->setText(QString::fromStdString(name));
      chooser.Button(ui::id::kOk)->click();
    });
  }
  void Menu(const QString& text) { TriggerMenu(program->window, text); }
  bool Shown(const std::string& box) const {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
  }
  // What a load of `path` brings: the type of key 0's first layer and the serial number.
  static std::pair<int, std::string> Held(const std::string& path) {
    model::KeyboardDefinition def;
    persist::HeaderImage header;
    persist::ReadConfigFile(path, def, header);
    return {def.keys[0].layers[0].keytype,
            std::string(header.Text(veltrane::testing::HeaderAt("SerialNumber")))};
  }

  std::string board = dir.File("Board.DAT");
  std::vector<std::string> boxes;
  std::vector<std::string> asked;
  bool replace = true;
  station::testing::FakePort port;
  std::unique_ptr<gui::Program> program;  // before the filter, which watches its window
  std::unique_ptr<FirstPaint> firstPaint;
};

const std::pair<int, std::string> kBoard{model::STRING_KEY, "SN-B"};

TEST_F(CommandLineFile, IsWhatTheWindowShowsFromItsFirstPaint) {
  WriteBoard();
  Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return firstPaint->painted; }));
  EXPECT_EQ(firstPaint->key0, ui::KeyPicture::String);
  EXPECT_EQ(firstPaint->fileName, "Board.DAT");
  EXPECT_EQ(boxes, std::vector<std::string>{"Load|Loaded configuration file !"});
  EXPECT_EQ(qobject_cast<QLineEdit*>(program->window.control(ui::id::kSerial))->text(), "SN-B");
  EXPECT_EQ(program->window.windowTitle(), QStringLiteral("Veltrane — simulated keyboard"));
}

TEST_F(CommandLineFile, SaveGenerateAndExportWriteTheDefinitionShown) {
  WriteBoard();
  Start();
  Choose([&] { Click(ui::id::kSave); }, "Board");
  EXPECT_EQ(asked, std::vector<std::string>{"Board.DAT already exists. Replace it?"});
  EXPECT_TRUE(Shown("Save|Saved configuration file !"));
  EXPECT_EQ(Held(board), kBoard);

  Click(ui::id::kWriteBin);
  Click(ui::id::kGenerate);
  const std::string image = ReadFileText(dir.File("Board.BIN"));
  ASSERT_EQ(image.size(), 8192u);
  EXPECT_EQ(image[0x500], model::STRING_KEY);
  EXPECT_EQ(image.substr(0x630, 5), std::string("SN-B\0", 5));

  Choose([&] { Menu(QString::fromUtf8("&Export as text\u2026")); }, "Board");
  EXPECT_NE(ReadFileText(dir.File("Board.json")).find("\"SN-B\""), std::string::npos);
  EXPECT_EQ(Held(board), kBoard);
}

TEST_F(CommandLineFile, ProgramAndReadUseTheDefinitionShownAndLeaveTheFile) {
  WriteBoard();
  const std::string file = ReadFileText(board);
  Start();
  Click(ui::id::kProgram);
  EXPECT_TRUE(Shown("nirvex|Done"));
  boxes.clear();
  Click(ui::id::kRead);
  EXPECT_TRUE(Shown("Reading|Keyboard read !"));
  EXPECT_EQ(program->window.keyButton(0)->picture(), ui::KeyPicture::String);
  EXPECT_EQ(ReadFileText(board), file);
}

TEST_F(CommandLineFile, OneThatDidNotLoadIsNeverWrittenOverAndNothingIsProgrammed) {
  std::string damaged(20000, '\0');
  damaged[4] = 5;  // version 5.0, but not a length any generation has
  std::ofstream(board, std::ios::binary) << damaged;
  Start();
  EXPECT_EQ(boxes, std::vector<std::string>{".DAT file|FileLength error !"});

  Click(ui::id::kProgram);
  EXPECT_TRUE(Shown("Download|Board.DAT was not loaded, so nothing was programmed."));
  Click(ui::id::kRead);
  EXPECT_TRUE(Shown("Reading|Board.DAT was not loaded, so the keyboard was not read."));
  EXPECT_FALSE(std::filesystem::exists(dir.File("kb.sim")));  // nothing reached the keyboard

  Menu(QString::fromUtf8("&Production line\u2026"));
  gui::ProductionLineWindow* line = program->host.productionLineWindow();
  ASSERT_NE(line, nullptr);
  line->StartButton()->click();
  EXPECT_TRUE(Shown(
      "Production line|The production line did not start: Board.DAT was not loaded, so nothing "
      "was programmed."));
  EXPECT_TRUE(program->window.surface()->isEnabled());
  line->close();

  replace = false;
  Choose([&] { Click(ui::id::kSave); }, "Board");
  EXPECT_EQ(asked, std::vector<std::string>{"Board.DAT already exists. Replace it?"});
  Click(ui::id::kWriteBin);
  Click(ui::id::kGenerate);
  Choose([&] { Menu(QString::fromUtf8("&Export as text\u2026")); }, "Board");
  EXPECT_EQ(ReadFileText(board), damaged);
}

TEST_F(CommandLineFile, TheProductionLineNeverLogsOverTheDefinitionsFile) {
  WriteBoard();
  const std::string file = ReadFileText(board);
  Start();
  Menu(QString::fromUtf8("&Production line\u2026"));
  gui::ProductionLineWindow* line = program->host.productionLineWindow();
  ASSERT_NE(line, nullptr);
  for (const auto& [field, text] :
       {std::pair{ui::ProductionLineField::LogFile, board},
        std::pair{ui::ProductionLineField::FirstSerial, std::string("SN0001")}}) {
    line->Field(field)->selectAll();
    QTest::keyClicks(line->Field(field), QString::fromStdString(text));
  }
  line->StartButton()->click();
  EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [](const std::string& box) {
    return box.starts_with("Output file|") && box.ends_with("nothing was written");
  }));
  EXPECT_TRUE(program->window.surface()->isEnabled());
  line->close();
  EXPECT_EQ(ReadFileText(board), file);
}

}  // namespace
}  // namespace veltrane::testing
