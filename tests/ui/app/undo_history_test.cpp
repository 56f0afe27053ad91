// SPDX-License-Identifier: MIT
#include "ui/app/undo_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "model/key_tables.h"
#include "model/macro_store.h"
#include "support/recording_messages.h"
#include "ui/app/key_edits.h"
#include "ui/app/undo_commands.h"

namespace veltrane::ui {
namespace {

// The bytes and settings a step covers are the same in both.
bool SameCovered(const model::KeyboardDefinition& a, const model::KeyboardDefinition& b) {
  model::Settings named = a.settings;
  named.ConfigFileName = b.settings.ConfigFileName;
  return std::memcmp(&a.keys, &b.keys, sizeof(a.keys)) == 0 &&
         a.settings.PointDeviceParams == b.settings.PointDeviceParams &&
         std::memcmp(&a.stringWorkBuffer, &b.stringWorkBuffer, sizeof(a.stringWorkBuffer)) == 0 &&
         named == b.settings;
}

class UndoHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  model::KeyboardDefinition& def() { return app.doc.def; }
  model::KeyDefinition& Key(int index) { return def().keys[static_cast<std::size_t>(index)]; }
  void GiveMacro(int key, int n, int strokes) {
    model::KeyLayer& layer = Key(key).layers[1];
    layer.keytype = model::STRING_KEY;
    layer.ibmkey = n;
    layer.used = 1;
    for (int i = 0; i < strokes; ++i)
      def().stringWorkBuffer[n][i] = {0, static_cast<std::uint8_t>(4 + i % 26), 0x1C, 0};
    def().stringWorkBuffer[n][strokes] = model::StringChar{};
  }

  AppState app;
};

TEST_F(UndoHistoryTest, NoChangeIsNoStepAndANewStepDropsTheUndoneOnes) {
  EXPECT_EQ(UndoCaption(app), "Undo");
  RecordStep(app, "Nothing");  // nothing changed: no step
  EXPECT_FALSE(UndoStep(app));
  def().settings.DebounceTime = 12;
  RecordStep(app, "DebounceTime 28 \u2192 12");
  EXPECT_TRUE(UndoStep(app));
  EXPECT_EQ(RedoCaption(app), "Redo DebounceTime 28 \u2192 12");
  def().settings.Leds[1] = 3;
  RecordStep(app, "Led2 0 \u2192 3");
  EXPECT_FALSE(RedoStep(app));
  EXPECT_EQ(app.history.UndoCount(), 1u);
  // A change not yet recorded is a step of its own before an undo.
  def().settings.ScrollWheelGain = 9;
  EXPECT_TRUE(UndoStep(app));
  EXPECT_EQ(def().settings.Leds[1], 3);
  EXPECT_EQ(RedoCaption(app), "Redo Edit");
}

TEST_F(UndoHistoryTest, WhatASaveTakesWithoutAStepSurvivesUndoAndRedoAndIsNoPartOfAStep) {
  def().settings.ConfigFileName = "desk.DAT";
  def().settings.SerialNumber = "SN1";
  def().stringWorkBuffer[0][0] = {0x02, 0x04, 0x1C, 0};
  RecordStep(app, "Load desk.DAT");
  Key(3).layers[0].keytype = model::STRING_KEY;
  Key(3).layers[0].stringcharcount = 9;  // wrong, as a damaged file may have it
  RecordStep(app, "Key Settings 0/3");
  Key(40).layers[1].ibmkey = 7;
  RecordStep(app, "Key Settings 5/0");
  // A save packs the store, counts the strokes again and names the file.
  model::FlattenStrings(def());
  model::SyncStringCharCounts(def());
  def().settings.ConfigFileName = "saved.DAT";
  TakeWithoutStep(app);
  const model::KeyboardDefinition saved = def();
  EXPECT_TRUE(UndoStep(app));
  EXPECT_TRUE(RedoStep(app));
  EXPECT_TRUE(SameCovered(def(), saved));

  for (int i = 0; i < 3; ++i) EXPECT_TRUE(UndoStep(app));
  EXPECT_EQ(def().settings.SerialNumber, "");
  EXPECT_TRUE(def().stringWorkBuffer[0][0].IsTerminator());
  EXPECT_EQ(def().settings.ConfigFileName, "saved.DAT");
  EXPECT_EQ(def().stringStore, saved.stringStore);
}

TEST_F(UndoHistoryTest, AThousandStepsOfAFullDefinitionStayAndAStepCostsWhatItChanged) {
  for (std::size_t k = 0; k < 128; ++k) {
    model::AssignTableKey(def().keys[k].layers[0], 1 + static_cast<int>(k % 100));
    def().keys[k].layers[0].used = 1;
  }
  RecordStep(app, "Load full.DAT");
  const std::size_t afterLoad = app.history.Bytes();
  for (int i = 0; i < 1000; ++i) {
    Key(i % 128).layers[1].ibmkey = i + 1;
    RecordStep(app, "Key Settings");
  }
  EXPECT_EQ(app.history.UndoCount(), 1001u);
  EXPECT_LT((app.history.Bytes() - afterLoad) / 1000, 200u);
  for (int i = 0; i < 1001; ++i) ASSERT_TRUE(UndoStep(app));
  EXPECT_EQ(Key(0).layers[0].keytype, model::UNUSED_KEY);
}

TEST_F(UndoHistoryTest, PastItsLimitTheHistoryDropsItsOldestSteps) {
  app.history = UndoHistory(sizeof(UndoHistory) + 4000);
  app.history.Reset(def());
  for (int i = 1; i <= 50; ++i) {
    def().settings.DebounceTime = static_cast<std::uint32_t>(i);
    RecordStep(app, "step " + std::to_string(i));
  }
  EXPECT_LE(app.history.Bytes(), sizeof(UndoHistory) + 4000);
  EXPECT_LT(app.history.UndoCount(), 50u);
  EXPECT_GT(app.history.UndoCount(), 3u);
  while (UndoStep(app)) {
  }
  EXPECT_EQ(def().settings.DebounceTime, 50 - app.history.RedoCount());
}

TEST_F(UndoHistoryTest, AStepThatChangesTheSettingsReplacesThemAsALoadDoes) {
  const int applied = app.settingsApplied;
  def().keys[0].used = 0;
  RecordStep(app, "Key Settings 0/0");
  UndoStep(app);
  EXPECT_EQ(app.settingsApplied, applied);
  def().settings.PointDevice = 1;
  RecordStep(app, "PointDevice 0 \u2192 1");
  UndoStep(app);
  EXPECT_EQ(app.settingsApplied, applied + 1);
}

TEST_F(UndoHistoryTest, ACopyThatWouldNotFitTheMacroStoreIsRefusedInItsWords) {
  GiveMacro(10, 0, 50);
  GiveMacro(11, 1, 20);  // 70 strokes and 2 end marks of 192
  ASSERT_TRUE(MoveKeyChecked(def(), 10, 20, model::KeyMove::Copy).ok());
  ASSERT_TRUE(MoveKeyChecked(def(), 10, 21, model::KeyMove::Copy).ok());
  const model::KeyboardDefinition full = def();
  const Outcome refused = MoveKeyChecked(def(), 10, 22, model::KeyMove::Copy);
  EXPECT_EQ(refused.result, Result::MacrosDoNotFit);
  EXPECT_NE(refused.macros.find("The macros need 225 entries; the keyboard's macro store holds "
                                "192. These would lose strokes: macro 4 (row 2, column 6, fn1)"),
            std::string::npos)
      << refused.macros;
  EXPECT_NE(refused.macros.find("Nothing was changed"), std::string::npos);
  EXPECT_TRUE(SameCovered(def(), full));
  // A move adds no strokes and goes on.
  EXPECT_TRUE(MoveKeyChecked(def(), 10, 22, model::KeyMove::Move).ok());
}

TEST_F(UndoHistoryTest, LayerEditsSayWhatTheyChange) {
  for (int k = 0; k < 37; ++k) {
    model::AssignTableKey(Key(k).layers[1], 1 + k);
    Key(k).layers[1].used = 1;
  }
  EXPECT_EQ(LayerEditQuestion(def(), model::LayerEdit::Copy, 1, 2),
            "Copy Fn1 to Fn2: 37 keys change");
  EXPECT_EQ(LayerEditQuestion(def(), model::LayerEdit::Clear, 2, 0), "Clear Fn2: no key changes");
}

}  // namespace
}  // namespace veltrane::ui
