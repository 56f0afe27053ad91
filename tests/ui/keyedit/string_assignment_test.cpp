// SPDX-License-Identifier: MIT
#include "ui/keyedit/string_assignment.h"

#include "model/key_tables.h"
#include "tests/ui/keyedit/key_editing_fixture.h"

namespace veltrane::ui {
namespace {

using model::IbmKeyTable;
using model::StringChar;
using Lines = std::vector<std::string>;
using Records = std::vector<MacroLine>;

class AssignmentTest : public KeyEditingTest {
 protected:
  bool Apply(int layer, const Records& lines) {
    AssignmentContext assignment{def, KeyIndexOf(target), flags, fnLightKey, &log, messages};
    return ApplyStringEditorList(assignment, layer, lines);
  }
  Records Recorded(int layer) {
    Records lines;
    ShowLayerInStringEditor(def, Layer(layer), lines);
    return lines;
  }
  Lines Shown(int layer) { return Texts(Recorded(layer)); }
  void MakeStringLayer(int layer, int n, int strokes) {
    Layer(layer).keytype = model::STRING_KEY;
    Layer(layer).ibmkey = n;
    for (int k = 0; k < strokes; ++k) String(n)[k] = {0, static_cast<std::uint8_t>(4 + k), 0x1C, 0};
    ++def.settings.NumberOfStrings;
  }
  void ExpectLayer(int layer, int ibmkey, int keytype, int keymode) {
    EXPECT_EQ(Layer(layer).ibmkey, ibmkey);
    EXPECT_EQ(Layer(layer).keytype, keytype);
    EXPECT_EQ(Layer(layer).keymode, keymode);
  }

  ModifierFlags flags;
  int fnLightKey = kNoFnLightKey;
};

TEST_F(AssignmentTest, EmptyListGivesTheFirstCheckedModifierOrClears) {
  Layer(0) = {0, {}, 31, model::KEYMODE_SHIFT, model::NORMAL_KEY, 1, 2, 3};
  flags.alt = flags.ctrlLeft = true;
  EXPECT_TRUE(Apply(0, {}));
  ExpectLayer(0, 60, model::ALT_LEFT_KEY, 0);
  EXPECT_EQ(Layer(0).usbcode, IbmKeyTable[60].usb);
  flags = {};
  Apply(0, {});  // not a string: the codes go too
  ExpectLayer(0, 0, model::UNUSED_KEY, 0);
  EXPECT_EQ(Layer(0).scan2code + Layer(0).scan3code + Layer(0).usbcode, 0);

  MakeStringLayer(1, 5, 3);
  Layer(1).usbcode = 0x2A;
  Apply(1, {});  // a string: its number is freed, the codes stay
  ExpectLayer(1, 0, model::UNUSED_KEY, 0);
  EXPECT_EQ(Layer(1).usbcode, 0x2A);
  EXPECT_TRUE(String(5)[0].IsTerminator());
  EXPECT_FALSE(String(5)[1].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  MakeStringLayer(1, 5, 1);
  def.settings.NumberOfStrings = 0;
  Apply(1, {});
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  EXPECT_EQ(log.text(), "# bIBMKey = 0\n# bIBMKey = 0\n# bIBMKey = 0\n");
}

TEST_F(AssignmentTest, OneLineGivesTheKeyWithTheModesOfItsColumns) {
  Layer(0).keytype = model::NORMAL_KEY;
  Apply(0, {{"IBM Key 30", {.alt = true, .base = true}}});
  ExpectLayer(0, 30, model::NORMAL_KEY, 0x09);
  EXPECT_EQ(Layer(0).scan3code, IbmKeyTable[30].scan3);
  // Right Ctrl and Shift count on a layer that was no string, not on a string.
  const MacroLine right{"IBM Key 31", {.ctrlRight = true, .shiftRight = true}};
  Apply(1, {right});
  ExpectLayer(1, 31, model::NORMAL_KEY, model::KEYMODE_CTRL | model::KEYMODE_SHIFT);
  MakeStringLayer(2, 0, 2);
  Apply(2, {right});
  ExpectLayer(2, 31, model::NORMAL_KEY, 0);
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  // A Ctrl key gets no Ctrl mode, a Shift key no Shift mode.
  Apply(3, {{"IBM Key 58", {.ctrlLeft = true, .shiftLeft = true}, LineWriter::Rewritten}});
  ExpectLayer(3, 58, model::CTRL_LEFT_KEY, model::KEYMODE_SHIFT);
  Apply(3, {{"IBM Key 57", {.ctrlLeft = true, .shiftLeft = true}, LineWriter::Rewritten}});
  EXPECT_EQ(Layer(3).keymode, model::KEYMODE_CTRL);
  EXPECT_EQ(log.text(),
            "$ bIBMKey = 30\n$ bIBMKey = 31\n! bIBMKey = 31\n$ bIBMKey = 58\n"
            "$ bIBMKey = 57\n");
  // Light flags: from the editor on a new key, from the line on a string.
  flags.lightDown = true;
  Apply(0, {{"IBM Key 31", {.lightUp = true}}});
  EXPECT_EQ(Layer(0).keytype, model::KEYTYPE_LIGHT_DOWN);
  MakeStringLayer(1, 0, 2);
  Apply(1, {{"IBM Key 31", {.lightUp = true}}});
  EXPECT_EQ(Layer(1).keytype, model::KEYTYPE_LIGHT_UP);
  // The light control line on a string layer frees the string and names none:
  // the layer becomes the light control on the Fn Light position, else no key.
  MakeStringLayer(2, 4, 2);
  Layer(2).keymode = model::KEYMODE_BASE;
  Apply(2, {PlainLine("Fn Light Control")});
  ExpectLayer(2, 0, model::UNUSED_KEY, 0);
  EXPECT_TRUE(String(4)[0].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  MakeStringLayer(2, 4, 2);
  fnLightKey = KeyIndexOf(target);
  Apply(2, {PlainLine("Fn Light Control")});
  ExpectLayer(2, 0, model::LOCAL_ILLUMINATION_KEY, 0);
  EXPECT_FALSE(model::IsStringReferenced(def, 4));
}

TEST_F(AssignmentTest, LinesNamingNoKeyAreRefusedAndNeverEndAMacro) {
  // Unknown keys are captured as "IBM Key 0"; the light line has no stroke.
  const Records unknownInside = {PlainLine("IBM Key 31"), PlainLine("IBM Key 0"),
                                 PlainLine("IBM Key 32")};
  const Records lightFirst = {PlainLine("Fn Light Control"), PlainLine("IBM Key 31")};
  Layer(0) = {1, {}, 31, 0, model::NORMAL_KEY};
  MakeStringLayer(1, 0, 3);
  const model::StringRow before = String(0);
  for (const Records& lines : {unknownInside, lightFirst, Records{PlainLine("IBM Key 0")}}) {
    EXPECT_FALSE(Apply(0, lines));
    EXPECT_FALSE(Apply(1, lines));
  }
  ExpectLayer(0, 31, model::NORMAL_KEY, 0);
  ExpectLayer(1, 0, model::STRING_KEY, 0);
  EXPECT_EQ(String(0), before);
  ASSERT_EQ(messages.shown.size(), 6u);
  // The line is named by its number: a list may hold the same text twice.
  EXPECT_EQ(messages.shown[0].text,
            "Line 2, \"IBM Key 0\", names no key that can be recorded. Delete the line and press "
            "OK again; the key was not changed.");
  EXPECT_EQ(messages.shown[2].text.substr(0, 27), "Line 1, \"Fn Light Control\",");
  EXPECT_TRUE(log.text().empty());
  // Nothing converts into a terminator: a line naming no row writes no entry.
  EXPECT_FALSE(ConvertLineToStringChar(def, PlainLine("IBM Key 0"), 1, 0));
  EXPECT_EQ(String(0), before);
}

TEST_F(AssignmentTest, AStringIsFreeOnlyWhenNoStringLayerNamesIt) {
  // A layer naming an emptied string 0 (as files from the past may hold) keeps it taken.
  MakeStringLayer(0, 0, 0);
  MakeStringLayer(1, 3, 4);
  def.keys[40].layers[2] = Layer(1);  // another key sharing string 3
  EXPECT_EQ(FindFreeString(def), 1);
  // Freeing a shared string leaves it to the other key.
  Apply(1, {PlainLine("IBM Key 31")});
  EXPECT_EQ(String(3)[0].characterUSB, 4);
  EXPECT_EQ(def.settings.NumberOfStrings, 2);
  // Re-recording a shared string gives the layer a string of its own.
  Layer(1) = def.keys[40].layers[2];
  Apply(1, {PlainLine("F13"), PlainLine("F14")});
  EXPECT_EQ(Layer(1).ibmkey, 1);
  EXPECT_EQ(String(3)[0].characterUSB, 4);
  EXPECT_EQ(String(1)[0].characterUSB, IbmKeyTable[147].usb);
  EXPECT_EQ(def.settings.NumberOfStrings, 3);
}

TEST_F(AssignmentTest, StringNumbersAreHandedOutLowestFirstAndKeptOnReRecording) {
  // A string of one "Fn1 Button" stroke (all bytes 0 but the type) is in use.
  ASSERT_TRUE(ConvertLineToStringChar(def, PlainLine("Fn1 Button"), 0, 0));
  EXPECT_EQ(String(0)[0], (StringChar{0, 0, 0, model::LOCAL_SHIFT_RIGHT_KEY}));
  String(1)[0] = {0, 4, 0x1C, 0};
  def.settings.NumberOfStrings = 2;
  Layer(0) = {0, {}, 31, model::KEYMODE_ALT, model::NORMAL_KEY, 1, 2, 3};
  EXPECT_TRUE(Apply(0, {{"IBM Key 31", {.ctrlLeft = true}},
                        {"IBM Key 32", {.alt = true, .shiftRight = true, .altGr = true}}}));
  ExpectLayer(0, 2, model::STRING_KEY, model::KEYMODE_ALT);
  EXPECT_EQ(Layer(0).usbcode, 0);
  EXPECT_EQ(String(2)[0], (StringChar{0x01, IbmKeyTable[31].usb, IbmKeyTable[31].scan2, 0}));
  EXPECT_EQ(String(2)[1], (StringChar{0x64, IbmKeyTable[32].usb, IbmKeyTable[32].scan2, 0}));
  EXPECT_TRUE(String(2)[2].IsTerminator());
  EXPECT_EQ(Layer(0).stringcharcount, 2);  // as for a re-recorded string
  EXPECT_EQ(def.settings.NumberOfStrings, 3);
  EXPECT_EQ(log.text(), "new string idx 2\n");

  MakeStringLayer(1, 7, 5);
  const model::StringRow before = String(7);
  Apply(1, {PlainLine("IBM Key 2"), PlainLine("IBM Key 3")});
  EXPECT_EQ(Layer(1).ibmkey, 7);
  EXPECT_EQ(Layer(1).stringcharcount, 2);
  EXPECT_EQ(String(7)[1].characterUSB, IbmKeyTable[3].usb);
  EXPECT_TRUE(String(7)[2].IsTerminator());
  for (int k = 3; k <= 5; ++k) EXPECT_EQ(String(7)[k], before[k]);
}

TEST_F(AssignmentTest, LayersShowAsLinesStringStrokesUnderTheFirstRowWithTheirUsbCode) {
  MakeStringLayer(0, 3, 0);
  const char* names[] = {"Volume up", "Middle Mouse Button", "System wake", "Fn1 Button"};
  for (int k = 0; k < 4; ++k) ConvertLineToStringChar(def, PlainLine(names[k]), k, 3);
  String(3)[0].modifier = 0x04 | 0x10 | 0x20 | 0x40;
  String(3)[4] = {0x55, 0xEE, 0, 0};  // no row carries USB code 0xEE: no line
  EXPECT_EQ(Shown(0), (Lines{"IBM Key 31\tAlt\tCtrl r\tShift r\t\t\tAlt Gr2\t\t",
                             Named("IBM Key 31"), Named("IBM Key 31"), Named("No Key")}));
  // Applied again, the shown lines record the same modifiers.
  Apply(0, Recorded(0));
  EXPECT_EQ(String(3)[0].modifier, 0x04 | 0x10 | 0x20 | 0x40);
  // Key layers show their modes and light flag.
  Layer(1) = {0, {}, 31, model::KEYMODE_SHIFT, model::KEYTYPE_LIGHT_UP};
  EXPECT_EQ(Shown(1), (Lines{"IBM Key 31\t\t\tShift l\t\t\t\tLight3Up\t"}));
  Layer(1) = {0, {}, 31, 0x3F, model::KEYTYPE_LIGHT_DOWN};
  EXPECT_EQ(Shown(1)[0], "IBM Key 31\tAlt\tCtrl l\tShift l\tBase\tRep Off\tAlt Gr3\tLight3Down\t");
  Layer(1).ibmkey = 0;
  EXPECT_TRUE(Shown(1).empty());
}

TEST_F(AssignmentTest, FnLightKeyMakesAnySingleKeyALightControl) {
  fnLightKey = KeyIndexOf(target);
  Apply(1, {PlainLine("IBM Key 31")});
  ExpectLayer(1, 31, model::LOCAL_ILLUMINATION_KEY, 0);
  // The bare display line is all name: it names no key and keeps the light control.
  EXPECT_EQ(Shown(1), (Lines{"Fn3Light Control"}));
  Apply(1, Recorded(1));
  ExpectLayer(1, 31, model::LOCAL_ILLUMINATION_KEY, 0);
  fnLightKey = kNoFnLightKey;
  Apply(1, Recorded(1));
  EXPECT_EQ(Layer(1).keytype, model::LOCAL_ILLUMINATION_KEY);
  Apply(1, {PlainLine("IBM Key 31")});
  EXPECT_EQ(Layer(1).keytype, model::NORMAL_KEY);
}

TEST_F(AssignmentTest, NoFreeStringRefusesAndLeavesTheLayer) {
  for (model::StringRow& row : def.stringWorkBuffer) row[0] = {0, 4, 0x1C, 0};
  def.settings.NumberOfStrings = 128;
  Layer(0) = {0, {}, 31, 0, model::NORMAL_KEY, 0, 0, 0x04};
  EXPECT_FALSE(Apply(0, {PlainLine("F13"), PlainLine("F14")}));
  ExpectLayer(0, 31, model::NORMAL_KEY, 0);
  EXPECT_EQ(Layer(0).usbcode, 0x04);
  EXPECT_EQ(def.settings.NumberOfStrings, 128);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Key Macro Tool");
  EXPECT_TRUE(log.text().empty());
}

TEST_F(AssignmentTest, ListsLongerThanAMacroAreRefusedNotCut) {
  Records lines(85, PlainLine("F13"));
  EXPECT_FALSE(Apply(0, lines));
  ExpectLayer(0, 0, model::UNUSED_KEY, 0);
  EXPECT_TRUE(String(0)[0].IsTerminator());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The list has 85 lines; a macro holds at most 79 strokes. Delete 6 lines and press "
            "OK again; the key was not changed.");
  lines.resize(79);
  lines[78] = PlainLine("F24");
  EXPECT_TRUE(Apply(0, lines));
  EXPECT_EQ(model::StringLength(String(0)), 79);
  EXPECT_EQ(String(0)[78].characterUSB, IbmKeyTable[158].usb);
  EXPECT_EQ(Layer(0).stringcharcount, 79);
  EXPECT_FALSE(ConvertLineToStringChar(def, PlainLine("F13"), 79, 0));
  EXPECT_FALSE(ConvertLineToStringChar(def, PlainLine("F13"), 0, 128));
}

TEST_F(AssignmentTest, OutOfTableLayersShowNothing) {
  for (int ibmkey : {159, -3}) {
    Layer(0) = {0, {}, ibmkey, 0, model::NORMAL_KEY};
    EXPECT_TRUE(Shown(0).empty());
  }
  Layer(0) = {0, {}, 128, 0, model::STRING_KEY};
  EXPECT_TRUE(Shown(0).empty());
  // Recorded again, a string layer that names no string gets a number of its own.
  Apply(0, {PlainLine("F13"), PlainLine("F14")});
  EXPECT_EQ(Layer(0).ibmkey, 0);
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
  Layer(1) = {0, {}, 500, 0, model::STRING_KEY};
  Apply(1, {});
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
}

}  // namespace
}  // namespace veltrane::ui
