#include "ui/keyedit/macro_line.h"

#include <array>

#include "model/key_tables.h"
#include "tests/ui/keyedit/key_editing_fixture.h"
#include "ui/keyedit/string_assignment.h"

namespace veltrane::ui {
namespace {

ModifierFlags FlagsOfBits(int bits) {
  std::array<bool, 10> b{};
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = (bits >> i) & 1;
  return {b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9]};
}

// The texts the list has always shown, written out column by column.
std::string ExpectedText(const std::string& name, const ModifierFlags& f, LineWriter writer) {
  const char digit = "-1234"[static_cast<int>(writer)];
  const bool stroke = writer == LineWriter::StringStroke;
  std::string s = name;
  s += f.alt ? "\tAlt" : "\t";
  s += f.ctrlLeft ? "\tCtrl l" : f.ctrlRight ? "\tCtrl r" : "\t";
  s += f.shiftLeft    ? (writer == LineWriter::Captured ? "\tShift l " : "\tShift l")
       : f.shiftRight ? "\tShift r"
                      : "\t";
  s += f.base && !stroke ? "\tBase" : "\t";
  s += f.repeatOff && !stroke ? "\tRep Off" : "\t";
  s += f.altGr ? std::string("\tAlt Gr") + digit : "\t";
  if (!stroke && f.lightUp) return s + "\tLight" + digit + "Up\t";
  if (!stroke && f.lightDown) return s + "\tLight" + digit + "Down\t";
  return s + "\t\t";
}

// What the boxes took from a line's text by its first letters.
ModifierFlags FlagsReadFromText(const std::string& text) {
  ModifierFlags f;
  int tab = 0;
  for (std::size_t p = 0; p + 1 < text.size(); ++p) {
    if (text[p] != '\t') continue;
    const std::string_view column = std::string_view(text).substr(p + 1);
    const auto starts = [&](std::string_view word) { return column.starts_with(word); };
    switch (++tab) {
      case 1:
        f.alt = starts("Alt");
        break;
      case 2:
        f.ctrlLeft = starts("Ctrl l");
        f.ctrlRight = starts("Ctrl r");
        break;
      case 3:
        f.shiftLeft = starts("Shift l");
        f.shiftRight = starts("Shift r");
        break;
      case 4:
        f.base = starts("Base");
        break;
      case 5:
        f.repeatOff = starts("Rep Off");
        break;
      case 6:
        f.altGr = starts("Alt Gr");
        break;
      case 7:
        f.lightUp = starts("Light") && column[6] == 'U';
        f.lightDown = starts("Light") && !f.lightUp;
        break;
    }
  }
  return f;
}

TEST(MacroLineTest, EveryFlagCombinationRendersTheColumnsOfItsWriterAndReadsBack) {
  for (LineWriter writer : {LineWriter::Captured, LineWriter::StringStroke, LineWriter::KeyLayer,
                            LineWriter::Rewritten}) {
    for (int bits = 0; bits < 1024; ++bits) {
      const MacroLine line{"IBM Key 31", FlagsOfBits(bits), writer};
      const std::string text = RenderMacroLine(line);
      ASSERT_EQ(text, ExpectedText(line.name, line.flags, writer))
          << static_cast<int>(writer) << " " << bits;
      ASSERT_EQ(ShownFlags(line), FlagsReadFromText(text))
          << static_cast<int>(writer) << " " << bits;
      ASSERT_EQ(RenderMacroLine({line.name, ShownFlags(line), writer}), text);
    }
  }
  // A bare line is its name whatever its flags, and shows none.
  const MacroLine bare{"Fn3Light Control", FlagsOfBits(1023), LineWriter::Bare};
  EXPECT_EQ(RenderMacroLine(bare), "Fn3Light Control");
  EXPECT_EQ(ShownFlags(bare), ModifierFlags{});
  EXPECT_EQ(RenderMacroLine(PlainLine("F13")), "F13\t\t\t\t\t\t\t\t");
}

class MacroLineAssignmentTest : public KeyEditingTest {
 protected:
  bool Apply(int layer, const std::vector<MacroLine>& lines) {
    AssignmentContext assignment{def, KeyIndexOf(target), flags, kNoFnLightKey, &log, messages};
    return ApplyStringEditorList(assignment, layer, lines);
  }
  std::vector<MacroLine> Shown(int layer) {
    std::vector<MacroLine> lines;
    ShowLayerInStringEditor(def, Key().layers[static_cast<std::size_t>(layer)], lines);
    return lines;
  }
  ModifierFlags flags;
};

TEST_F(MacroLineAssignmentTest, ShownStrokesRecordTheirModifiersAgainLeftBeforeRight) {
  auto& layer = Key().layers[0];
  layer.keytype = model::STRING_KEY;
  layer.ibmkey = 6;
  def.settings.NumberOfStrings = 1;
  for (int bits = 0; bits < 64; ++bits) {
    // Bits 0x01 0x02 0x04 0x10 0x20 0x40: Ctrl l, Shift l, Alt, Ctrl r, Shift r, Alt Gr.
    const auto modifier = static_cast<std::uint8_t>((bits & 0x07) | ((bits & 0x38) << 1));
    def.stringWorkBuffer[6][0] = {modifier, model::IbmKeyTable[31].usb, 0x1C, 0};
    def.stringWorkBuffer[6][1] = {0, model::IbmKeyTable[32].usb, 0x32, 0};
    def.stringWorkBuffer[6][2] = {};
    ASSERT_TRUE(Apply(0, Shown(0)));
    std::uint8_t expected = modifier;
    if (modifier & 0x01) expected &= ~0x10;
    if (modifier & 0x02) expected &= ~0x20;
    ASSERT_EQ(def.stringWorkBuffer[6][0].modifier, expected) << bits;
    ASSERT_EQ(layer.ibmkey, 6);
  }
}

TEST_F(MacroLineAssignmentTest, ShownKeyLayersKeepTheirModesAndLightWhenApplied) {
  auto& layer = Key().layers[1];
  for (int keymode = 0; keymode < 0x40; ++keymode) {
    for (int light : {0, int{model::KEYTYPE_LIGHT_UP}, int{model::KEYTYPE_LIGHT_DOWN}}) {
      layer = {0,
               {},
               31,
               static_cast<std::uint8_t>(keymode),
               static_cast<std::uint8_t>(model::NORMAL_KEY | light)};
      const std::vector<MacroLine> lines = Shown(1);
      ASSERT_EQ(lines.size(), 1u);
      // On a layer that is no string, the light comes from the boxes.
      flags = ShownFlags(lines[0]);
      ASSERT_TRUE(Apply(1, lines));
      ASSERT_EQ(layer.keymode, keymode);
      ASSERT_EQ(layer.keytype, model::NORMAL_KEY | light) << keymode;
    }
  }
}

}  // namespace
}  // namespace veltrane::ui
