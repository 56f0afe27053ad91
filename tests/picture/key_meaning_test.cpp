// SPDX-License-Identifier: MIT
// The short words a printed key shows, and which keys are drawn grey.
#include "picture/key_meaning.h"

#include <gtest/gtest.h>

#include "model/key_tables.h"

namespace veltrane::picture {
namespace {

model::KeyLayer TableKey(int row, std::uint8_t modes = 0) {
  model::KeyLayer layer;
  model::AssignTableKey(layer, row);
  layer.keymode = modes;
  layer.used = 1;
  return layer;
}

model::KeyLayer Typed(std::uint8_t keytype, std::int32_t ibmkey = 0) {
  model::KeyLayer layer;
  layer.keytype = keytype;
  layer.ibmkey = ibmkey;
  layer.used = 1;
  return layer;
}

TEST(KeyMeaning, KeysAreNamedShortWithTheirKind) {
  model::KeyLayer aLightUp = TableKey(31);
  aLightUp.keytype |= model::KEYTYPE_LIGHT_UP;
  struct Case {
    model::KeyLayer layer;
    const char* words;
    MeaningKind kind;
  };
  const Case cases[] = {
      {TableKey(31), "A", MeaningKind::Key},
      {TableKey(57), "RShift", MeaningKind::Modifier},
      {TableKey(144), "Vol+", MeaningKind::Media},
      {TableKey(134), "Fn1", MeaningKind::Fn},
      {TableKey(130), "Mouse L", MeaningKind::Mouse},
      // Macros, Fn and light keys by their type; the light flags beside it, as the window's bulbs.
      {Typed(model::STRING_KEY, 3), "Macro 3", MeaningKind::Macro},
      {Typed(model::LOCAL_SHIFT_LEFT_KEY), "Fn1", MeaningKind::Fn},
      {Typed(model::LOCAL_ILLUMINATION_KEY | model::KEYTYPE_LIGHT_UP), "Light+",
       MeaningKind::Light},
      {Typed(model::KEYTYPE_LIGHT_DOWN | model::UNUSED_KEY), "Light-", MeaningKind::Light},
      {aLightUp, "A Light+", MeaningKind::Key},
      // A number past the table, from a damaged file, is shown as it is.
      {Typed(model::NORMAL_KEY, 500), "IBM 500", MeaningKind::Key},
  };
  for (const Case& c : cases) {
    const Meaning meaning = LayerMeaning(c.layer);
    EXPECT_EQ(meaning.words, c.words);
    EXPECT_EQ(meaning.kind, c.kind) << c.words;
    EXPECT_EQ(meaning.modes, "") << c.words;
  }
  EXPECT_EQ(LayerMeaning(model::KeyLayer{}).kind, MeaningKind::None);
  EXPECT_EQ(LayerMeaning(TableKey(0)).kind, MeaningKind::None);
}

TEST(KeyMeaning, KeyModesAreTheModifiersTheKeyIsSentWith) {
  const Meaning meaning = LayerMeaning(
      TableKey(48, model::KEYMODE_CTRL | model::KEYMODE_SHIFT | model::KEYMODE_REPEAT_OFF));
  EXPECT_EQ(meaning.words, "C");
  EXPECT_EQ(meaning.modes, "Ctrl+Shift");  // Repeat Off and Base are no modifiers
}

TEST(KeyMeaning, OnlyWhatTheKeyboardGetsIsActive) {
  model::KeyDefinition key;
  key.layers[1] = TableKey(31);
  key.layers[2] = Typed(model::UNUSED_KEY, 31);  // used, but of no type
  EXPECT_TRUE(IsActive(key, 1));
  EXPECT_FALSE(IsActive(key, 0));  // a cleared layer
  EXPECT_FALSE(IsActive(key, 2));
  key.layers[1].used = 0;
  EXPECT_FALSE(IsActive(key, 1));
  key.layers[1].used = 1;
  key.used = 0;
  EXPECT_FALSE(IsActive(key, 1));
  key.used = 1;
  key.enabled = 0;
  EXPECT_FALSE(IsActive(key, 1));
}

TEST(KeyMeaning, StrokesAreNamedWithTheirModifiers) {
  EXPECT_EQ(StrokeName({0x05, 0x4C, 0x71, 2}), "Ctrl+Alt+Del");
  EXPECT_EQ(StrokeName({0, 0x8A, 0, 0}), "usb 0x8a");
}

}  // namespace
}  // namespace veltrane::picture
