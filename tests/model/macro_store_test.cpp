// SPDX-License-Identifier: MIT
#include "model/macro_store.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "model/key_tables.h"

namespace veltrane::model {
namespace {

void FillMacro(KeyboardDefinition& def, int n, int strokes) {
  auto& row = def.stringWorkBuffer[static_cast<std::size_t>(n)];
  for (int i = 0; i < strokes; ++i) row[static_cast<std::size_t>(i)] = {0x02, 0x04, 0x1C, 0};
  if (strokes < kStringRowLength) row[static_cast<std::size_t>(strokes)] = StringChar{};
}

int Lost(const std::vector<StringLoss>& losses) {
  return std::accumulate(losses.begin(), losses.end(), 0,
                         [](int sum, const StringLoss& loss) { return sum + loss.lost; });
}

class MacroStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseDefinition(def); }
  KeyboardDefinition def;
};

TEST_F(MacroStoreTest, EmptyStringsAfterTheLastMacroTakeNoEntry) {
  EXPECT_EQ(MeasureMacroStore(def).entries(), 0);
  // 75 strokes in strings 0..3 once read as a full store (75 + 128 end marks).
  for (int n = 0; n < 3; ++n) FillMacro(def, n, 19);
  FillMacro(def, 3, 18);
  MacroStoreUse use = MeasureMacroStore(def);
  EXPECT_EQ(use.entries(), 79);
  EXPECT_TRUE(use.fits());
  // Three more macros of 40: the last loses 10 of its strokes.
  for (int n = 4; n < 7; ++n) FillMacro(def, n, 40);
  use = MeasureMacroStore(def);
  EXPECT_EQ(use.entries(), 202);
  EXPECT_FALSE(use.fits());
  const std::vector<StringLoss> losses = StringsLosingStrokes(LengthsOfStrings(def));
  ASSERT_EQ(losses.size(), 1u);
  EXPECT_EQ(losses[0].string, 6);
  EXPECT_EQ(losses[0].lost, 10);
  EXPECT_EQ(FlattenStrings(def), 10);
}

TEST_F(MacroStoreTest, EmptyStringsBeforeTheLastMacroTakeTheirEndMarks) {
  FillMacro(def, 127, 64);
  MacroStoreUse use = MeasureMacroStore(def);
  EXPECT_EQ(use.emptyEndMarks, 127);
  EXPECT_EQ(use.entries(), 192);
  EXPECT_TRUE(StringsLosingStrokes(LengthsOfStrings(def)).empty());
  FillMacro(def, 127, 65);
  EXPECT_EQ(MeasureMacroStore(def).entries(), 193);
  EXPECT_EQ(Lost(StringsLosingStrokes(LengthsOfStrings(def))), 1);
  // A full row without a terminator counts all 80 of its entries, as the packer reads them.
  FillMacro(def, 127, 0);
  FillMacro(def, 0, 80);
  EXPECT_EQ(MeasureMacroStore(def).strokes, 80);
}

// The count the gauge and the refusals go by is the packer's: over random
// sparse string sets, the strings fit exactly when FlattenStrings drops
// nothing, they then end where the last string's terminator lies, and the
// strokes lost per string add up to what it drops.
TEST_F(MacroStoreTest, MeasureAgreesWithFlattenStringsForRandomSparseStrings) {
  std::mt19937 random(26);
  for (int round = 0; round < 500; ++round) {
    ClearStringWorkBuffer(def, true);
    const int strings = std::uniform_int_distribution<int>(0, 14)(random);
    for (int i = 0; i < strings; ++i) {
      const int n = std::uniform_int_distribution<int>(0, 127)(random);
      FillMacro(def, n, std::uniform_int_distribution<int>(1, round % 3 ? 25 : 79)(random));
    }
    const StringLengths lengths = LengthsOfStrings(def);
    const MacroStoreUse use = MeasureMacroStore(lengths);
    KeyboardDefinition packed = def;
    const int dropped = FlattenStrings(packed);
    ASSERT_EQ(use.fits(), dropped == 0) << round;
    ASSERT_EQ(Lost(StringsLosingStrokes(lengths)), dropped) << round;
    if (!use.fits() || use.lastString < 0) continue;
    const int last = use.lastString;
    const int start = (packed.stringIndex[static_cast<std::size_t>(last)] - kStringStoreBase) / 4;
    ASSERT_EQ(use.entries(), start + lengths[static_cast<std::size_t>(last)] + 1) << round;
  }
}

TEST_F(MacroStoreTest, LayersNamingAStringAndTheirCounts) {
  FillMacro(def, 5, 3);
  KeyLayer& first = def.keys[KeyIndex(3, 5)].layers[1];
  KeyLayer& second = def.keys[KeyIndex(4, 0)].layers[0];
  first = {1, {}, 5, 0, STRING_KEY};
  first.stringcharcount = 79;  // left from a save that cut the macro
  second = {1, {}, 5, 0, STRING_KEY | KEYTYPE_LIGHT_UP};
  def.keys[0].layers[2] = {1, {}, 5, 0, NORMAL_KEY};  // row 5, not string 5
  const std::vector<LayerPlace> places = LayersNamingString(def, 5);
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ((std::array{places[0].row, places[0].column, places[0].layer}), (std::array{3, 5, 1}));
  EXPECT_EQ((std::array{places[1].row, places[1].column, places[1].layer}), (std::array{4, 0, 0}));
  EXPECT_TRUE(SyncStringCharCounts(def));
  EXPECT_EQ(first.stringcharcount, 3);
  EXPECT_EQ(second.stringcharcount, 3);
  EXPECT_FALSE(SyncStringCharCounts(def));
}

}  // namespace
}  // namespace veltrane::model
