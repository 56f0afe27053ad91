// SPDX-License-Identifier: MIT
#include "ui/keyedit/key_settings_model.h"

#include <algorithm>

#include "model/key_tables.h"
#include "tests/ui/keyedit/key_editing_fixture.h"
#include "ui/app/unsaved_changes.h"
#include "ui/keyedit/string_editor_model.h"

namespace veltrane::ui {
namespace {

class KeySettingsTest : public KeyEditingTest {
 protected:
  void SetUp() override {
    CreateStringEditor(editor, def);
    StartKeySettingsDialog(dialog, editor, context);
  }
  int Command(int id) { return OnKeySettingsCommand(dialog, editor, context, id); }
  std::array<int, 2> At() const { return {target.row, target.column}; }

  StringEditorModel editor;
  KeySettingsModel dialog;
};

TEST_F(KeySettingsTest, LoadAndStoreGoThroughTheListsAndKeepStringNumbers) {
  target = {true, 12, 3};
  Key().layers[0] = {1, {}, 31, 0, model::NORMAL_KEY};
  Key().layers[1] = {1, {}, 0, 0, model::STRING_KEY};
  Key().layers[2] = {0, {}, 31, 0, 0x80};  // light up: no key type shown
  Key().layers[3] = {0, {}, 400, 0, model::NORMAL_KEY};
  LoadKeyIntoDialog(dialog, def, target);
  EXPECT_EQ(dialog.positionText, "3/12");
  EXPECT_EQ(dialog.layers[1].keyType.selection, 17);
  EXPECT_EQ(dialog.layers[2].keyType.selection, -1);
  EXPECT_EQ(dialog.layers[3].ibmKey.selection, -1);
  dialog.legend.text = std::string(40, 'x');
  EXPECT_EQ(Command(1), 1);
  EXPECT_FALSE(dialog.running);
  EXPECT_EQ(Key().complete, 1);
  EXPECT_EQ(Key().layers[1].ibmkey, 0);
  EXPECT_EQ(Key().layers[2].ibmkey, 31);
  EXPECT_EQ(Key().layers[3].ibmkey, 255);
  EXPECT_EQ(model::FieldText(Key().legend), std::string(31, 'x'));
  EXPECT_EQ(Key().legend[31], '\0');
  EXPECT_EQ(host.repaints, 1);
  EXPECT_EQ(log.text(), "StoreEveryThing bIBMKey = ");
}

TEST_F(KeySettingsTest, CheckBoxesWriteThroughAndCancelGivesTheKeyBack) {
  Key().complete = 1;
  StartKeySettingsDialog(dialog, editor, context);
  const model::KeyboardDefinition before = def;
  Command(id::kKeyUsed);
  Command(id::kLayerUsedFirst + 2);
  Command(id::kLayerUsedFirst + 3);
  Command(id::kKeyEnabled);  // display only
  EXPECT_FALSE(dialog.keyUsed.checked);
  EXPECT_EQ((std::array{Key().used, Key().layers[2].used, Key().layers[3].used, Key().enabled}),
            (std::array<std::uint8_t, 4>{0, 1, 1, 1}));  // at once, before any store
  dialog.legend.text = "changed";
  EXPECT_EQ(Command(2), 2);
  EXPECT_TRUE(SameDefinition(before, def));  // no "*" in the title
  EXPECT_EQ((std::array{Key().used, Key().layers[2].used, Key().layers[3].used, Key().complete}),
            (std::array<std::uint8_t, 4>{1, 0, 0, 1}));
  EXPECT_EQ(model::FieldText(Key().legend), "Nothing");
  EXPECT_EQ(host.repaints, 2);  // the click on "This key is used", then the key given back
  EXPECT_TRUE(log.text().empty());
  // A light control on layer 0 makes the key used again when it is stored.
  Key().used = 0;
  Key().layers[0].keytype = model::LOCAL_ILLUMINATION_KEY;
  Command(1);
  EXPECT_EQ((std::array{Key().used, Key().complete}), (std::array<std::uint8_t, 2>{1, 1}));
}

TEST_F(KeySettingsTest, CancelGivesBackMacrosRecordedMeanwhileAndKeepsStepsStored) {
  Key().layers[1] = {1, {}, 0, 0, model::STRING_KEY};
  def.stringWorkBuffer[0][0] = {0, 0x04, 0x1C, 0};
  def.stringWorkBuffer[0][1] = {0, 0x05, 0x32, 0};
  def.settings.NumberOfStrings = 1;
  StartKeySettingsDialog(dialog, editor, context);
  const model::KeyboardDefinition before = def;
  const auto record = [&](int layer, std::vector<MacroLine> lines) {
    Command(id::kAssignMacroFirst + layer);
    editor.lines = std::move(lines);
    OnStringEditorCommand(editor, context, id::kOk);
  };
  record(0, {PlainLine("F13"), PlainLine("F14"), PlainLine("F15")});  // a new macro, string 1
  record(1, {PlainLine("F16")});                                      // macro 0 freed
  ASSERT_EQ(Key().layers[0].ibmkey, 1);
  ASSERT_EQ(def.settings.NumberOfStrings, 1);
  Command(2);
  EXPECT_TRUE(SameDefinition(before, def));
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
  EXPECT_TRUE(def.stringWorkBuffer[1][0].IsTerminator());  // free again for the next macro
  EXPECT_EQ(model::StringLength(def.stringWorkBuffer[0]), 2);
  // What a step stored stays; Cancel gives back only the key shown since.
  StartKeySettingsDialog(dialog, editor, context);
  Command(id::kLayerUsedFirst);
  Command(id::kNext);
  Command(id::kKeyUsed);
  Command(2);
  EXPECT_EQ(def.keys[model::KeyIndex(2, 3)].layers[0].used, 1);
  EXPECT_EQ(def.keys[model::KeyIndex(2, 4)].used, 1);
}

TEST(FitLegendText, KeepsNoControlCharactersAndAtMost31BytesOnACharacterBoundary) {
  // A pasted line end or escape sequence would split the report's key line.
  EXPECT_EQ(FitLegendText("Enter\nkey\x1b[31m\t\x7f"), "Enterkey[31m");
  EXPECT_EQ(FitLegendText("a\xC2\x85"
                          "b\xC2\xA0"),
            "ab\xC2\xA0");  // NEL goes, NBSP stays
  const std::string euro = "\xE2\x82\xAC";
  EXPECT_EQ(FitLegendText(std::string(29, 'x') + euro), std::string(29, 'x'));
  EXPECT_EQ(FitLegendText(std::string(28, 'x') + euro + "y"), std::string(28, 'x') + euro);
  EXPECT_EQ(FitLegendText("\n" + std::string(31, 'x')), std::string(31, 'x'));
}

TEST_F(KeySettingsTest, StepsWrapAndPassOverPositionsNotEnabledExactly1) {
  target = {true, 15, 7};
  EXPECT_EQ(Command(id::kNext), 0);
  EXPECT_EQ(At(), (std::array{0, 0}));
  EXPECT_EQ(dialog.positionText, "0/0");
  Command(id::kPrevious);
  EXPECT_EQ(At(), (std::array{15, 7}));
  EXPECT_EQ(host.repaints, 4);
  EXPECT_EQ(log.text(), "StoreEveryThing bIBMKey = StoreEveryThing bIBMKey = ");

  target = {true, 3, 2};
  def.keys[model::KeyIndex(3, 3)].enabled = 0;
  def.keys[model::KeyIndex(3, 4)].enabled = 2;
  StepToNextKey(def, target);
  EXPECT_EQ(At(), (std::array{3, 5}));
  StepToPreviousKey(def, target);
  EXPECT_EQ(At(), (std::array{3, 2}));
  // With no position enabled the step ends after one round where it began.
  for (model::KeyDefinition& key : def.keys) key.enabled = 0;
  Command(id::kNext);
  EXPECT_EQ(At(), (std::array{3, 2}));
  Command(id::kPrevious);
  EXPECT_EQ(At(), (std::array{3, 2}));
  Key().enabled = 1;  // the only one: back to it after a round
  StepToNextKey(def, target);
  EXPECT_EQ(At(), (std::array{3, 2}));
}

TEST_F(KeySettingsTest, AssignMacroShowsTheLayerInTheEditor) {
  Key().layers[2] = {1, {}, 31, model::KEYMODE_ALT, model::NORMAL_KEY};
  editor.lines = {PlainLine("old line")};
  EXPECT_EQ(Command(id::kAssignMacroFirst + 2), 0);
  EXPECT_EQ(editor.editLayer, 2);
  EXPECT_TRUE(editor.visible);
  EXPECT_EQ(host.shows, 1);
  EXPECT_EQ(Texts(editor.lines), (std::vector<std::string>{"IBM Key 31\tAlt\t\t\t\t\t\t\t"}));
}

TEST_F(KeySettingsTest, TypingInAListSelectsByTheFirstLetters) {
  const int list = id::kIbmKeyListFirst + 1;
  const auto type = [&](char c, int ms) { return OnKeySettingsListChar(dialog, list, c, ms); };
  EXPECT_EQ(type('f', 1000), 134);  // "Fn1 Button"
  EXPECT_EQ(type('2', 1300), 154);  // "F20"
  EXPECT_EQ(type('9', 1500), 154);  // no "F29": the selection stays
  EXPECT_EQ(type('M', 2600), 132);  // after a pause a new prefix: "Middle Mouse Button"
  EXPECT_EQ(type('m', 2700), 143);  // the same letter again: the next one, "Mute"
  EXPECT_EQ(type('m', 2800), 132);  // and round
  Command(1);
  EXPECT_EQ(Key().layers[1].ibmkey, 132);
  EXPECT_EQ(Key().layers[1].keytype, model::MOUSE_BUTTON_KEY);  // the whole key, not its number
}

TEST_F(KeySettingsTest, AChosenKeyIsPendingUntilStoredAndCancelDropsIt) {
  Key().used = 0;
  Key().layers[1] = {0, {}, 31, model::KEYMODE_SHIFT, model::NORMAL_KEY, 0x1C, 0x1C, 0x04};
  StartKeySettingsDialog(dialog, editor, context);
  const int list = id::kIbmKeyListFirst + 1;
  ASSERT_TRUE(ChooseInKeySettingsList(dialog, list, 147));  // F13
  EXPECT_EQ(dialog.layers[1].note, kChosenNote);
  EXPECT_EQ(dialog.layers[1].keyType.selection, model::NORMAL_KEY);
  EXPECT_EQ(Command(2), 2);
  EXPECT_EQ(Key().layers[1].ibmkey, 31);

  StartKeySettingsDialog(dialog, editor, context);
  ChooseInKeySettingsList(dialog, list, 145);  // "Volume down"
  Command(1);
  const model::KeyLayer& layer = Key().layers[1];
  EXPECT_EQ((std::array{layer.keytype, layer.usbcode, layer.keymode}),
            (std::array<std::uint8_t, 3>{model::CONSUMER_KEY, 0x08, 0}));
  EXPECT_EQ((std::array{layer.used, Key().used, Key().complete}),
            (std::array<std::uint8_t, 3>{1, 1, 1}));
}

TEST_F(KeySettingsTest, AKeyTypeAsksForAKeyOfThatType) {
  const int keys = id::kIbmKeyListFirst, types = id::kKeyTypeListFirst;
  Key().layers[0] = {1, {}, 31, 0, model::NORMAL_KEY};
  LoadKeyIntoDialog(dialog, def, target);
  ChooseInKeySettingsList(dialog, types, model::MOUSE_BUTTON_KEY);
  EXPECT_EQ(dialog.layers[0].note, kWantedTypeNote);
  EXPECT_EQ(OnKeySettingsListChar(dialog, keys, 'm', 0), 132);  // "Middle Mouse Button", not "Mute"
  // Without a key of the type asked for, the store leaves the layer alone.
  ChooseInKeySettingsList(dialog, types, model::SYSTEM_KEY);
  Command(1);
  EXPECT_EQ(Key().layers[0].ibmkey, 31);
  EXPECT_EQ(Key().layers[0].keytype, model::NORMAL_KEY);
  // Never a string from the lists, nor a type without a key to choose.
  for (int type : {7, 17, 20, 21}) EXPECT_FALSE(IsChoosable(dialog, types, type)) << type;
  EXPECT_FALSE(IsChoosable(dialog, keys, 133));  // "String"
  // A macro layer's lists change only through "Assign Macro".
  Key().layers[2] = {1, {}, 5, 0, model::STRING_KEY};
  LoadKeyIntoDialog(dialog, def, target);
  EXPECT_EQ(OnKeySettingsListChar(dialog, keys + 2, 'f', 0), 5);
  EXPECT_EQ(dialog.layers[2].note, kMacroNote);
}

TEST_F(KeySettingsTest, TheEditorsOkKeepsTheTypedLegendAndOtherPendingChoices) {
  dialog.legend.text = "Prix\xE2\x82\xAC";
  ChooseInKeySettingsList(dialog, id::kIbmKeyListFirst + 3, 147);
  Command(id::kAssignMacroFirst);
  editor.lines = {PlainLine("IBM Key 31")};
  OnStringEditorCommand(editor, context, 1);
  EXPECT_EQ(dialog.legend.text, "Prix\xE2\x82\xAC");
  EXPECT_EQ(dialog.layers[3].note, kChosenNote);
  EXPECT_EQ(dialog.layers[0].ibmKey.selection, 31);
  EXPECT_TRUE(dialog.layers[0].used.checked);  // assigned, so used
}

}  // namespace
}  // namespace veltrane::ui
