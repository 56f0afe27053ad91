// SPDX-License-Identifier: MIT
#include "ui/keyedit/macro_line.h"

#include <array>
#include <initializer_list>

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

ModifierFlags Flags(std::initializer_list<bool ModifierFlags::*> set) {
  ModifierFlags f;
  for (auto flag : set) f.*flag = true;
  return f;
}

using F = ModifierFlags;

TEST(MacroLineTest, EachWriterShowsItsOwnColumnWordsAndWhatItShowsRendersTheSame) {
  const ModifierFlags all = FlagsOfBits(1023);
  const ModifierFlags shownOfAll = Flags(
      {&F::alt, &F::ctrlLeft, &F::shiftLeft, &F::base, &F::repeatOff, &F::altGr, &F::lightUp});
  const struct {
    MacroLine line;
    std::string text;
    ModifierFlags shown;
  } cases[] = {
      {{"IBM Key 31", {}, LineWriter::Captured}, "IBM Key 31\t\t\t\t\t\t\t\t", {}},
      {{"IBM Key 31", all, LineWriter::Captured},
       "IBM Key 31\tAlt\tCtrl l\tShift l \tBase\tRep Off\tAlt Gr1\tLight1Up\t",
       shownOfAll},
      {{"IBM Key 31", Flags({&F::ctrlRight, &F::shiftRight, &F::lightDown}), LineWriter::Captured},
       "IBM Key 31\t\tCtrl r\tShift r\t\t\t\tLight1Down\t",
       Flags({&F::ctrlRight, &F::shiftRight, &F::lightDown})},
      {{"IBM Key 31", all, LineWriter::StringStroke},
       "IBM Key 31\tAlt\tCtrl l\tShift l\t\t\tAlt Gr2\t\t",
       Flags({&F::alt, &F::ctrlLeft, &F::shiftLeft, &F::altGr})},
      {{"IBM Key 31", all, LineWriter::KeyLayer},
       "IBM Key 31\tAlt\tCtrl l\tShift l\tBase\tRep Off\tAlt Gr3\tLight3Up\t",
       shownOfAll},
      {{"IBM Key 31", Flags({&F::altGr, &F::lightDown}), LineWriter::Rewritten},
       "IBM Key 31\t\t\t\t\t\tAlt Gr4\tLight4Down\t",
       Flags({&F::altGr, &F::lightDown})},
      {{"Fn3Light Control", all, LineWriter::Bare}, "Fn3Light Control", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RenderMacroLine(c.line), c.text);
    EXPECT_EQ(ShownFlags(c.line), c.shown) << c.text;
  }
  EXPECT_EQ(RenderMacroLine(PlainLine("F13")), "F13\t\t\t\t\t\t\t\t");
  // The boxes read what a line shows; storing that again must not change the line.
  for (LineWriter writer : {LineWriter::Captured, LineWriter::StringStroke, LineWriter::KeyLayer,
                            LineWriter::Rewritten}) {
    for (int bits = 0; bits < 1024; ++bits) {
      const MacroLine line{"IBM Key 31", FlagsOfBits(bits), writer};
      ASSERT_EQ(RenderMacroLine({line.name, ShownFlags(line), writer}), RenderMacroLine(line))
          << static_cast<int>(writer) << " " << bits;
    }
  }
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
