// SPDX-License-Identifier: MIT
#include "model/key_moves.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/key_tables.h"
#include "model/macro_store.h"

namespace veltrane::model {
namespace {

constexpr int kA = KeyIndex(3, 5);
constexpr int kB = KeyIndex(4, 6);

class KeyMovesTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseDefinition(def); }

  KeyDefinition& Key(int index) { return def.keys[static_cast<std::size_t>(index)]; }
  // Gives layer `layer` of key `index` string `n` with `strokes` strokes.
  void GiveString(int index, int layer, int n, int strokes) {
    KeyLayer& l = Key(index).layers[static_cast<std::size_t>(layer)];
    l.keytype = STRING_KEY;
    l.ibmkey = n;
    l.used = 1;
    l.stringcharcount = strokes;
    for (int i = 0; i < strokes; ++i)
      def.stringWorkBuffer[n][i] = {0x02, static_cast<std::uint8_t>(4 + i + n), 0x1C, 0};
    def.stringWorkBuffer[n][strokes] = StringChar{};
    ++def.settings.NumberOfStrings;
    UpdateKeyComplete(Key(index));
  }
  void GiveKey(int index, int layer, int row) {
    KeyLayer& l = Key(index).layers[static_cast<std::size_t>(layer)];
    AssignTableKey(l, row);
    l.used = 1;
    UpdateKeyComplete(Key(index));
  }
  int StringOf(int index, int layer) const {
    return def.keys[static_cast<std::size_t>(index)].layers[static_cast<std::size_t>(layer)].ibmkey;
  }

  KeyboardDefinition def;
};

TEST_F(KeyMovesTest, AMoveTakesTheWholeKeyAndLeavesTheButtonFieldsAndAClearedSource) {
  GiveKey(kA, 0, 31);
  GiveString(kA, 1, 0, 3);
  SetFieldText(Key(kA).legend, "Esc");
  Key(kA).layers[0].scan2code = 0x76;
  GiveString(kB, 2, 1, 4);  // replaced by the move: its string is freed
  const KeyDefinition sourceBefore = Key(kA);
  const KeyDefinition targetBefore = Key(kB);

  EXPECT_EQ(MoveKey(def, kA, kB, KeyMove::Move), EditResult::Done);
  EXPECT_EQ(std::memcmp(&Key(kB).layers, &sourceBefore.layers, sizeof(sourceBefore.layers)), 0);
  EXPECT_EQ(FieldText(Key(kB).legend), "Esc");
  EXPECT_EQ(Key(kB).buttonId, targetBefore.buttonId);
  EXPECT_EQ(FieldText(Key(kA).legend), "Nothing");
  EXPECT_EQ(Key(kA).layers[0].scan2code, 0x76);  // cleared as ClearKeys clears
  EXPECT_TRUE(def.stringWorkBuffer[1][0].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
}

TEST_F(KeyMovesTest, ACopiedStringLayerGetsAStringOfItsOwn) {
  GiveString(kA, 0, 0, 3);
  GiveString(kA, 3, 2, 5);
  GiveString(KeyIndex(0, 0), 0, 1, 2);  // taken: the copies go to 3 and 4
  EXPECT_EQ(MoveKey(def, kA, kB, KeyMove::Copy), EditResult::Done);
  EXPECT_EQ(StringOf(kB, 0), 3);
  EXPECT_EQ(def.stringWorkBuffer[3], def.stringWorkBuffer[0]);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[4]), 5);
  EXPECT_EQ(def.settings.NumberOfStrings, 5);
}

TEST_F(KeyMovesTest, ACopyOverAKeyFreesItsStringsUnlessAnotherKeyNamesThem) {
  GiveKey(kA, 0, 40);
  GiveString(kB, 0, 0, 3);
  GiveString(kB, 1, 1, 2);
  Key(KeyIndex(7, 7)).layers[2] = Key(kB).layers[1];  // string 1 is named elsewhere too
  EXPECT_EQ(MoveKey(def, kA, kB, KeyMove::Copy), EditResult::Done);
  EXPECT_TRUE(def.stringWorkBuffer[0][0].IsTerminator());
  EXPECT_EQ(StringLength(def.stringWorkBuffer[1]), 2);
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
}

TEST_F(KeyMovesTest, ASwapExchangesTheKeysAndTheirStringsStay) {
  GiveString(kA, 0, 0, 3);
  GiveKey(kB, 1, 12);
  Key(kB).enabled = 0;
  EXPECT_EQ(MoveKey(def, kA, kB, KeyMove::Swap), EditResult::Done);
  EXPECT_EQ(StringOf(kB, 0), 0);
  EXPECT_EQ(Key(kA).enabled, 0);
  EXPECT_EQ(Key(kA).buttonId, kFirstButtonId + kA);
}

TEST_F(KeyMovesTest, TheSamePositionOneOutsideTheMatrixOrNoFreeStringChangesNothing) {
  // Every string is named twice, so no copy frees one for another.
  for (int n = 0; n < kStringCount; ++n) {
    for (const auto& [key, layer] : {std::pair{n, 3}, {(n + 1) % kKeyCount, 2}}) {
      KeyLayer& l = Key(key).layers[static_cast<std::size_t>(layer)];
      l.keytype = STRING_KEY;
      l.ibmkey = n;
    }
  }
  GiveKey(kB, 0, 31);
  const KeyboardDefinition before = def;
  for (const auto& [from, to] : {std::pair{kA, kA}, {kA, -1}, {kA, 128}, {-1, kA}})
    for (const KeyMove how : {KeyMove::Move, KeyMove::Copy, KeyMove::Swap})
      EXPECT_EQ(MoveKey(def, from, to, how), EditResult::Unchanged);
  // A copy that finds no free string number.
  EXPECT_EQ(MoveKey(def, KeyIndex(0, 0), kB, KeyMove::Copy), EditResult::NoFreeString);
  EXPECT_EQ(std::memcmp(&def.keys, &before.keys, sizeof(def.keys)), 0);
  EXPECT_EQ(MoveKey(def, KeyIndex(0, 0), kB, KeyMove::Move), EditResult::Done);
}

TEST_F(KeyMovesTest, CopyLayerCountsAndChangesOnlyKeysWhoseLayersDiffer) {
  for (int k = 0; k < 37; ++k) GiveKey(k, 1, 1 + k);
  GiveKey(50, 1, 20);
  GiveKey(50, 2, 20);  // the same already
  EXPECT_EQ(CountLayerChanges(def, LayerEdit::Copy, 1, 2), 37);
  EXPECT_EQ(CountLayerChanges(def, LayerEdit::Copy, 1, 4), 0);  // no such layer
  EXPECT_EQ(EditLayers(def, LayerEdit::Copy, 1, 2), EditResult::Done);
  EXPECT_EQ(Key(36).layers[2].ibmkey, 37);
  EXPECT_EQ(EditLayers(def, LayerEdit::Copy, 1, 2), EditResult::Unchanged);
}

TEST_F(KeyMovesTest, CopyLayerGivesEachCopiedMacroItsOwnStringAndFreesThoseItReplaces) {
  GiveString(kA, 1, 0, 3);
  GiveString(kB, 1, 1, 2);
  GiveString(kB, 2, 2, 4);  // replaced by fn1's copy
  EXPECT_EQ(EditLayers(def, LayerEdit::Copy, 1, 2), EditResult::Done);
  EXPECT_NE(StringOf(kA, 2), StringOf(kB, 2));
  EXPECT_EQ(def.stringWorkBuffer[StringOf(kA, 2)], def.stringWorkBuffer[0]);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[StringOf(kB, 2)]), 2);
  EXPECT_EQ(MeasureMacroStore(def).strokes, 3 + 2 + 3 + 2);
}

TEST_F(KeyMovesTest, SwapAndClearLayersFollowTheCompleteFlag) {
  GiveKey(kA, 0, 31);
  Key(kA).layers[2].keytype = LOCAL_ILLUMINATION_KEY;
  Key(kA).layers[2].used = 1;
  EXPECT_EQ(EditLayers(def, LayerEdit::Swap, 0, 2), EditResult::Done);
  EXPECT_EQ(Key(kA).layers[0].keytype, LOCAL_ILLUMINATION_KEY);
  EXPECT_EQ(Key(kA).layers[2].ibmkey, 31);

  GiveString(kB, 0, 0, 3);
  EXPECT_EQ(CountLayerChanges(def, LayerEdit::Clear, 0, 0), 2);
  EXPECT_EQ(EditLayers(def, LayerEdit::Clear, 0, 0), EditResult::Done);
  EXPECT_EQ(Key(kB).complete, 0);
  EXPECT_EQ(Key(kA).complete, 1);  // its fn2 layer still holds a key
  EXPECT_TRUE(def.stringWorkBuffer[0][0].IsTerminator());
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
}

}  // namespace
}  // namespace veltrane::model
