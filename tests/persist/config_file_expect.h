// SPDX-License-Identifier: MIT
// Comparisons and fixtures shared by the configuration file tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "model/definition.h"
#include "persist/header_image.h"

namespace veltrane::persist::testing {

inline void ExpectSameLayer(const model::KeyLayer& a, const model::KeyLayer& b) {
  EXPECT_EQ(a.used, b.used);
  EXPECT_EQ(a.padding1, b.padding1);
  EXPECT_EQ(a.ibmkey, b.ibmkey);
  EXPECT_EQ(a.keymode, b.keymode);
  EXPECT_EQ(a.keytype, b.keytype);
  EXPECT_EQ(a.scan2code, b.scan2code);
  EXPECT_EQ(a.scan3code, b.scan3code);
  EXPECT_EQ(a.usbcode, b.usbcode);
  EXPECT_EQ(a.padding2, b.padding2);
  EXPECT_EQ(a.stringcharcount, b.stringcharcount);
}

inline void ExpectSameKey(const model::KeyDefinition& a, const model::KeyDefinition& b) {
  EXPECT_EQ(a.buttonHandle, b.buttonHandle);
  EXPECT_EQ(a.enabled, b.enabled);
  EXPECT_EQ(a.used, b.used);
  EXPECT_EQ(a.complete, b.complete);
  EXPECT_EQ(a.padding1, b.padding1);
  EXPECT_EQ(a.buttonId, b.buttonId);
  EXPECT_EQ(a.buttonX, b.buttonX);
  EXPECT_EQ(a.buttonY, b.buttonY);
  EXPECT_EQ(a.buttonWidth, b.buttonWidth);
  EXPECT_EQ(a.buttonHeight, b.buttonHeight);
  EXPECT_EQ(a.legend, b.legend);
  EXPECT_EQ(a.logicalAddress, b.logicalAddress);
  EXPECT_EQ(a.padding2, b.padding2);
  for (std::size_t l = 0; l < a.layers.size(); ++l) {
    SCOPED_TRACE("layer " + std::to_string(l));
    ExpectSameLayer(a.layers[l], b.layers[l]);
  }
}

inline void ExpectSameKeys(const model::KeyboardDefinition& a, const model::KeyboardDefinition& b) {
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    SCOPED_TRACE("key " + std::to_string(k));
    ExpectSameKey(a.keys[k], b.keys[k]);
  }
}

// The keys as ClearKeys leaves them, starting from `def`.
inline model::KeyboardDefinition Cleared(model::KeyboardDefinition def) {
  model::ClearKeys(def);
  return def;
}

inline void ExpectStringStoreEmpty(const model::KeyboardDefinition& def) {
  for (std::uint16_t index : def.stringIndex) EXPECT_EQ(index, 0);
  for (const model::StringChar& entry : def.stringStore) EXPECT_TRUE(entry.IsTerminator());
}

inline HeaderImage PatternedHeader() {
  HeaderImage header;
  for (std::size_t i = 0; i < kHeaderSize; ++i)
    header.bytes[i] = static_cast<std::uint8_t>(0xA0 ^ i);
  return header;
}

}  // namespace veltrane::persist::testing
