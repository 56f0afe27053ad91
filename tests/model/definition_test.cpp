// SPDX-License-Identifier: MIT
#include "model/definition.h"

#include <gtest/gtest.h>

#include "model/key_tables.h"

namespace veltrane::model {
namespace {

StringChar Stroke(std::uint8_t n) {
  return StringChar{0x02, n, static_cast<std::uint8_t>(n + 1), 0};
}

void FillString(KeyboardDefinition& def, int n, int strokes) {
  for (int i = 0; i < strokes; ++i)
    def.stringWorkBuffer[n][i] = Stroke(static_cast<std::uint8_t>(i + 1));
  def.stringWorkBuffer[n][strokes] = StringChar{};
}

class DefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseDefinition(def); }
  KeyboardDefinition def;
};

TEST_F(DefinitionTest, StartUpStateHasButtonsAndDefaults) {
  const KeyDefinition& key = def.keys[KeyIndex(15, 7)];
  EXPECT_EQ(key.buttonId, 34560u + 127);
  EXPECT_EQ(key.buttonX, 7 * 20 + 40);
  EXPECT_EQ(key.buttonY, 15 * 20 + 40);
  EXPECT_EQ(key.buttonWidth, 16);
  EXPECT_EQ(FieldText(key.legend), "Nothing");
  EXPECT_EQ(def.settings.EnableBits, 1);
  EXPECT_EQ(def.settings.ScrollWheelGain, 1);
  EXPECT_EQ(def.settings.PointDeviceParams[0], 13);
  EXPECT_EQ(def.settings.PointDeviceParams[1], 1);
  EXPECT_EQ(def.settings.PointDeviceParams[19], 120);
}

TEST_F(DefinitionTest, ClearKeysKeepsCodesButtonsAndLogicalAddress) {
  KeyDefinition& key = def.keys[9];
  key.enabled = 0;
  key.used = 0;
  key.complete = 1;
  key.logicalAddress = 77;
  SetFieldText(key.legend, "Esc");
  AssignTableKey(key.layers[2], 1);
  key.layers[2].used = 1;
  key.layers[2].keymode = KEYMODE_SHIFT;
  key.layers[2].stringcharcount = 4;
  ClearKeys(def);
  EXPECT_EQ(key.enabled, 1);
  EXPECT_EQ(key.used, 1);
  EXPECT_EQ(key.complete, 0);
  EXPECT_EQ(FieldText(key.legend), "Nothing");
  EXPECT_EQ(key.logicalAddress, 77);
  EXPECT_EQ(key.buttonId, 34569u);
  const KeyLayer& layer = key.layers[2];
  EXPECT_EQ(layer.used, 0);
  EXPECT_EQ(layer.ibmkey, 0);
  EXPECT_EQ(layer.keymode, 0);
  EXPECT_EQ(layer.keytype, UNUSED_KEY);
  EXPECT_EQ(layer.stringcharcount, 0);
  EXPECT_EQ(layer.scan2code, 0x0E);
  EXPECT_EQ(layer.usbcode, 0x35);
}

TEST_F(DefinitionTest, CompleteNeedsAUsedAssignedLayer) {
  KeyDefinition& key = def.keys[0];
  key.layers[1].used = 1;
  key.layers[1].keytype = STRING_KEY;
  key.layers[1].ibmkey = 0;  // string number 0
  UpdateKeyComplete(key);
  EXPECT_EQ(key.complete, 1);

  key.layers[1].keytype = UNUSED_KEY;
  key.layers[1].ibmkey = 40;
  UpdateKeyComplete(key);
  EXPECT_EQ(key.complete, 0);

  key.layers[1].keytype = NORMAL_KEY;
  key.layers[1].ibmkey = 0;  // "No Key"
  UpdateKeyComplete(key);
  EXPECT_EQ(key.complete, 0);

  key.layers[1].used = 2;  // only exactly 1 counts
  key.layers[1].ibmkey = 40;
  UpdateKeyComplete(key);
  EXPECT_EQ(key.complete, 0);
}

TEST_F(DefinitionTest, UnusedKeyIsNeverCompleteUnlessItIsALightKey) {
  KeyDefinition& key = def.keys[3];
  key.used = 0;
  for (KeyLayer& layer : key.layers) {
    AssignTableKey(layer, 31);
    layer.used = 1;
  }
  UpdateKeyComplete(key);
  EXPECT_EQ(key.complete, 0);
  EXPECT_EQ(key.used, 0);

  ClearKeys(def);
  key.used = 0;
  key.layers[0].keytype = LOCAL_ILLUMINATION_KEY;
  UpdateKeyComplete(key);
  EXPECT_EQ(key.used, 1);
  EXPECT_EQ(key.complete, 1);

  key.layers[0].keytype = LOCAL_ILLUMINATION_KEY | KEYTYPE_LIGHT_UP;  // whole byte compared
  key.used = 0;
  UpdateKeyComplete(key);
  EXPECT_EQ(key.used, 0);
}

TEST_F(DefinitionTest, AssignTableKeyCopiesTheRowAndRefusesOthers) {
  KeyLayer layer;
  layer.keymode = KEYMODE_ALT;
  layer.used = 1;
  layer.stringcharcount = 3;
  ASSERT_TRUE(AssignTableKey(layer, 144));
  EXPECT_EQ(layer.ibmkey, 144);
  EXPECT_EQ(layer.keytype, CONSUMER_KEY);
  EXPECT_EQ(layer.scan3code, 0x32);
  EXPECT_EQ(layer.usbcode, 0x04);
  EXPECT_EQ(layer.keymode, 0);
  EXPECT_EQ(layer.used, 1);
  EXPECT_EQ(layer.stringcharcount, 3);
  const KeyLayer before = layer;
  EXPECT_FALSE(AssignTableKey(layer, 159));
  EXPECT_FALSE(AssignTableKey(layer, -1));
  EXPECT_EQ(layer.ibmkey, before.ibmkey);
  EXPECT_EQ(layer.keytype, before.keytype);
}

TEST_F(DefinitionTest, StringsAreReferencedByStringLayersOnly) {
  KeyLayer& layer = def.keys[5].layers[3];
  layer.ibmkey = 7;
  EXPECT_FALSE(IsStringReferenced(def, 7));  // a key layer's row 7 is no string
  layer.keytype = STRING_KEY | KEYTYPE_LIGHT_UP;
  EXPECT_TRUE(IsStringReferenced(def, 7));
  EXPECT_FALSE(IsStringReferenced(def, 7, &layer));
  EXPECT_FALSE(IsStringReferenced(def, 8));
}

TEST(TextField, CutsOnACharacterBoundary) {
  const std::string euro = "\xE2\x82\xAC";  // three bytes
  EXPECT_EQ(CutText("Prix" + euro, 6), "Prix");
  EXPECT_EQ(CutText("Prix" + euro, 7), "Prix" + euro);
  EXPECT_EQ(CutText("ab\xF0\x9F\x98\x80", 5), "ab");
  EXPECT_EQ(CutText("ab\xC3\xA9z", 3), "ab");
  // Bytes that are no UTF-8 are cut where the limit falls.
  EXPECT_EQ(CutText("ab\x80\x80\x80", 3), "ab\x80");
  EXPECT_EQ(CutText("ab\xE2\x82", 3), "ab\xE2");
  EXPECT_EQ(CutText("abc", 3), "abc");
  TextField<32> legend;
  SetFieldText(legend, std::string(29, 'x') + euro + "y");
  EXPECT_EQ(FieldText(legend), std::string(29, 'x'));
  EXPECT_EQ(legend[29], '\0');
  SetFieldText(legend, std::string(28, 'x') + euro + "y");
  EXPECT_EQ(FieldText(legend), std::string(28, 'x') + euro);
}

TEST_F(DefinitionTest, FlattenEmptyStringsGivesOneTerminatorEach) {
  EXPECT_EQ(FlattenStrings(def), 0);
  for (int n = 0; n < kStringCount; ++n) EXPECT_EQ(def.stringIndex[n], 2304 + 4 * n);
  for (const StringChar& entry : def.stringStore) EXPECT_TRUE(entry.IsTerminator());
}

TEST_F(DefinitionTest, FlattenPlacesStringsOneAfterAnother) {
  FillString(def, 0, 3);
  EXPECT_EQ(FlattenStrings(def), 0);
  EXPECT_EQ(def.stringIndex[0], 2304);
  EXPECT_EQ(def.stringIndex[1], 2320);
  EXPECT_EQ(def.stringIndex[127], 2304 + 4 * 130);
  EXPECT_EQ(def.stringStore[2], Stroke(3));
  EXPECT_TRUE(def.stringStore[3].IsTerminator());
}

TEST_F(DefinitionTest, FlattenSaturatesAtTheLastEntryAndCountsTheLoss) {
  FillString(def, 0, 70);
  EXPECT_EQ(FlattenStrings(def),
            0);  // 70 + 128 terminators = 198 > 192, but only terminators pile up
  EXPECT_EQ(def.stringIndex[1], 2304 + 4 * 71);
  EXPECT_EQ(def.stringIndex[121], 2304 + 4 * 191);
  EXPECT_EQ(def.stringIndex[122], 3068);
  EXPECT_EQ(def.stringIndex[127], 3068);
  EXPECT_TRUE(def.stringStore[191].IsTerminator());

  ClearStringWorkBuffer(def, true);
  FillString(def, 127, 70);
  EXPECT_EQ(FlattenStrings(def), 6);
  EXPECT_EQ(def.stringIndex[127], 2304 + 4 * 127);
  EXPECT_EQ(def.stringStore[190], Stroke(64));
  EXPECT_TRUE(def.stringStore[191].IsTerminator());
}

TEST(Stroke, BytesInFileOrder) {
  const StringChar stroke{KEYMODE_SHIFT, 0x1C, 0x35, 2};
  EXPECT_EQ(EncodeStroke(stroke), (StrokeBytes{KEYMODE_SHIFT, 0x1C, 0x35, 2}));
  const StrokeBytes bytes = EncodeStroke(stroke);
  EXPECT_EQ(DecodeStroke(bytes), stroke);
}

TEST_F(DefinitionTest, RebuildGivesBackEveryStringThatFitted) {
  FillString(def, 0, 40);
  FillString(def, 5, 20);
  FillString(def, 126, 2);
  FlattenStrings(def);
  const auto original = def.stringWorkBuffer;
  ClearStringWorkBuffer(def, false);
  RebuildStringWorkBuffer(def);
  for (int n : {0, 5, 126}) {
    const int length = StringLength(original[n]);
    ASSERT_EQ(StringLength(def.stringWorkBuffer[n]), length) << n;
    for (int i = 0; i < length; ++i) EXPECT_EQ(def.stringWorkBuffer[n][i], original[n][i]);
  }
  EXPECT_EQ(StringLength(def.stringWorkBuffer[127]), 0);
}

TEST_F(DefinitionTest, RebuildCutsAnOverlongStoredStringAndKeepsLaterNumbers) {
  ClearStringStore(def);
  for (int i = 0; i < 100; ++i) def.stringStore[i] = Stroke(static_cast<std::uint8_t>(i + 1));
  // entry 100 terminates string 0; string 1 has one stroke
  def.stringStore[101] = Stroke(200);
  for (StringRow& row : def.stringWorkBuffer) row.fill(Stroke(9));  // stale bytes everywhere
  ClearStringWorkBuffer(def, false);
  RebuildStringWorkBuffer(def);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[0]), kMaxStringStrokes);
  EXPECT_EQ(def.stringWorkBuffer[0][78], Stroke(79));
  EXPECT_EQ(StringLength(def.stringWorkBuffer[1]), 1);
  EXPECT_EQ(def.stringWorkBuffer[1][0], Stroke(200));
  for (const StringRow& row : def.stringWorkBuffer) EXPECT_LE(StringLength(row), kMaxStringStrokes);
}

TEST_F(DefinitionTest, RebuildOfAStoreWithoutTerminatorsStaysInTheRow) {
  for (StringChar& entry : def.stringStore) entry = Stroke(1);
  for (StringRow& row : def.stringWorkBuffer) row.fill(Stroke(9));
  ClearStringWorkBuffer(def, false);
  RebuildStringWorkBuffer(def);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[0]), kMaxStringStrokes);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[1]), 0);
}

TEST_F(DefinitionTest, ClearStringWorkBufferOnlyResetsTheCountWhenAsked) {
  def.settings.NumberOfStrings = 5;
  FillString(def, 2, 4);
  ClearStringWorkBuffer(def, false);
  EXPECT_EQ(def.settings.NumberOfStrings, 5);
  EXPECT_EQ(StringLength(def.stringWorkBuffer[2]), 0);
  EXPECT_EQ(def.stringWorkBuffer[2][1], Stroke(2));  // behind the terminator, kept
  ClearStringWorkBuffer(def, true);
  EXPECT_EQ(def.settings.NumberOfStrings, 0);
}

}  // namespace
}  // namespace veltrane::model
