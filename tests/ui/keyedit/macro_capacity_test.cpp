// SPDX-License-Identifier: MIT
#include "ui/keyedit/macro_capacity.h"

#include <cstdio>
#include <random>

#include "tests/ui/keyedit/key_editing_fixture.h"
#include "ui/keyedit/string_editor_model.h"

namespace veltrane::ui {
namespace {

constexpr int kScanA = 0x1E;

class MacroGaugeTest : public KeyEditingTest {
 protected:
  void SetUp() override { CreateStringEditor(editor, def); }
  // String n holding `strokes` strokes, named by a string layer of key `key`.
  void Macro(int key, int n, int strokes) {
    model::KeyLayer& layer = def.keys[static_cast<std::size_t>(key)].layers[0];
    layer = {1, {}, n, 0, model::STRING_KEY};
    for (int k = 0; k < strokes; ++k) String(n)[k] = {0, 0x04, 0x1C, 0};
    String(n)[strokes] = {};
    ++def.settings.NumberOfStrings;
  }
  void Type(int strokes) {
    for (int i = 0; i < strokes; ++i)
      OnStringEditorKeyDown(editor, {kScanA, false, false, false, {}});
  }
  int Gauge() const {
    int entries = -1;
    std::sscanf(editor.capacityText.c_str(), "Macro store: %d of 192", &entries);
    return entries;
  }
  bool Ok() { return OnStringEditorCommand(editor, context, id::kOk); }

  StringEditorModel editor;
};

TEST_F(MacroGaugeTest, CountsTheListInTheEditorAsIfAccepted) {
  // 75 strokes in macros 0..3 once read "192 of 192": each empty macro got an end mark.
  for (int n = 0; n < 4; ++n) Macro(100 + n, n, n == 3 ? 18 : 19);
  OpenStringEditorForLayer(editor, context, 0);
  EXPECT_EQ(editor.capacityText, "Macro store: 79 of 192 entries");
  EXPECT_EQ(editor.capacityTooltip,
            "The keyboard's macro store, with this list as it stands:\n75 strokes\n+ 4 end marks, "
            "one for each of macros 0 to 3 (the last with strokes)\n= 79 of 192 entries\nThe "
            "124 empty macros after it share an end mark and take no entry.");
  Type(1);  // one line is a single key: no macro yet
  EXPECT_EQ(Gauge(), 79);
  Type(39);  // macro 4, with its end mark
  EXPECT_EQ(editor.capacityText, "Macro store: 120 of 192 entries");
  OnStringEditorListSelect(editor, 0);
  OnStringEditorCommand(editor, context, id::kDelete);
  EXPECT_EQ(Gauge(), 119);
  // The list being edited replaces its layer's own macro.
  Ok();
  EXPECT_FALSE(editor.visible);
  OpenStringEditorForLayer(editor, context, 0);
  EXPECT_EQ(Gauge(), 119);
  OnStringEditorCommand(editor, context, id::kClear);
  EXPECT_EQ(Gauge(), 79);
  // Macros after empty ones pay for the empty ones' end marks.
  Macro(110, 20, 10);
  RefreshCapacityGauge(editor);
  EXPECT_EQ(Gauge(), 75 + 10 + 21);
  EXPECT_NE(editor.capacityTooltip.find("(16 of them end empty macros)"), std::string::npos);
}

TEST_F(MacroGaugeTest, OkRefusesAListThatWouldNotFitAndKeepsItToMend) {
  for (int n = 0; n < 5; ++n) Macro(100 + n, n, 36);  // 185 entries
  OpenStringEditorForLayer(editor, context, 1);
  Type(7);
  EXPECT_EQ(editor.capacityText, "Macro store: 193 of 192 entries (1 over)");
  EXPECT_FALSE(Ok());
  EXPECT_TRUE(editor.visible);
  EXPECT_EQ(editor.lines.size(), 7u);
  EXPECT_EQ(Layer(1).keytype, model::UNUSED_KEY);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "This macro needs 1 more entry than the store has free (185 of 192 used). Shorten "
            "it, or free a macro.");
  EXPECT_EQ(messages.shown[0].caption, "Key Macro Tool");
  OnStringEditorListSelect(editor, 6);
  OnStringEditorCommand(editor, context, id::kDelete);
  EXPECT_EQ(Gauge(), 192);
  Ok();
  EXPECT_FALSE(editor.visible);
  EXPECT_EQ(Layer(1).keytype, model::STRING_KEY);
  EXPECT_EQ(model::StringLength(String(5)), 6);
}

TEST_F(MacroGaugeTest, AnOverfullStoreTakesAListThatMakesItLessSo) {
  for (int n = 0; n < 5; ++n) Macro(100 + n, n, 40);  // 205 entries, as a text may bring
  target = {true, 100 / 8, 100 % 8};
  OpenStringEditorForLayer(editor, context, 0);
  EXPECT_FALSE(Ok());  // unchanged, it still does not fit
  OnStringEditorListSelect(editor, 0);
  OnStringEditorCommand(editor, context, id::kDelete);
  EXPECT_EQ(Gauge(), 204);
  Ok();
  EXPECT_FALSE(editor.visible);
  EXPECT_EQ(model::StringLength(String(0)), 39);
  EXPECT_EQ(messages.shown.size(), 1u);
}

// The gauge over random sparse string sets, with a random pending list on a
// layer that is unused, a key, its own macro or a macro another key shares:
// what it counts is what FlattenStrings needs once the list is applied.
TEST_F(MacroGaugeTest, AgreesWithFlattenStringsOverRandomSparseStringsWithAPendingList) {
  std::mt19937 random(26);
  const auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 400; ++round) {
    model::InitialiseDefinition(def);
    const int macros = uniform(0, 12);
    for (int i = 0; i < macros; ++i)
      Macro(uniform(0, 127), uniform(0, 127), uniform(1, round % 3 ? 25 : 79));
    target = {true, uniform(0, 15), uniform(0, 7)};
    model::KeyLayer& layer = Layer(0);
    const int kind = uniform(0, 3);
    if (kind == 1) model::AssignTableKey(layer, 31);
    if (kind >= 2) layer = {1, {}, uniform(0, 127), 0, model::STRING_KEY};
    OpenStringEditorForLayer(editor, context, 0);
    editor.lines.assign(static_cast<std::size_t>(uniform(0, 40)), PlainLine("F13"));
    RefreshCapacityGauge(editor);

    model::KeyboardDefinition applied = def;
    AssignmentContext assignment{applied, KeyIndexOf(target), editor.flags, kNoFnLightKey, nullptr,
                                 messages};
    ApplyStringEditorList(assignment, 0, editor.lines);
    model::KeyboardDefinition packed = applied;
    const int dropped = model::FlattenStrings(packed);
    ASSERT_EQ(Gauge() <= 192, dropped == 0) << round;
    int last = -1;
    for (int n = 0; n < model::kStringCount; ++n)
      if (model::StringLength(applied.stringWorkBuffer[static_cast<std::size_t>(n)]) > 0) last = n;
    if (last < 0) {
      ASSERT_EQ(Gauge(), 0) << round;
    }
    if (dropped > 0 || last < 0) continue;
    const int start = (packed.stringIndex[static_cast<std::size_t>(last)] - 2304) / 4;
    const int length =
        model::StringLength(applied.stringWorkBuffer[static_cast<std::size_t>(last)]);
    ASSERT_EQ(Gauge(), start + length + 1) << round;
  }
}

}  // namespace
}  // namespace veltrane::ui
