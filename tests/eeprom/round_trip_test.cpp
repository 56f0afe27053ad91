// SPDX-License-Identifier: MIT
// Random definitions built into an image and decoded back.
#include <gtest/gtest.h>

#include <tuple>

#include "eeprom/image_builder.h"
#include "eeprom/image_reader.h"
#include "eeprom_test_support.h"
#include "model/key_tables.h"
#include "random_definitions.h"

namespace veltrane::eeprom {
namespace {

using model::KeyboardDefinition;
using model::KeyLayer;
using test::RandomDefinitions;

std::int32_t ExpectedIbmKey(const KeyLayer& original) {
  if (original.keytype == model::STRING_KEY) return original.ibmkey;
  const std::uint8_t usb = model::IbmKeyTable[static_cast<std::size_t>(original.ibmkey)].usb;
  switch (original.keytype) {
    case model::NORMAL_KEY:
    case model::LOCAL_SHIFT_LEFT_KEY:
    case model::SHIFT_LEFT_KEY:
    case model::UNUSED_KEY:
      return model::FindRowByUsb(usb);
    default:
      return model::FindRowByTypeAndUsb(original.keytype, usb);
  }
}

auto CodesOf(std::int32_t row) {
  const model::IbmKeyRow& r = model::IbmKeyTable[static_cast<std::size_t>(row)];
  return std::tuple(r.scan2, r.scan3, r.usb);
}

void ExpectLayerBack(const KeyLayer& original, const KeyLayer& decoded) {
  ASSERT_EQ(decoded.used, 1);
  EXPECT_EQ(decoded.keymode, original.keymode);
  EXPECT_EQ(decoded.keytype, original.keytype);
  // The row the table search finds, unless its codes are not the ones built
  // (light flags in the type, a USB code that several rows share): then a row
  // holding those codes.
  const std::int32_t searched = ExpectedIbmKey(original);
  if (original.keytype == model::STRING_KEY || CodesOf(searched) == CodesOf(original.ibmkey)) {
    EXPECT_EQ(decoded.ibmkey, searched);
  } else {
    EXPECT_EQ(CodesOf(decoded.ibmkey), CodesOf(original.ibmkey));
  }
  if (original.keytype == model::STRING_KEY) {
    EXPECT_EQ(decoded.scan2code, original.ibmkey);
    EXPECT_EQ(decoded.usbcode, original.ibmkey);
  } else {
    const model::IbmKeyRow& row = model::IbmKeyTable[static_cast<std::size_t>(original.ibmkey)];
    EXPECT_EQ(decoded.scan2code, row.scan2);
    EXPECT_EQ(decoded.scan3code, row.scan3);
    EXPECT_EQ(decoded.usbcode, row.usb);
  }
}

// Whether string s and all strings before it fit the store whole.
bool StringFits(const KeyboardDefinition& def, int s) {
  int slots = 0;
  for (int n = 0; n <= s; ++n)
    slots += model::StringLength(def.stringWorkBuffer[static_cast<std::size_t>(n)]) + 1;
  return slots <= model::kStoreEntries;
}

void ExpectStringBack(const KeyboardDefinition& original, const KeyboardDefinition& decoded,
                      int s) {
  const model::StringRow& want = original.stringWorkBuffer[static_cast<std::size_t>(s)];
  const model::StringRow& got = decoded.stringWorkBuffer[static_cast<std::size_t>(s)];
  const int length = model::StringLength(want);
  ASSERT_EQ(model::StringLength(got), length) << "string " << s;
  for (int i = 0; i < length; ++i)
    EXPECT_EQ(got[static_cast<std::size_t>(i)], want[static_cast<std::size_t>(i)]);
}

void ExpectDefinitionBack(const KeyboardDefinition& original, const KeyboardDefinition& decoded,
                          const EepromImage& built) {
  for (int i = 0; i < model::kKeyCount; ++i) {
    const model::KeyDefinition& key = original.keys[static_cast<std::size_t>(i)];
    for (int j = 0; j < model::kLayerCount; ++j) {
      const KeyLayer& want = key.layers[static_cast<std::size_t>(j)];
      const KeyLayer& got =
          decoded.keys[static_cast<std::size_t>(i)].layers[static_cast<std::size_t>(j)];
      if (key.used == 0 || want.used == 0) {
        EXPECT_EQ(got.used, 0);
        continue;
      }
      ExpectLayerBack(want, got);
      EXPECT_EQ(decoded.keys[static_cast<std::size_t>(i)].complete, 1);
      const std::uint8_t a = built[LogicalAddressOffset(j, i)];
      // Table row 133 ("String") makes a string key numbered past the last string.
      if (want.keytype == model::STRING_KEY && want.ibmkey < model::kStringCount && a < 128 &&
          StringFits(original, want.ibmkey))
        ExpectStringBack(original, decoded, want.ibmkey);
    }
  }
}

TEST(RoundTripTest, DecodedImageGivesBackEveryPlacedLayerAndFittingString) {
  RandomDefinitions random(20240611);
  int checked = 0;
  for (int iteration = 0; iteration < 400; ++iteration) {
    auto original = test::StartUpDefinition();
    random.Fill(*original);
    const int firmware = random.Firmware();
    EepromImage image{};
    model::FlattenStrings(*original);
    const BuildResult result = BuildImage(*original, "", firmware, image, nullptr);
    if (!result.fits) {
      EXPECT_GT(result.distinctMeanings, kMaxDistinctMeanings);
      continue;
    }
    const EepromImage built = image;
    auto decoded = test::StartUpDefinition();
    decoded->settings = DecodeImage(image, firmware, *decoded).settings;
    SCOPED_TRACE(::testing::Message() << "iteration " << iteration << " firmware " << firmware);
    ExpectDefinitionBack(*original, *decoded, built);
    ++checked;
    if (HasFailure()) break;
  }
  EXPECT_GT(checked, 200);
}

}  // namespace
}  // namespace veltrane::eeprom
