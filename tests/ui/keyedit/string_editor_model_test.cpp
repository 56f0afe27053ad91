// SPDX-License-Identifier: MIT
#include "ui/keyedit/string_editor_model.h"

#include "model/key_tables.h"
#include "tests/ui/keyedit/key_editing_fixture.h"
#include "ui/keyedit/key_settings_model.h"

namespace veltrane::ui {
namespace {

using Lines = std::vector<std::string>;
constexpr int kCtrl = 0x1D, kShiftLeft = 0x2A, kShiftRight = 0x36, kAlt = 0x38;
constexpr int kA = 0x1E;  // IBM key 31
constexpr int kPrintScreen = 0x37;

EditorKeyEvent Event(int scan, bool extended = false, bool alt = false, std::string chars = {}) {
  return {scan, extended, alt, alt, std::move(chars)};
}

class StringEditorTest : public KeyEditingTest {
 protected:
  void SetUp() override { CreateStringEditor(editor, def); }
  bool Command(int id) { return OnStringEditorCommand(editor, context, id); }
  void Press(int scan, bool extended = false) {
    OnStringEditorKeyDown(editor, Event(scan, extended));
  }
  void Release(int scan, bool extended = false) {
    OnStringEditorKeyUp(editor, Event(scan, extended));
  }
  void AltDown(int scan) { OnStringEditorKeyDown(editor, Event(scan, false, true)); }

  StringEditorModel editor;
};

TEST_F(StringEditorTest, CapturedLinesCarryTheHeldModifiers) {
  Press(kCtrl);
  EXPECT_TRUE(IsCheckBoxChecked(editor, id::kCheckCtrlLeft));
  OnStringEditorKeyDown(editor, Event(kA, false, false, "a"));
  Release(kCtrl);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  EXPECT_EQ(Texts(editor.lines), (Lines{"IBM Key 31\t\tCtrl l\t\t\t\t\t\t"}));
  EXPECT_EQ(editor.echoText, "a");
  Press(kCtrl, true);
  Press(kShiftRight);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  Press(kA);
  EXPECT_EQ(RenderMacroLine(editor.lines[1]), "IBM Key 31\t\tCtrl r\tShift r\t\t\t\t\t");
  Release(kShiftRight);
  Release(kCtrl, true);
  Press(kShiftLeft);
  for (int box : {id::kCheckAltGr, id::kCheckBase, id::kCheckRepeatOff, id::kCheckLightUp,
                  id::kCheckLightDown})
    Command(box);
  Press(kA);
  EXPECT_EQ(RenderMacroLine(editor.lines[2]),
            "IBM Key 31\t\t\tShift l \tBase\tRep Off\tAlt Gr1\tLight1Up\t");
  // Read back from the line, "Shift l " is the left Shift.
  editor.flags = {};
  editor.flags.shiftRight = true;
  OnStringEditorListSelect(editor, 2);
  EXPECT_TRUE(editor.flags.shiftLeft && editor.flags.lightUp && editor.flags.altGr);
  EXPECT_FALSE(editor.flags.shiftRight || editor.flags.lightDown || editor.flags.ctrlLeft);
}

TEST_F(StringEditorTest, SystemKeysPrintScreenAndUnknownScanCodes) {
  AltDown(kAlt);
  AltDown(kA);
  AltDown(kCtrl);  // set and at once cleared
  EXPECT_FALSE(editor.flags.ctrlLeft);
  OnStringEditorKeyUp(editor, Event(kAlt));
  EXPECT_FALSE(editor.flags.alt);
  // A release alone is the stroke; a press and its release are one stroke.
  Release(kPrintScreen, true);
  Press(kShiftLeft);
  Press(kPrintScreen, true);
  Release(kPrintScreen, true);
  Release(kShiftLeft);
  AltDown(kPrintScreen);  // keypad *, with Alt
  Release(kPrintScreen);  // keypad *: nothing on release
  OnStringEditorKeyDown(editor, {kPrintScreen, true, true, true, {}});  // Alt+Print
  OnStringEditorKeyUp(editor, Event(kPrintScreen, true));
  Press(0x70);
  EXPECT_EQ(Texts(editor.lines),
            (Lines{"IBM Key 31\tAlt\t\t\t\t\t\t\t", Named("IBM Key 124"),
                   "IBM Key 124\t\t\tShift l \t\t\t\t\t", "IBM Key 100\tAlt\t\t\t\t\t\t\t",
                   "IBM Key 124\tAlt\t\t\t\t\t\t\t", Named("IBM Key 0")}));
}

TEST_F(StringEditorTest, NumLockAltGrAndF13ToF24AreCapturedAsTheirKeys) {
  Press(0x45, true);  // Num Lock
  Press(0x45);        // Pause
  Press(0x64);        // F13
  Press(0x76);        // F24
  // AltGr (right Alt) follows its key in the Alt-Gr box, as Ctrl and Shift do.
  OnStringEditorKeyDown(editor, {kAlt, true, true, true, {}});
  EXPECT_TRUE(IsCheckBoxChecked(editor, id::kCheckAltGr));
  EXPECT_FALSE(editor.flags.alt);
  OnStringEditorKeyDown(editor, Event(0x10, false, true, "@"));
  OnStringEditorKeyUp(editor, Event(kAlt, true));
  EXPECT_FALSE(IsCheckBoxChecked(editor, id::kCheckAltGr));
  EXPECT_EQ(Texts(editor.lines), (Lines{Named("IBM Key 90"), Named("IBM Key 126"), Named("F13"),
                                        Named("F24"), "IBM Key 17\t\t\t\t\t\tAlt Gr1\t\t"}));
}

TEST_F(StringEditorTest, TickedBoxesFollowTheUserAndHeldBoxesFollowTheKeys) {
  constexpr int kS = 0x1F;  // IBM key 32
  Command(id::kCheckShiftLeft);
  Press(kS);
  Press(kS);
  EXPECT_EQ(Texts(editor.lines), (Lines(2, "IBM Key 32\t\t\tShift l \t\t\t\t\t")));
  EXPECT_TRUE(editor.flags.shiftLeft);
  // A modifier key's box follows the key; a ticked box stays through its key.
  Press(kCtrl);
  Press(kShiftLeft);
  Press(kS);
  Release(kShiftLeft);
  Release(kCtrl);
  EXPECT_EQ(RenderMacroLine(editor.lines.back()), "IBM Key 32\t\tCtrl l\tShift l \t\t\t\t\t");
  EXPECT_TRUE(editor.flags.shiftLeft);
  EXPECT_FALSE(editor.flags.ctrlLeft);
  // The focus gone, the releases go elsewhere: held boxes clear, ticked ones stay.
  Press(kShiftRight);
  Press(kAlt, true);
  EXPECT_TRUE(editor.flags.shiftRight && editor.flags.altGr);
  OnStringEditorFocusLost(editor);
  EXPECT_FALSE(editor.flags.shiftRight || editor.flags.altGr);
  EXPECT_TRUE(editor.flags.shiftLeft);
  // Unticked by hand, also while its key is held, the box is out of the next stroke.
  Command(id::kCheckShiftLeft);
  Press(kCtrl);
  Command(id::kCheckCtrlLeft);
  Press(kS);
  EXPECT_EQ(RenderMacroLine(editor.lines.back()), Named("IBM Key 32"));
  Release(kCtrl);
  // A clicked line shows its flags; they do not slip into the next stroke.
  editor.lines = {{"IBM Key 31",
                   {.ctrlLeft = true, .shiftLeft = true, .repeatOff = true},
                   LineWriter::Rewritten}};
  OnStringEditorListSelect(editor, 0);
  ASSERT_TRUE(editor.flags.ctrlLeft && editor.flags.shiftLeft && editor.flags.repeatOff);
  Command(id::kCheckBase);  // ticked by hand, also for the line
  OnStringEditorListSelect(editor, -1);
  Press(kA);
  EXPECT_EQ(RenderMacroLine(editor.lines[0]), "IBM Key 31\t\tCtrl l\tShift l\tBase\tRep Off\t\t\t");
  EXPECT_EQ(RenderMacroLine(editor.lines[1]), "IBM Key 31\t\t\t\tBase\t\t\t\t");
  EXPECT_FALSE(editor.flags.repeatOff || editor.flags.ctrlLeft);
  // Shown for a layer, the boxes start clear.
  OpenStringEditorForLayer(editor, context, 2);
  EXPECT_FALSE(editor.flags.base || editor.ticked.base);
  Press(kA);
  EXPECT_EQ(RenderMacroLine(editor.lines.back()), Named("IBM Key 31"));
}

TEST_F(StringEditorTest, ButtonsAddLinesAndTakeTheFocusBack) {
  OpenStringEditorForLayer(editor, context, 0);
  for (int id : {id::kMiddleMouse, id::kFn2, id::kVolumeUp, id::kStopSun, id::kFnLight}) {
    EXPECT_TRUE(Command(id));
  }
  EXPECT_EQ(Texts(editor.lines),
            (Lines{Named("Middle Mouse Button"), Named("Fn2 Button"), Named("Volume up"),
                   Named("Stop SUN"), Named("Fn Light Control")}));
  EXPECT_EQ(editor.fnLightKey, model::KeyIndex(2, 3));
  EXPECT_TRUE(Command(id::kGetFocus));
  EXPECT_TRUE(OnExtraKeySelected(editor, 5));  // the next key is captured again
  OnExtraKeySelected(editor, 0);
  EXPECT_EQ(RenderMacroLine(editor.lines.back()), Named("F17"));
  EXPECT_EQ(editor.lines.size(), 6u);
  EXPECT_EQ(host.focuses, 6);
  Command(id::kDelete);  // no selection: nothing
  OnStringEditorListSelect(editor, 1);
  Command(id::kDelete);
  EXPECT_EQ(RenderMacroLine(editor.lines[1]), Named("Volume up"));
  EXPECT_EQ(editor.lines.size(), 5u);
  Command(id::kClear);
  EXPECT_TRUE(editor.lines.empty());
}

TEST_F(StringEditorTest, CheckBoxesRewriteTheSelectedLine) {
  editor.lines = {PlainLine("Left Mouse Button"), PlainLine("Fn1 Button"), PlainLine("IBM Key 31")};
  OnStringEditorListSelect(editor, 2);
  EXPECT_FALSE(Command(id::kCheckBase));
  EXPECT_FALSE(Command(id::kCheckAltGr));
  EXPECT_EQ(RenderMacroLine(editor.lines[2]), "IBM Key 31\t\t\t\tBase\t\tAlt Gr4\t\t");
  EXPECT_EQ(editor.selection, 2);
  EXPECT_EQ(host.focuses, 0);
  OnStringEditorListSelect(editor, -1);
  Command(id::kCheckShiftLeft);
  EXPECT_TRUE(editor.flags.shiftLeft);
  EXPECT_EQ(RenderMacroLine(editor.lines[0]), Named("Left Mouse Button"));
  // The light-control display has no columns to read and is all name.
  editor.lines = {{"Fn3Light Control", {}, LineWriter::Bare}};
  OnStringEditorListSelect(editor, 0);
  EXPECT_TRUE(editor.flags.shiftLeft);
  Command(id::kCheckLightDown);
  EXPECT_EQ(RenderMacroLine(editor.lines[0]),
            "Fn3Light Control\t\t\tShift l\tBase\t\tAlt Gr4\tLight4Down\t");
}

TEST_F(StringEditorTest, OkAssignsTheLayerRefreshesTheDialogAndClearsTheFlags) {
  KeySettingsModel dialog;
  StartKeySettingsDialog(dialog, editor, context);
  Layer(1) = {1, {}, 32, 0, model::NORMAL_KEY};
  OnKeySettingsCommand(dialog, editor, context, id::kAssignMacroFirst + 1);
  Command(id::kCheckAlt);
  EXPECT_FALSE(Command(2));  // "Cancel" changes nothing
  EXPECT_EQ(Layer(1).ibmkey, 32);
  OnKeySettingsCommand(dialog, editor, context, id::kAssignMacroFirst + 3);
  EXPECT_FALSE(editor.flags.alt);
  Press(kA);
  Press(0x30);
  OnStringEditorKeyDown(editor, Event(0x1C, true));  // keypad Enter
  EXPECT_FALSE(Command(1));
  EXPECT_EQ(host.hides, 2);
  EXPECT_EQ(Layer(3).keytype, model::STRING_KEY);
  EXPECT_EQ(def.stringWorkBuffer[0][2].characterUSB, model::IbmKeyTable[108].usb);
  EXPECT_EQ(def.stringWorkBuffer[0][2].modifier, 0);
  EXPECT_EQ(dialog.layers[3].keyType.selection, 17);
  EXPECT_EQ(editor.capacityText, "Macro store: 4 of 192 entries");
  EXPECT_EQ(OnKeySettingsCommand(dialog, editor, context, 1), 1);
  EXPECT_EQ(Layer(3).ibmkey, 0);  // the store keeps the string number
  EXPECT_EQ(log.text(), "new string idx 0\nStoreEveryThing bIBMKey = ");
}

TEST_F(StringEditorTest, OkMarksTheAssignedLayerUsedAndKeepsARefusedListOpen) {
  Key().used = 0;
  OpenStringEditorForLayer(editor, context, 2);
  editor.lines = {PlainLine("F13"), PlainLine("IBM Key 0")};
  EXPECT_FALSE(Command(1));
  EXPECT_TRUE(editor.visible);  // the list is there to be mended
  EXPECT_EQ(editor.lines.size(), 2u);
  editor.lines.pop_back();
  Command(1);
  EXPECT_FALSE(editor.visible);
  EXPECT_EQ((std::array{Layer(2).used, Key().used, Key().complete}),
            (std::array<std::uint8_t, 3>{1, 1, 1}));
  // Clearing a layer gives it no meaning: its flags stay as they are.
  OpenStringEditorForLayer(editor, context, 1);
  Command(1);
  EXPECT_EQ(Layer(1).used, 0);
}

TEST_F(StringEditorTest, OkAssignsToThePositionTheListCameFrom) {
  KeySettingsModel dialog;
  StartKeySettingsDialog(dialog, editor, context);
  OnKeySettingsCommand(dialog, editor, context, id::kAssignMacroFirst);
  Command(id::kFnLight);
  OnKeySettingsCommand(dialog, editor, context, id::kNext);  // the dialog steps on
  Command(1);
  EXPECT_EQ(def.keys[model::KeyIndex(2, 3)].layers[0].keytype, model::LOCAL_ILLUMINATION_KEY);
  EXPECT_EQ(Key().layers[0].keytype, model::UNUSED_KEY);
}

}  // namespace
}  // namespace veltrane::ui
