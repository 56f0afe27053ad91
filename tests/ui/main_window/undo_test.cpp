// SPDX-License-Identifier: MIT
// Undo and redo through the main window's controller: every kind of command
// is one step, the title's mark and the question follow the definition, and
// undo, redo and undo again give byte-identical definitions.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "model/key_tables.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "tests/ui/main_window/controller_fixture.h"
#include "ui/app/undo_commands.h"
#include "ui/controls/control_ids.h"
#include "ui/main_window/main_window_controller.h"

namespace veltrane::ui {
namespace {

constexpr int KeyButton(int row, int column) {
  return id::kFirstKeyButton + model::KeyIndex(row, column);
}

// The definition as a step covers it: keys, pointing-device values and
// strings as bytes, and the settings (the file name aside).
struct Document {
  std::string bytes;
  model::Settings settings;
  friend bool operator==(const Document&, const Document&) = default;
};

Document DocumentOf(const model::KeyboardDefinition& def) {
  Document document{{}, def.settings};
  const auto add = [&document](const auto& part) {
    document.bytes.append(reinterpret_cast<const char*>(&part), sizeof(part));
  };
  add(def.keys);
  add(def.settings.PointDeviceParams);
  add(def.stringWorkBuffer);
  document.settings.ConfigFileName.clear();
  return document;
}

void GiveMacro(model::KeyboardDefinition& def, int key, int layer, int n, int strokes) {
  model::KeyLayer& l =
      def.keys[static_cast<std::size_t>(key)].layers[static_cast<std::size_t>(layer)];
  l.keytype = model::STRING_KEY;
  l.ibmkey = n;
  l.used = 1;
  l.stringcharcount = strokes;
  for (int i = 0; i < strokes; ++i)
    def.stringWorkBuffer[n][i] = {0x02, static_cast<std::uint8_t>(4 + (i + n) % 26), 0x1C, 0};
  def.stringWorkBuffer[n][strokes] = model::StringChar{};
  model::UpdateKeyComplete(def.keys[static_cast<std::size_t>(key)]);
}

class UndoTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    host.choice = SaveChoice::Discard;
  }

  model::KeyboardDefinition& def() { return app.doc.def; }
  // A definition of some keys and macros, written as a file `name`.
  std::string WriteDefinition(const std::string& name, int seed) {
    AppState other;
    StartApplication(other);
    for (int k = 0; k < 40; ++k) {
      model::AssignTableKey(other.doc.def.keys[static_cast<std::size_t>(k + seed)].layers[0],
                            1 + (k * 7 + seed) % 100);
      other.doc.def.keys[static_cast<std::size_t>(k + seed)].layers[0].used = 1;
    }
    GiveMacro(other.doc.def, 100, 1, 0, 5 + seed);
    other.doc.def.settings.DebounceTime = 10 + static_cast<std::uint32_t>(seed);
    model::FlattenStrings(other.doc.def);
    const std::string path = dir.File(name);
    EXPECT_TRUE(persist::WriteConfigFile(path, other.doc.def, other.doc.header));
    return path;
  }

  // The keyboard holds the definition of `path`, to be read back; the window starts anew.
  void ProgramKeyboardWith(const std::string& path) {
    host.loadAnswer = path;
    controller.OnCommand(id::kLoad);
    controller.OnCommand(id::kProgram);
    controller.OnCommand(id::kNewClearAll);
    ForgetSteps(app);
    messages.shown.clear();
    host.asked.clear();
  }
};

TEST_F(UndoTest, AFieldIsOneStepNamedWithItsValuesAndTheTitleMarkFollowsAcrossASave) {
  EXPECT_FALSE(view.undoEnabled);
  controller.OnFieldCommitted(id::kDebounce, "12");
  EXPECT_EQ(view.undoCaption, "Undo DebounceTime 28 \u2192 12");
  EXPECT_TRUE(view.modified);
  controller.OnFieldCommitted(id::kDebounce, "12");  // the same value again is no step
  controller.OnCommand(id::kUndo);
  EXPECT_EQ(view.Field(id::kDebounce).text, "28");
  EXPECT_FALSE(view.modified);  // back at the definition kept
  EXPECT_EQ(view.redoCaption, "Redo DebounceTime 28 \u2192 12");
  EXPECT_FALSE(view.undoEnabled);
  controller.OnCommand(id::kRedo);
  host.saveAnswer = "desk";
  controller.OnCommand(id::kSave);
  EXPECT_FALSE(view.modified);
  EXPECT_EQ(app.history.UndoCount(), 1u);  // a save is no step
  controller.OnCommand(id::kUndo);
  EXPECT_TRUE(view.modified);
  EXPECT_EQ(SaveChangesQuestion(app), "Save changes to desk.DAT?");  // the file's name stays
  controller.OnCommand(id::kRedo);
  EXPECT_FALSE(view.modified);
}

TEST_F(UndoTest, UndoingALoadGivesBackTheDefinitionOnly) {
  const std::string path = WriteDefinition("board.DAT", 3);
  controller.OnFieldCommitted(id::kSerial, "SN-1");
  const Document mine = DocumentOf(def());
  host.loadAnswer = path;
  controller.OnCommand(id::kLoad);
  EXPECT_FALSE(view.modified);
  controller.OnCommand(id::kUndo);
  EXPECT_TRUE(DocumentOf(def()) == mine);
  EXPECT_EQ(app.doc.documentFile, path);  // the file the window belongs to stays
  EXPECT_EQ(SaveChangesQuestion(app), "Save changes to board.DAT?");
}

TEST_F(UndoTest, EveryKindOfCommandIsOneNamedStep) {
  const std::string board = WriteDefinition("board.DAT", 1);
  const std::string text = dir.File("other.json");
  {
    AppState other;
    StartApplication(other);
    persist::ReadConfigFile(WriteDefinition("other.DAT", 4), other.doc.def, other.doc.header);
    ASSERT_TRUE(persist::WriteDefinitionTextFile(text, other.doc.def, other.doc.header));
  }
  ProgramKeyboardWith(WriteDefinition("keyboard.DAT", 7));
  host.duringLed = [this] { app.doc.def.settings.Leds[1] = 3; };
  host.duringPointing = [this] { app.doc.def.settings.PointDeviceParams[4] = 77; };
  host.duringDialog = [this] { app.doc.def.keys[29].layers[0].ibmkey = 31; };
  host.layerAnswer = LayerChoice{0, 2};
  struct Case {
    std::function<void()> run;
    std::string name;
  };
  const std::vector<Case> cases = {
      {[&] { controller.OnFieldCommitted(id::kGain, "9"); }, "ScrollWheelGain 1 \u2192 9"},
      {[&] { controller.OnSelection(id::kRepeatRate, 3); },
       "DefRepRate \"60 mS\" \u2192 \"44 mS\""},
      {[&] { controller.OnListTextCommitted(id::kMaxScanRow, "9"); }, "MaxScanRow 14 \u2192 9"},
      {[&] { controller.OnCommand(id::kActivateBeep); }, "BeepLength 0 \u2192 100"},
      {[&] { controller.OnCommand(id::kLed2); }, "Led2 \"No LED\" \u2192 \"Num Lock LED\""},
      {[&] { controller.OnCommand(id::kPointDevSet); }, "Pointing Device"},
      {[&] { controller.OnCommand(KeyButton(3, 5)); }, "Key Settings 3/5"},
      {[&] { controller.OnKeyDropped(29, 38, model::KeyMove::Copy); }, "Copy 3/5 to 4/6"},
      {[&] {
         controller.OnKeySelected(29);
         controller.OnCommand(id::kCutKey);
         controller.OnKeySelected(40);
         controller.OnCommand(id::kPasteKey);
         EXPECT_EQ(view.markedKey, -1);  // a moved key is pasted once
       },
       "Move 3/5 to 5/0"},
      {[&] {
         controller.OnCommand(id::kCopyKey);  // 5/0, selected by the paste
         controller.OnKeySelected(41);
         controller.OnCommand(id::kPasteKey);
       },
       "Copy 5/0 to 5/1"},
      {[&] {
         controller.OnKeySelected(0);
         controller.OnCommand(id::kSwapKey);
       },
       "Swap 5/0 and 0/0"},
      {[&] { controller.OnCommand(id::kCopyLayer); }, "Copy Base to Fn2"},
      {[&] { controller.OnCommand(id::kClearLayer); }, "Clear Base"},
      {[&] { controller.OnCommand(id::kSwapLayers); }, "Swap Base and Fn2"},
      {[&] { controller.OnCommand(id::kNewClearAll); }, "New - Clear all"},
      {[&] {
         host.loadAnswer = board;
         controller.OnCommand(id::kLoad);
       },
       "Load board.DAT"},
      {[&] {
         host.loadAnswer = text;
         controller.OnCommand(id::kImportText);
       },
       "Import text other.json"},
      {[&] { controller.OnCommand(id::kRead); }, "Read Keyboard EEProm"},
  };
  for (const Case& c : cases) {
    const std::size_t before = app.history.UndoCount();
    c.run();
    EXPECT_EQ(app.history.UndoCount(), before + 1) << c.name;
    EXPECT_EQ(view.undoCaption, "Undo " + c.name);
  }
}

TEST_F(UndoTest, AKeyEditDeclinedForTheKeyMacroToolOrNotFittingTheStoreMakesNoStep) {
  GiveMacro(def(), 29, 0, 0, 70);
  GiveMacro(def(), 30, 1, 1, 70);
  ForgetSteps(app);
  host.keyInKeyMacroTool = 38;
  host.replaceAnswer = false;
  controller.OnKeyDropped(29, 38, model::KeyMove::Copy);
  ASSERT_EQ(host.replaceQuestions.size(), 1u);
  EXPECT_EQ(host.replaceQuestions[0],
            "Key Macro Tool|4/6 is open in the Key Macro Tool, whose OK would write over it. "
            "Copy 3/5 to 4/6 anyway?");
  controller.OnKeyDropped(38, 31, model::KeyMove::Copy);  // a copy from it changes it not
  EXPECT_EQ(host.replaceQuestions.size(), 1u);
  host.replaceAnswer = true;
  controller.OnKeyDropped(29, 38, model::KeyMove::Copy);  // the macros do not fit
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Macro store");
  EXPECT_EQ(app.history.UndoCount(), 0u);
  controller.OnKeyDropped(29, 38, model::KeyMove::Move);
  EXPECT_EQ(def().keys[38].layers[0].keytype, model::STRING_KEY);
}

TEST_F(UndoTest, ALayerEditCancelledInItsDialogIsNoStep) {
  controller.OnCommand(id::kSwapLayers);
  EXPECT_EQ(host.layerDialogs, std::vector<model::LayerEdit>{model::LayerEdit::Swap});
  EXPECT_EQ(app.history.UndoCount(), 0u);
}

TEST_F(UndoTest, NothingIsUndoneWhileTheProductionLineRunsOrACommandIsBusy) {
  controller.OnFieldCommitted(id::kDebounce, "12");
  app.locked = true;
  RefreshControls(app, view);
  controller.OnCommand(id::kUndo);
  controller.OnKeyDropped(0, 1, model::KeyMove::Swap);
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 12u);
  EXPECT_FALSE(view.undoEnabled);
  app.locked = false;
  link.duringTransfer = [this] { controller.OnCommand(id::kUndo); };
  controller.OnCommand(id::kProgram);
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 12u);
  controller.OnCommand(id::kUndo);
  EXPECT_EQ(app.doc.def.settings.DebounceTime, 28u);
}

TEST_F(UndoTest, UndoThenRedoThenUndoGivesByteIdenticalDefinitionsOverRandomCommands) {
  const std::string boards[] = {WriteDefinition("a.DAT", 2), WriteDefinition("b.DAT", 5)};
  ProgramKeyboardWith(boards[1]);
  const Document start = DocumentOf(def());
  std::mt19937 random(20250301);
  const auto pick = [&random](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  host.duringLed = [&] { app.doc.def.settings.Leds[0] = pick(6); };
  host.duringPointing = [&] {
    app.doc.def.settings.PointDeviceParams[static_cast<std::size_t>(pick(20))] =
        static_cast<std::uint8_t>(pick(256));
  };
  host.duringDialog = [&] {
    model::KeyDefinition& key =
        app.doc.def.keys[static_cast<std::size_t>(KeyIndexOf(view.editTarget))];
    if (pick(3) == 0) {
      GiveMacro(app.doc.def, KeyIndexOf(view.editTarget), pick(4), pick(20), 1 + pick(8));
    } else {
      model::AssignTableKey(key.layers[static_cast<std::size_t>(pick(4))], 1 + pick(120));
      model::UpdateKeyComplete(key);
    }
  };
  const std::vector<std::function<void()>> commands = {
      [&] { controller.OnFieldCommitted(id::kDebounce, std::to_string(pick(256))); },
      [&] { controller.OnFieldCommitted(id::kSerial, "SN" + std::to_string(pick(1000))); },
      [&] { controller.OnSelection(id::kRepeatDelay, pick(4)); },
      [&] { controller.OnCommand(pick(2) == 0 ? id::kEnablePointing : id::kPrefixMakeBreak); },
      [&] { controller.OnCommand(id::kLed1); },
      [&] { controller.OnCommand(id::kPointDevSet); },
      [&] { controller.OnCommand(KeyButton(pick(16), pick(8))); },
      [&] { controller.OnKeyDropped(pick(128), pick(128), static_cast<model::KeyMove>(pick(3))); },
      [&] {
        host.layerAnswer = LayerChoice{pick(4), pick(4)};
        controller.OnCommand(id::kCopyLayer + pick(3));
      },
      [&] {
        if (pick(4) == 0) controller.OnCommand(id::kNewClearAll);
      },
      [&] {
        host.loadAnswer = boards[pick(2)];
        controller.OnCommand(id::kLoad);
      },
      [&] {
        if (pick(3) == 0) controller.OnCommand(id::kRead);
      },
      [&] { controller.OnCommand(id::kUndo); },
      [&] { controller.OnCommand(id::kRedo); },
  };
  int checked = 0;
  for (int round = 0; round < 600; ++round) {
    commands[static_cast<std::size_t>(pick(static_cast<int>(commands.size())))]();
    if (app.history.UndoCount() == 0) continue;
    const Document now = DocumentOf(def());
    controller.OnCommand(id::kUndo);
    const Document undone = DocumentOf(def());
    ASSERT_FALSE(undone == now) << "round " << round;
    controller.OnCommand(id::kRedo);
    ASSERT_TRUE(DocumentOf(def()) == now) << "round " << round;
    controller.OnCommand(id::kUndo);
    ASSERT_TRUE(DocumentOf(def()) == undone) << "round " << round;
    EXPECT_EQ(view.modified, HasUnsavedChanges(app));
    controller.OnCommand(id::kRedo);
    ++checked;
  }
  EXPECT_GT(checked, 400);
  // Every step undone: the definition the history began with.
  while (app.history.UndoCount() > 0) controller.OnCommand(id::kUndo);
  EXPECT_TRUE(DocumentOf(def()) == start);
}

}  // namespace
}  // namespace veltrane::ui
