#include "ui/key_settings_model.h"

#include <algorithm>

#include "model/key_tables.h"
#include "tests/ui/key_editing_fixture.h"
#include "ui/string_editor_model.h"

namespace veltrane::ui {
namespace {

class KeySettingsTest : public KeyEditingTest {
 protected:
  void SetUp() override {
    CreateStringEditor(editor, def);
    StartKeySettingsDialog(dialog, editor, context);
  }
  int Command(int id) { return OnKeySettingsCommand(dialog, editor, context, id); }
  void DisableAll() {
    for (model::KeyDefinition& key : def.keys) key.enabled = 0;
  }

  StringEditorModel editor;
  KeySettingsModel dialog;
};

TEST_F(KeySettingsTest, StartFillsTheListsAndShowsTheKey) {
  EXPECT_TRUE(dialog.running);
  EXPECT_EQ(editor.keySettingsDialog, &dialog);
  EXPECT_FALSE(dialog.keyEnabled.enabled);
  EXPECT_TRUE(dialog.keyEnabled.checked);
  for (const KeySettingsLayer& group : dialog.layers) {
    ASSERT_EQ(group.ibmKey.items.size(), 159u);
    ASSERT_EQ(group.keyType.items.size(), 23u);
    EXPECT_EQ(group.ibmKey.items[0], "No Key");
    EXPECT_EQ(group.ibmKey.items[158], "F24");
    EXPECT_EQ(group.keyType.items[17], "String Key");
    EXPECT_EQ(group.keyType.items[20], "Light Control Key");
    EXPECT_FALSE(group.ibmKey.enabled);
    EXPECT_FALSE(group.keyType.enabled);
    EXPECT_EQ(group.keyType.selection, model::UNUSED_KEY);
  }
  EXPECT_EQ(dialog.legend.text, "Nothing");
  EXPECT_EQ(dialog.positionText, "3/2");
}

TEST_F(KeySettingsTest, ControlsAreTheTemplatesInPixelsAndTheTwelveCreated) {
  const std::vector<ControlSpec>& controls = KeySettingsControls();
  const auto find = [&](int id) {
    return *std::find_if(controls.begin(), controls.end(),
                         [&](const ControlSpec& c) { return c.id == id; });
  };
  EXPECT_EQ(controls.size(), 39u);
  const ControlSpec ok = find(1);
  EXPECT_EQ(ok.kind, ControlKind::DefaultPushButton);
  EXPECT_EQ((std::array{ok.x, ok.y, ok.width, ok.height}), (std::array{509, 2, 75, 23}));
  const ControlSpec next = find(kIdNext);
  EXPECT_EQ((std::array{next.x, next.y, next.width, next.height}), (std::array{281, 491, 93, 29}));
  EXPECT_FALSE(find(kIdKeyEnabled).enabled);
  EXPECT_EQ(find(kIdGroupFirst + 3).text, "Fn2 / Fn1");
  const ControlSpec list = find(kIdIbmKeyListFirst + 2);
  EXPECT_EQ((std::array{list.x, list.y, list.width, list.height}), (std::array{75, 307, 180, 300}));
  EXPECT_FALSE(list.enabled);
  const ControlSpec assign = find(kIdAssignMacroFirst + 1);
  EXPECT_EQ(assign.text, "Assign Macro");
  EXPECT_EQ((std::array{assign.x, assign.y, assign.width, assign.height}),
            (std::array{350, 225, 180, 20}));
  EXPECT_EQ(std::count_if(controls.begin(), controls.end(),
                          [](const ControlSpec& c) { return c.kind == ControlKind::DropDownList; }),
            8);
  EXPECT_EQ(kKeySettingsWidth, 594);
  EXPECT_EQ(kKeySettingsHeight, 531);
}

TEST_F(KeySettingsTest, LoadShowsTheLayersAndNoSelectionOutsideTheLists) {
  Key(2, 3).layers[0] = {1, {}, 31, 0, model::NORMAL_KEY};
  Key(2, 3).layers[1] = {0, {}, 0, 0, model::STRING_KEY};
  Key(2, 3).layers[2] = {1, {}, 200, 0, 0x80};
  Key(2, 3).used = 0;
  LoadKeyIntoDialog(dialog, def, target);
  EXPECT_FALSE(dialog.keyUsed.checked);
  EXPECT_TRUE(dialog.layers[0].used.checked);
  EXPECT_EQ(dialog.layers[0].ibmKey.selection, 31);
  EXPECT_EQ(dialog.layers[1].ibmKey.selection, 0);
  EXPECT_EQ(dialog.layers[1].keyType.selection, 17);
  EXPECT_EQ(dialog.layers[2].keyType.selection, -1);
  EXPECT_EQ(dialog.layers[2].ibmKey.selection, -1);
  target = {true, 12, 3};
  LoadKeyIntoDialog(dialog, def, target);
  EXPECT_EQ(dialog.positionText, "3/12");
}

TEST_F(KeySettingsTest, StoreWritesLegendAndKeysAndDerivesComplete) {
  Key(2, 3).layers[1] = {1, {}, 0, 0, model::STRING_KEY};
  Key(2, 3).layers[2] = {0, {}, 31, 0, 0x80};
  LoadKeyIntoDialog(dialog, def, target);
  dialog.legend.text = std::string(40, 'x');
  EXPECT_EQ(Command(1), 1);
  EXPECT_FALSE(dialog.running);
  const model::KeyDefinition& key = Key(2, 3);
  EXPECT_EQ(key.complete, 1);
  EXPECT_EQ(key.layers[1].ibmkey, 0);
  EXPECT_EQ(key.layers[2].ibmkey, 31);
  EXPECT_EQ(key.layers[0].ibmkey, 0);
  EXPECT_EQ(model::FieldText(key.legend), std::string(31, 'x'));
  EXPECT_EQ(key.legend[31], '\0');
  EXPECT_EQ(host.repaints, 1);
  EXPECT_EQ(log.text(), "StoreEveryThing bIBMKey = ");
}

TEST_F(KeySettingsTest, StoreWrites255WhereTheListShowsNothing) {
  Key(2, 3).layers[3].ibmkey = 400;
  Key(2, 3).layers[0] = {1, {}, 600, 0, model::STRING_KEY};
  LoadKeyIntoDialog(dialog, def, target);
  StoreDialogIntoKey(dialog, context);
  EXPECT_EQ(Key(2, 3).layers[3].ibmkey, 255);
  EXPECT_EQ(Key(2, 3).layers[0].ibmkey, 600);
}

TEST_F(KeySettingsTest, LightControlOnLayer0MakesTheKeyUsed) {
  Key(2, 3).layers[0].keytype = model::LOCAL_ILLUMINATION_KEY;
  LoadKeyIntoDialog(dialog, def, target);
  Command(kIdKeyUsed);
  EXPECT_EQ(Key(2, 3).used, 0);
  Command(1);
  EXPECT_EQ(Key(2, 3).used, 1);
  EXPECT_EQ(Key(2, 3).complete, 1);
}

TEST_F(KeySettingsTest, CheckBoxesWriteThroughAndCancelStoresNothing) {
  Key(2, 3).complete = 1;
  Command(kIdKeyUsed);
  EXPECT_FALSE(dialog.keyUsed.checked);
  EXPECT_EQ(Key(2, 3).used, 0);
  EXPECT_EQ(host.repaints, 1);
  Command(kIdLayerUsedFirst + 2);
  EXPECT_TRUE(dialog.layers[2].used.checked);
  EXPECT_EQ(Key(2, 3).layers[2].used, 1);
  Command(kIdKeyEnabled);  // display only
  EXPECT_EQ(Key(2, 3).enabled, 1);
  dialog.legend.text = "changed";
  EXPECT_EQ(Command(2), 2);
  EXPECT_EQ(Key(2, 3).used, 0);
  EXPECT_EQ(Key(2, 3).complete, 1);
  EXPECT_EQ(model::FieldText(Key(2, 3).legend), "Nothing");
  EXPECT_TRUE(log.text().empty());
}

TEST_F(KeySettingsTest, StepsWrapAroundTheMatrix) {
  target = {true, 15, 7};
  LoadKeyIntoDialog(dialog, def, target);
  EXPECT_EQ(Command(kIdNext), 0);
  EXPECT_EQ(target.row, 0);
  EXPECT_EQ(target.column, 0);
  EXPECT_EQ(dialog.positionText, "0/0");
  Command(kIdPrevious);
  EXPECT_EQ(target.row, 15);
  EXPECT_EQ(target.column, 7);
  EXPECT_TRUE(target.editing);
  EXPECT_EQ(host.repaints, 4);
  EXPECT_EQ(log.text(), "StoreEveryThing bIBMKey = StoreEveryThing bIBMKey = ");
}

TEST_F(KeySettingsTest, StepsPassOverPositionsNotEnabledExactly1) {
  target = {true, 3, 2};
  Key(3, 3).enabled = 0;
  Key(3, 4).enabled = 2;
  StepToNextKey(def, target);
  EXPECT_EQ(target.column, 5);
  StepToPreviousKey(def, target);
  EXPECT_EQ(target.column, 2);
  // The only enabled position: a full round back to it.
  DisableAll();
  Key(3, 2).enabled = 1;
  StepToNextKey(def, target);
  EXPECT_EQ((std::array{target.row, target.column}), (std::array{3, 2}));
}

TEST_F(KeySettingsTest, StepsEndAfterOneRoundWithNoEnabledPosition) {
  DisableAll();
  Key(2, 3).legend[0] = 'Q';
  EXPECT_EQ(Command(kIdNext), 0);
  EXPECT_EQ((std::array{target.row, target.column}), (std::array{2, 3}));
  Command(kIdPrevious);
  EXPECT_EQ((std::array{target.row, target.column}), (std::array{2, 3}));
  EXPECT_FALSE(dialog.keyEnabled.checked);
}

TEST_F(KeySettingsTest, AssignMacroShowsTheLayerInTheEditor) {
  Key(2, 3).layers[2] = {1, {}, 31, model::KEYMODE_ALT, model::NORMAL_KEY};
  editor.lines = {"old line"};
  EXPECT_EQ(Command(kIdAssignMacroFirst + 2), 0);
  EXPECT_EQ(editor.editLayer, 2);
  EXPECT_TRUE(editor.visible);
  EXPECT_EQ(host.shows, 1);
  EXPECT_EQ(editor.lines, (std::vector<std::string>{"IBM Key 31\tAlt\t\t\t\t\t\t\t"}));
  EXPECT_TRUE(dialog.running);
}

TEST_F(KeySettingsTest, TypingInAListSelectsByTheFirstLetters) {
  const int list = kIdIbmKeyListFirst + 1;
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, 'f', 1000), 134);  // "Fn1 Button"
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, '2', 1300), 154);  // "F20"
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, '9', 1500), 154);  // no "F29": stays
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, 'M', 2600), 132);  // after a pause: "Middle ..."
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, 'm', 2700), 143);  // again: the next M, "Mute"
  EXPECT_EQ(OnKeySettingsListChar(dialog, list, 'm', 2800), 132);  // and round again
  EXPECT_EQ(OnKeySettingsListChar(dialog, 4242, 'm', 2900), -1);
  Command(1);
  EXPECT_EQ(Key(2, 3).layers[1].ibmkey, 132);
}

TEST(TypeAhead, PrefixBuildsUpUntilAPause) {
  const std::vector<std::string> items = {"apple", "Banana", "berry", "bb", "cherry"};
  TypeAhead state;
  EXPECT_EQ(TypeAheadSelect(state, items, -1, 'B', 0), 1);
  EXPECT_EQ(TypeAheadSelect(state, items, 1, 'E', 500), 2);
  EXPECT_EQ(TypeAheadSelect(state, items, 2, 'c', 1400), 2);  // "bec" matches none
  EXPECT_EQ(TypeAheadSelect(state, items, 2, 'c', 2500), 4);
  EXPECT_EQ(TypeAheadSelect(state, items, 4, 'b', 4000), 1);
  EXPECT_EQ(TypeAheadSelect(state, items, 1, 'b', 4100), 2);
  EXPECT_EQ(TypeAheadSelect(state, items, 2, 'b', 4200), 3);
  EXPECT_EQ(TypeAheadSelect(state, items, 3, 'b', 4300), 1);
  EXPECT_EQ(TypeAheadSelect(state, {}, -1, 'x', 9000), -1);
}

}  // namespace
}  // namespace veltrane::ui
