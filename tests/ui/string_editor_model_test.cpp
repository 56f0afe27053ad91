#include "ui/string_editor_model.h"

#include "model/key_tables.h"
#include "tests/ui/key_editing_fixture.h"
#include "ui/key_settings_model.h"
#include "ui/macro_capacity.h"

namespace veltrane::ui {
namespace {

constexpr int kCtrl = 0x1D;
constexpr int kShiftLeft = 0x2A;
constexpr int kShiftRight = 0x36;
constexpr int kAlt = 0x38;
constexpr int kA = 0x1E;  // IBM key 31
constexpr int kPrintScreen = 0x37;

class StringEditorTest : public KeyEditingTest {
 protected:
  void SetUp() override { CreateStringEditor(editor, def); }
  bool Command(int id) { return OnStringEditorCommand(editor, context, id); }
  void Press(int scan, bool extended = false) {
    OnStringEditorKeyDown(editor, scan, extended, false, false);
  }
  void Release(int scan, bool extended = false) {
    OnStringEditorKeyUp(editor, scan, extended, false);
  }
  void SelectLine(int line) { OnStringEditorListSelect(editor, line); }

  StringEditorModel editor;
};

TEST_F(StringEditorTest, CreationGivesTheControlsAndClearedState) {
  const std::vector<ControlSpec>& controls = StringEditorControls();
  ASSERT_EQ(controls.size(), 29u);
  EXPECT_EQ(controls[13].id, kIdStringEditorList);
  EXPECT_EQ((std::array{controls[13].x, controls[13].y, controls[13].width, controls[13].height}),
            (std::array{10, 10, 500, 240}));
  EXPECT_EQ(controls[17].id, kIdEcho);
  EXPECT_EQ((std::array{controls[17].x, controls[17].y}), (std::array{10, 265}));
  EXPECT_EQ(controls[28].text, "Light Down");
  EXPECT_EQ(editor.extraKeys.items.size(), 13u);
  EXPECT_EQ(editor.extraKeys.items[5], "F17");
  EXPECT_EQ(editor.extraKeys.selection, 0);
  EXPECT_EQ(editor.fnLightKey, 4095);
  EXPECT_FALSE(editor.visible);
  for (const ControlSpec& c : controls) {
    if (c.kind == ControlKind::CheckBox) {
      EXPECT_FALSE(IsCheckBoxChecked(editor, c.id)) << c.text;
    }
  }
  EXPECT_EQ(editor.capacityText, "Macro strokes: 0 of 64");
}

TEST_F(StringEditorTest, CapturedLinesCarryTheHeldModifiers) {
  Press(kCtrl);
  EXPECT_TRUE(editor.flags.ctrlLeft);
  EXPECT_TRUE(IsCheckBoxChecked(editor, kIdCheckCtrlLeft));
  OnStringEditorKeyDown(editor, kA, false, false, false, "a");
  Release(kCtrl);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  EXPECT_EQ(editor.lines, (std::vector<std::string>{"IBM Key 31\t\tCtrl l\t\t\t\t\t\t"}));
  EXPECT_EQ(editor.echoText, "a");

  Press(kCtrl, true);
  EXPECT_TRUE(editor.flags.ctrlRight);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  Press(kShiftRight);
  Press(kA);
  EXPECT_EQ(editor.lines[1], "IBM Key 31\t\tCtrl r\tShift r\t\t\t\t\t");
  Release(kShiftRight);
  Release(kCtrl, true);
  Press(kShiftLeft);
  editor.flags.altGr = editor.flags.base = editor.flags.repeatOff = true;
  Press(kA);
  EXPECT_EQ(editor.lines[2], "IBM Key 31\t\t\tShift l \tBase\tRep Off\tAlt Gr1\t\t");
  EXPECT_EQ(editor.lines.size(), 3u);
}

TEST_F(StringEditorTest, KeysWhileAltIsHeldArePressedAndReleasedAtOnce) {
  OnStringEditorKeyDown(editor, kAlt, false, true, true);
  EXPECT_TRUE(editor.flags.alt);
  OnStringEditorKeyDown(editor, kA, false, true, true);
  EXPECT_EQ(editor.lines, (std::vector<std::string>{"IBM Key 31\tAlt\t\t\t\t\t\t\t"}));
  OnStringEditorKeyDown(editor, kCtrl, false, true, true);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  OnStringEditorKeyUp(editor, kAlt, false, false);
  EXPECT_FALSE(editor.flags.alt);
  // A scan code beyond the lists names no key.
  Press(0x70);
  EXPECT_EQ(editor.lines[1], "IBM Key 0\t\t\t\t\t\t\t\t");
}

TEST_F(StringEditorTest, PrintScreenIsTakenOnItsRelease) {
  editor.flags.shiftLeft = editor.flags.lightUp = true;
  Release(kPrintScreen, true);
  EXPECT_EQ(editor.lines, (std::vector<std::string>{"IBM Key 124\t\t\t\t\t\t\t\t"}));
  Press(kPrintScreen, true);
  EXPECT_EQ(editor.lines[1], "IBM Key 124\t\t\tShift l \t\t\t\tLight1Up\t");
  Release(kPrintScreen);  // without the extended flag: keypad *, nothing on release
  EXPECT_EQ(editor.lines.size(), 2u);
}

TEST_F(StringEditorTest, ButtonsAddLinesAndTakeTheFocusBack) {
  const std::pair<int, std::string_view> buttons[] = {{kIdLeftMouse, "Left Mouse Button"},
                                                      {kIdMiddleMouse, "Middle Mouse Button"},
                                                      {kIdRightMouse, "Right Mouse Button"},
                                                      {kIdFn1, "Fn1 Button"},
                                                      {kIdFn2, "Fn2 Button"},
                                                      {kIdMute, "Mute"},
                                                      {kIdVolumeUp, "Volume up"},
                                                      {kIdVolumeDown, "Volume down"},
                                                      {kIdStopSun, "Stop SUN"},
                                                      {kIdFnLight, "Fn Light Control"}};
  for (const auto& [id, name] : buttons) {
    EXPECT_TRUE(Command(id));
    EXPECT_EQ(editor.lines.back(), std::string(name) + "\t\t\t\t\t\t\t\t");
  }
  EXPECT_EQ(editor.fnLightKey, model::KeyIndex(2, 3));
  EXPECT_TRUE(Command(kIdGetFocus));
  EXPECT_EQ(host.focuses, 11);
  EXPECT_EQ(editor.lines.size(), 10u);

  OnExtraKeySelected(editor, 5);
  EXPECT_EQ(editor.lines.back(), "F17\t\t\t\t\t\t\t\t");
  OnExtraKeySelected(editor, 0);
  EXPECT_EQ(editor.lines.size(), 11u);
  EXPECT_EQ(host.focuses, 11);

  EXPECT_TRUE(Command(kIdDelete));  // no selection: nothing
  EXPECT_EQ(editor.lines.size(), 11u);
  SelectLine(1);
  Command(kIdDelete);
  EXPECT_EQ(editor.lines[1], "Right Mouse Button\t\t\t\t\t\t\t\t");
  EXPECT_EQ(editor.selection, -1);
  Command(kIdClear);
  EXPECT_TRUE(editor.lines.empty());
}

TEST_F(StringEditorTest, CheckBoxesRewriteTheSelectedLine) {
  Command(kIdLeftMouse);
  Command(kIdFn1);
  editor.lines.push_back("IBM Key 31\tAlt\t\tShift l \t\t\tAlt Gr1\tLight1Down\t");
  SelectLine(2);
  EXPECT_TRUE(editor.flags.alt && editor.flags.shiftLeft && editor.flags.altGr);
  EXPECT_FALSE(editor.flags.shiftRight);
  EXPECT_TRUE(editor.flags.lightDown);
  EXPECT_FALSE(editor.flags.lightUp);
  EXPECT_FALSE(Command(kIdCheckBase));
  EXPECT_EQ(editor.lines[2], "IBM Key 31\tAlt\t\tShift l\tBase\t\tAlt Gr4\tLight4Down\t");
  EXPECT_EQ(editor.selection, 2);
  Command(kIdCheckLightUp);
  EXPECT_EQ(editor.lines[2], "IBM Key 31\tAlt\t\tShift l\tBase\t\tAlt Gr4\tLight4Up\t");
  EXPECT_EQ(host.focuses, 2);

  // Reading a line with no columns clears every flag.
  SelectLine(0);
  EXPECT_FALSE(editor.flags.alt || editor.flags.base || editor.flags.lightUp);
  OnStringEditorListSelect(editor, -1);
  Command(kIdCheckCtrlRight);
  EXPECT_TRUE(editor.flags.ctrlRight);
  EXPECT_EQ(editor.lines[0], "Left Mouse Button\t\t\t\t\t\t\t\t");
  // The light-control display is all name.
  editor.lines = {"Fn3Light Control"};
  SelectLine(0);
  EXPECT_TRUE(editor.flags.ctrlRight);  // no columns to read
  Command(kIdCheckCtrlRight);
  EXPECT_EQ(editor.lines[0], "Fn3Light Control\t\t\t\t\t\t\t\t");
}

TEST_F(StringEditorTest, FlagsSurviveCancelAndTheNextLayer) {
  Key(2, 3).layers[0] = {1, {}, 31, 0, model::NORMAL_KEY};
  Key(2, 3).layers[1] = {1, {}, 32, 0, model::NORMAL_KEY};
  OpenStringEditorForLayer(editor, context, 0);
  Command(kIdCheckAlt);
  Command(kIdLeftMouse);
  EXPECT_FALSE(Command(2));
  EXPECT_FALSE(editor.visible);
  EXPECT_EQ(host.hides, 1);
  EXPECT_EQ(Key(2, 3).layers[0].ibmkey, 31);
  OpenStringEditorForLayer(editor, context, 1);
  EXPECT_EQ(editor.lines, (std::vector<std::string>{"IBM Key 32\t\t\t\t\t\t\t\t"}));
  EXPECT_TRUE(editor.flags.alt);
  EXPECT_EQ(editor.editLayer, 1);
}

TEST_F(StringEditorTest, OkAssignsTheLayerAndRefreshesTheDialog) {
  KeySettingsModel dialog;
  StartKeySettingsDialog(dialog, editor, context);
  OnKeySettingsCommand(dialog, editor, context, kIdAssignMacroFirst + 3);
  Press(kA);
  Press(0x30);
  OnStringEditorKeyDown(editor, 0x1C, true, false, false);  // keypad Enter
  EXPECT_FALSE(Command(1));
  EXPECT_FALSE(editor.visible);
  const model::KeyLayer& layer = Key(2, 3).layers[3];
  EXPECT_EQ(layer.keytype, model::STRING_KEY);
  EXPECT_EQ(layer.ibmkey, 0);
  EXPECT_EQ(def.stringWorkBuffer[0][2].characterUSB, model::IbmKeyTable[108].usb);
  EXPECT_EQ(dialog.layers[3].keyType.selection, 17);
  EXPECT_EQ(dialog.layers[3].ibmKey.selection, 0);
  EXPECT_EQ(editor.capacityText, "Macro strokes: 3 of 64");
  // The dialog's store keeps the string number.
  EXPECT_EQ(OnKeySettingsCommand(dialog, editor, context, 1), 1);
  EXPECT_EQ(layer.ibmkey, 0);
  EXPECT_EQ(Key(2, 3).complete, 0);  // layer 3 is not marked used
  EXPECT_EQ(log.text(), "new string idx 0\nStoreEveryThing bIBMKey = ");
}

TEST_F(StringEditorTest, CapacityCountsAsTheStoreIsPacked) {
  const auto fill = [&](int n, int strokes) {
    for (int k = 0; k < strokes; ++k) def.stringWorkBuffer[n][k] = {0, 0x04, 0x1C, 0};
  };
  fill(3, 30);
  fill(9, 34);
  EXPECT_EQ(UsedMacroStrokes(def), 64);
  EXPECT_EQ(MacroCapacityText(def), "Macro strokes: 64 of 64");
  fill(127, 6);
  EXPECT_EQ(MacroCapacityText(def), "Macro strokes: 70 of 64 (6 will be dropped)");
  model::KeyboardDefinition copy = def;
  EXPECT_EQ(model::FlattenStrings(copy), 6);
  // Empty strings behind the strokes share the last terminator: nothing is lost.
  def.stringWorkBuffer[127][0] = {};
  fill(0, 6);
  EXPECT_EQ(DroppedMacroStrokes(def), 0);
  copy = def;
  EXPECT_EQ(model::FlattenStrings(copy), 0);
  EXPECT_EQ(MacroCapacityText(def), "Macro strokes: 70 of 64");
  // A full row without a terminator counts its 80 strokes.
  model::InitialiseDefinition(def);
  fill(127, 80);
  copy = def;
  EXPECT_EQ(DroppedMacroStrokes(def), model::FlattenStrings(copy));
  EXPECT_EQ(UsedMacroStrokes(def), 80);
}

}  // namespace
}  // namespace veltrane::ui
