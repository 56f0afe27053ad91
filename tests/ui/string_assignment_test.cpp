#include "ui/string_assignment.h"

#include "model/key_tables.h"
#include "tests/ui/key_editing_fixture.h"

namespace veltrane::ui {
namespace {

using model::IbmKeyTable;

constexpr std::string_view kNoColumns = "\t\t\t\t\t\t\t\t";

class AssignmentTest : public KeyEditingTest {
 protected:
  bool Apply(int layer, std::vector<std::string> lines) {
    AssignmentContext assignment{def, KeyIndexOf(target), flags, fnLightKey, &log, messages};
    return ApplyStringEditorList(assignment, layer, lines);
  }
  std::vector<std::string> Shown(int layer) {
    std::vector<std::string> lines;
    ShowLayerInStringEditor(def, Layer(layer), lines);
    return lines;
  }
  void MakeStringLayer(int layer, int n, int strokes) {
    Layer(layer).keytype = model::STRING_KEY;
    Layer(layer).ibmkey = n;
    for (int k = 0; k < strokes; ++k)
      String(n)[static_cast<std::size_t>(k)] = {0, static_cast<std::uint8_t>(0x04 + k), 0x1C, 0};
    ++def.settings.NumberOfStrings;
  }
  static std::string Named(std::string_view name) { return std::string(name) + "\t\t\t\t\t\t\t\t"; }

  ModifierFlags flags;
  int fnLightKey = kNoFnLightKey;
};

TEST(SplitLine, ReadsTheNameAndSevenColumns) {
  const LineColumns line = SplitLine("IBM Key 31\tAlt\tCtrl l\t\t\t\tAlt Gr1\tLight1Up\t");
  EXPECT_EQ(line.name, "IBM Key 31");
  EXPECT_TRUE(line.IsSet(1));
  EXPECT_EQ(line.At(2, 5), 'l');
  EXPECT_FALSE(line.IsSet(3));
  EXPECT_TRUE(line.IsSet(6));
  EXPECT_EQ(line.At(7, 6), 'U');
  EXPECT_EQ(line.At(3, 6), '\0');
  // The light-control display has no tab: all name, no columns.
  const LineColumns bare = SplitLine("Fn3Light Control");
  EXPECT_EQ(bare.name, "Fn3Light Control");
  for (int c = 1; c <= 7; ++c) EXPECT_FALSE(bare.IsSet(c));
}

TEST_F(AssignmentTest, EmptyListMakesTheFirstCheckedModifierOrClears) {
  Layer(0).keytype = model::NORMAL_KEY;
  Layer(0).keymode = model::KEYMODE_SHIFT;
  flags.alt = flags.ctrlLeft = true;
  EXPECT_TRUE(Apply(0, {}));
  EXPECT_EQ(Layer(0).ibmkey, 60);
  EXPECT_EQ(Layer(0).keytype, model::ALT_LEFT_KEY);
  EXPECT_EQ(Layer(0).usbcode, IbmKeyTable[60].usb);
  EXPECT_EQ(Layer(0).scan3code, IbmKeyTable[60].scan3);
  EXPECT_EQ(Layer(0).keymode, 0);

  // Cleared on a layer that is not a string: the codes go too.
  flags = {};
  EXPECT_TRUE(Apply(0, {}));
  EXPECT_EQ(Layer(0).keytype, model::UNUSED_KEY);
  EXPECT_EQ(Layer(0).ibmkey, 0);
  EXPECT_EQ(Layer(0).usbcode, 0);
  EXPECT_EQ(Layer(0).scan2code, 0);
  EXPECT_EQ(log.text(), "# bIBMKey = 0\n");
}

TEST_F(AssignmentTest, ClearingAStringLayerFreesItsNumberAndKeepsTheCodes) {
  MakeStringLayer(1, 5, 3);
  Layer(1).usbcode = 0x2A;
  Layer(1).keymode = model::KEYMODE_ALT;
  EXPECT_TRUE(Apply(1, {}));
  EXPECT_EQ(Layer(1).keytype, model::UNUSED_KEY);
  EXPECT_EQ(Layer(1).ibmkey, 0);
  EXPECT_EQ(Layer(1).keymode, 0);
  EXPECT_EQ(Layer(1).usbcode, 0x2A);
  EXPECT_TRUE(String(5)[0].IsTerminator());
  EXPECT_FALSE(String(5)[1].IsTerminator());  // behind the terminator the bytes stay
  EXPECT_EQ(def.settings.NumberOfStrings, 0);

  // The count never falls below 0.
  MakeStringLayer(1, 5, 1);
  def.settings.NumberOfStrings = 0;
  Apply(1, {});
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
}

TEST_F(AssignmentTest, OneLineGivesTheKeyAndItsModes) {
  Layer(2).keytype = model::NORMAL_KEY;
  EXPECT_TRUE(Apply(2, {"IBM Key 30\tAlt\t\t\tBase\t\t\t\t"}));
  EXPECT_EQ(Layer(2).ibmkey, 30);
  EXPECT_EQ(Layer(2).keytype, model::NORMAL_KEY);
  EXPECT_EQ(Layer(2).scan2code, IbmKeyTable[30].scan2);
  EXPECT_EQ(Layer(2).scan3code, IbmKeyTable[30].scan3);
  EXPECT_EQ(Layer(2).usbcode, IbmKeyTable[30].usb);
  EXPECT_EQ(Layer(2).keymode, 0x09);
  EXPECT_EQ(log.text(), "$ bIBMKey = 30\n");
}

TEST_F(AssignmentTest, RightCtrlAndShiftCountOnlyOnLayersThatWereNoString) {
  const std::string line = "IBM Key 31\t\tCtrl r\tShift r\t\t\t\t\t";
  Apply(0, {line});
  EXPECT_EQ(Layer(0).keymode, model::KEYMODE_CTRL | model::KEYMODE_SHIFT);
  MakeStringLayer(1, 0, 2);
  Apply(1, {line});
  EXPECT_EQ(Layer(1).keymode, 0);
  EXPECT_EQ(Layer(1).ibmkey, 31);
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  EXPECT_EQ(log.text(), "$ bIBMKey = 31\n! bIBMKey = 31\n");
}

TEST_F(AssignmentTest, ModifierKeysGetNoModeOfTheirOwnKind) {
  Apply(0, {"IBM Key 58\t\tCtrl l\tShift l\t\t\t\t\t"});
  EXPECT_EQ(Layer(0).keytype, model::CTRL_LEFT_KEY);
  EXPECT_EQ(Layer(0).keymode, model::KEYMODE_SHIFT);
  Apply(0, {"IBM Key 57\t\tCtrl l\tShift l\t\t\t\t\t"});
  EXPECT_EQ(Layer(0).keymode, model::KEYMODE_CTRL);
}

TEST_F(AssignmentTest, UnknownNameOnAStringLayerLeavesAnEmptyString) {
  MakeStringLayer(3, 4, 2);
  Layer(3).keymode = model::KEYMODE_BASE;
  Apply(3, {Named("Fn Light Control")});
  EXPECT_EQ(Layer(3).keytype, model::STRING_KEY);
  EXPECT_EQ(Layer(3).ibmkey, 4);
  EXPECT_EQ(Layer(3).keymode, 0);
  EXPECT_TRUE(String(4)[0].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
  EXPECT_EQ(FindFreeString(def), 0);
}

TEST_F(AssignmentTest, TwoLinesHandOutTheLowestFreeString) {
  UseString(0);
  UseString(1);
  def.settings.NumberOfStrings = 2;
  Layer(0).keytype = model::NORMAL_KEY;
  Layer(0).usbcode = 0x1E;
  Layer(0).keymode = model::KEYMODE_ALT;
  EXPECT_TRUE(Apply(
      0, {"IBM Key 31\t\tCtrl l\t\t\t\t\t\t", "IBM Key 32\tAlt\t\tShift r\t\t\tAlt Gr1\t\t"}));
  EXPECT_EQ(Layer(0).keytype, model::STRING_KEY);
  EXPECT_EQ(Layer(0).ibmkey, 2);
  EXPECT_EQ(Layer(0).usbcode, 0);
  EXPECT_EQ(Layer(0).keymode, model::KEYMODE_ALT);
  EXPECT_EQ(String(2)[0], (model::StringChar{0x01, IbmKeyTable[31].usb, IbmKeyTable[31].scan2, 0}));
  EXPECT_EQ(String(2)[1], (model::StringChar{0x64, IbmKeyTable[32].usb, IbmKeyTable[32].scan2, 0}));
  EXPECT_TRUE(String(2)[2].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 3);
  EXPECT_EQ(log.text(), "new string idx 2\n");
}

TEST_F(AssignmentTest, ReRecordingKeepsTheNumberAndTheBytesBehindTheTerminator) {
  MakeStringLayer(0, 7, 5);
  const model::StringRow before = String(7);
  Apply(0, {Named("IBM Key 2"), Named("IBM Key 3")});
  EXPECT_EQ(Layer(0).ibmkey, 7);
  EXPECT_EQ(Layer(0).stringcharcount, 2);
  EXPECT_EQ(String(7)[0].characterUSB, IbmKeyTable[2].usb);
  EXPECT_EQ(String(7)[1].characterUSB, IbmKeyTable[3].usb);
  EXPECT_TRUE(String(7)[2].IsTerminator());
  for (int k = 3; k <= 5; ++k) EXPECT_EQ(String(7)[k], before[k]);
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
}

TEST_F(AssignmentTest, StringsOfFnButtonStrokesStayInUse) {
  ASSERT_TRUE(ConvertLineToStringChar(def, Named("Fn1 Button"), 0, 0));
  EXPECT_EQ(String(0)[0], (model::StringChar{0, 0, 0, model::LOCAL_SHIFT_RIGHT_KEY}));
  EXPECT_EQ(FindFreeString(def), 1);
  // A name that matches no row keeps the entry's key bytes, only the modifier is rewritten.
  String(1)[0] = {0x04, 0x1E, 0x16, 0};
  ConvertLineToStringChar(def, "IBM Key 0\t\t\tShift l \t\t\t\t\t", 0, 1);
  EXPECT_EQ(String(1)[0], (model::StringChar{0x02, 0x1E, 0x16, 0}));
  EXPECT_FALSE(ConvertLineToStringChar(def, Named("F13"), 79, 0));
  EXPECT_FALSE(ConvertLineToStringChar(def, Named("F13"), 0, 128));
}

TEST_F(AssignmentTest, StringStrokesShowUnderTheFirstRowWithTheirUsbCode) {
  MakeStringLayer(0, 3, 0);
  const char* names[] = {"Volume up", "Middle Mouse Button", "System wake", "Fn1 Button",
                         "Stop SUN"};
  for (int k = 0; k < 5; ++k) ConvertLineToStringChar(def, Named(names[k]), k, 3);
  String(3)[5] = {0x55, 0xEE, 0, 0};  // a USB code no row carries gives no line
  String(3)[6] = {0, 0x04, 0, 0};
  String(3)[0].modifier = 0x04 | 0x10 | 0x20 | 0x40;
  EXPECT_EQ(Shown(0),
            (std::vector<std::string>{"IBM Key 31\tAlt\tCtrl r\tShift r\t\t\tAlt Gr2\t\t",
                                      "IBM Key 31\t\t\t\t\t\t\t\t", "IBM Key 31\t\t\t\t\t\t\t\t",
                                      "No Key\t\t\t\t\t\t\t\t", "No Key\t\t\t\t\t\t\t\t",
                                      "IBM Key 31\t\t\t\t\t\t\t\t"}));
}

TEST_F(AssignmentTest, ShownStringAppliedAgainKeepsItsModifiers) {
  MakeStringLayer(0, 0, 0);
  Apply(0, {"IBM Key 20\tAlt\tCtrl l\tShift r\t\t\tAlt Gr1\t\t", Named("IBM Key 21")});
  const model::StringRow recorded = String(0);
  Apply(0, Shown(0));
  EXPECT_EQ(String(0)[0], recorded[0]);
  EXPECT_EQ(String(0)[1], recorded[1]);
  EXPECT_EQ(String(0)[0].modifier, 0x04 | 0x01 | 0x20 | 0x40);
}

TEST_F(AssignmentTest, FnLightKeyMakesAnySingleKeyALightControl) {
  fnLightKey = KeyIndexOf(target);
  Apply(1, {Named("IBM Key 31")});
  EXPECT_EQ(Layer(1).keytype, model::LOCAL_ILLUMINATION_KEY);
  EXPECT_EQ(Layer(1).ibmkey, 31);
  Apply(2, {Named("Fn Light Control")});
  EXPECT_EQ(Layer(2).keytype, model::LOCAL_ILLUMINATION_KEY);
  // Shown as the bare light-control line, which applied again keeps it so.
  EXPECT_EQ(Shown(2), (std::vector<std::string>{"Fn3Light Control"}));
  Apply(2, Shown(2));
  EXPECT_EQ(Layer(2).keytype, model::LOCAL_ILLUMINATION_KEY);
  // Elsewhere the bare line names no key and leaves the type alone.
  fnLightKey = kNoFnLightKey;
  Layer(3).keytype = model::LOCAL_ILLUMINATION_KEY;
  Apply(3, Shown(3));
  EXPECT_EQ(Layer(3).keytype, model::LOCAL_ILLUMINATION_KEY);
  Apply(2, {Named("IBM Key 31")});
  EXPECT_EQ(Layer(2).keytype, model::NORMAL_KEY);
}

TEST_F(AssignmentTest, LightFlagsComeFromTheEditorOnNewKeysAndFromTheLineOnStrings) {
  flags.lightDown = true;
  Apply(0, {"IBM Key 31\t\t\t\t\t\t\tLight1Up\t"});
  EXPECT_EQ(Layer(0).keytype, model::KEYTYPE_LIGHT_DOWN);
  MakeStringLayer(1, 0, 2);
  Apply(1, {"IBM Key 31\t\t\t\t\t\t\tLight1Up\t"});
  EXPECT_EQ(Layer(1).keytype, model::KEYTYPE_LIGHT_UP);
}

TEST_F(AssignmentTest, KeyLayersShowTheirModesAndLight) {
  Layer(0).ibmkey = 31;
  Layer(0).keytype = model::KEYTYPE_LIGHT_UP;
  Layer(0).keymode = model::KEYMODE_SHIFT;
  EXPECT_EQ(Shown(0), (std::vector<std::string>{"IBM Key 31\t\t\tShift l\t\t\t\tLight3Up\t"}));
  Layer(0).keytype = model::KEYTYPE_LIGHT_DOWN;
  Layer(0).keymode = 0x3F;
  EXPECT_EQ(Shown(0)[0], "IBM Key 31\tAlt\tCtrl l\tShift l\tBase\tRep Off\tAlt Gr3\tLight3Down\t");
  Layer(0).ibmkey = 0;
  EXPECT_TRUE(Shown(0).empty());
}

TEST_F(AssignmentTest, OutOfTableLayersShowNothing) {
  Layer(0).keytype = model::NORMAL_KEY;
  Layer(0).ibmkey = 159;
  EXPECT_TRUE(Shown(0).empty());
  Layer(0).ibmkey = -3;
  EXPECT_TRUE(Shown(0).empty());
  Layer(0).keytype = model::STRING_KEY;
  Layer(0).ibmkey = 128;
  EXPECT_TRUE(Shown(0).empty());
  // A string layer naming no string that is recorded again gets a proper number.
  EXPECT_TRUE(Apply(0, {Named("F13"), Named("F14")}));
  EXPECT_EQ(Layer(0).ibmkey, 0);
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
  Layer(1).keytype = model::STRING_KEY;
  Layer(1).ibmkey = 500;
  Apply(1, {});
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
}

TEST_F(AssignmentTest, NoFreeStringRefusesAndLeavesTheLayer) {
  for (int n = 0; n < model::kStringCount; ++n) UseString(n);
  def.settings.NumberOfStrings = 128;
  Layer(0).ibmkey = 31;
  Layer(0).keytype = model::NORMAL_KEY;
  Layer(0).usbcode = 0x04;
  const model::KeyLayer before = Layer(0);
  EXPECT_FALSE(Apply(0, {Named("F13"), Named("F14")}));
  EXPECT_EQ(Layer(0).ibmkey, before.ibmkey);
  EXPECT_EQ(Layer(0).keytype, before.keytype);
  EXPECT_EQ(Layer(0).usbcode, before.usbcode);
  EXPECT_EQ(def.settings.NumberOfStrings, 128);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Key Macro Tool");
  EXPECT_TRUE(log.text().empty());
}

TEST_F(AssignmentTest, LongListsKeepTheFirst79Strokes) {
  std::vector<std::string> lines(85, Named("F13"));
  lines[78] = Named("F24");
  EXPECT_TRUE(Apply(0, lines));
  const int n = Layer(0).ibmkey;
  EXPECT_EQ(model::StringLength(String(n)), 79);
  EXPECT_EQ(String(n)[78].characterUSB, IbmKeyTable[158].usb);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "The macro has 85 strokes; only the first 79 were kept.");
  Apply(0, lines);
  EXPECT_EQ(Layer(0).stringcharcount, 79);
  EXPECT_EQ(Layer(0).ibmkey, n);
}

}  // namespace
}  // namespace veltrane::ui
