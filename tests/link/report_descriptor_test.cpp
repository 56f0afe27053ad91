// SPDX-License-Identifier: MIT
#include "link/report_descriptor.h"

#include <gtest/gtest.h>

#include "link/hid_nodes.h"
#include "tests/link/test_files.h"

namespace veltrane::link {
namespace {

using testing::LoadHexFile;

void ExpectCollection(const TopCollection& c, std::uint16_t page, std::uint16_t usage,
                      std::uint16_t input, std::uint16_t output, std::uint16_t feature) {
  EXPECT_EQ(c.usagePage, page);
  EXPECT_EQ(c.usage, usage);
  EXPECT_EQ(c.Length(ReportType::Input), input);
  EXPECT_EQ(c.Length(ReportType::Output), output);
  EXPECT_EQ(c.Length(ReportType::Feature), feature);
}

TEST(ReportDescriptor, BootKeyboard) {
  const std::vector<std::uint8_t> bytes = LoadHexFile("boot_keyboard.hex");
  ASSERT_EQ(bytes.size(), 63u);
  const auto summary = ParseReportDescriptor(bytes);
  ASSERT_TRUE(summary);
  EXPECT_FALSE(summary->usesReportIds);
  ASSERT_EQ(summary->collectionCount, 1);
  ExpectCollection(summary->collections[0], 0x01, 0x06, 8, 1, 0);
}

TEST(ReportDescriptor, NestedVendorCollectionBelongsToTheKeyboard) {
  const auto summary = ParseReportDescriptor(LoadHexFile("vendor_collection_keyboard.hex"));
  ASSERT_TRUE(summary);
  ASSERT_EQ(summary->collectionCount, 1);
  ExpectCollection(summary->collections[0], 0x01, 0x06, 8, 1, 6);
}

TEST(ReportDescriptor, ReportIdsAddTheirByteToEveryLength) {
  const auto summary = ParseReportDescriptor(LoadHexFile("report_id_keyboard.hex"));
  ASSERT_TRUE(summary);
  EXPECT_TRUE(summary->usesReportIds);
  ASSERT_EQ(summary->collectionCount, 3);
  ExpectCollection(summary->collections[0], 0x0C, 0x01, 3, 0, 0);
  ExpectCollection(summary->collections[1], 0x01, 0x06, 9, 2, 0);
  ExpectCollection(summary->collections[2], 0xFF00, 0x01, 0, 0, 7);
}

TEST(ReportDescriptor, LongestReportOfATypeWinsAndExtendedUsagesCarryTheirPage) {
  const std::vector<std::uint8_t> bytes = {
      0x0B, 0x02, 0x00, 0x01, 0x00,  // Usage (Generic Desktop: Mouse), 4-byte form
      0xA1, 0x01,                    // Collection (Application)
      0xA4,                          //   Push
      0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02,  // ID 1: 2 bytes in
      0xB4,                                            //   Pop
      0x85, 0x02, 0x95, 0x05, 0x81, 0x02,              // ID 2: 0 x 5 bits: size was popped
      0x75, 0x08, 0x81, 0x02,                          // ID 2: 5 bytes in
      0xFE, 0x02, 0x10, 0xAA, 0xBB,                    //   a long item, skipped
      0xC0};
  const auto summary = ParseReportDescriptor(bytes);
  ASSERT_TRUE(summary);
  ASSERT_EQ(summary->collectionCount, 1);
  ExpectCollection(summary->collections[0], 0x01, 0x02, 6, 0, 0);
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
  std::vector<std::uint8_t> boot = LoadHexFile("boot_keyboard.hex");
  const std::vector<std::vector<std::uint8_t>> bad = {
      std::vector<std::uint8_t>(boot.begin(), boot.end() - 1),  // collection left open
      {0x05},                                                   // item without its data
      {0x26, 0xFF},                                             // 2-byte item cut short
      {0xC0},                                                   // end without a collection
      {0xB4},                                                   // pop without a push
      {0xFE, 0x05, 0x10, 0x00},                                 // long item cut short
      std::vector<std::uint8_t>(kMaxDescriptorSize + 1, 0x00)};
  for (const auto& bytes : bad) EXPECT_FALSE(ParseReportDescriptor(bytes)) << bytes.size();
  std::vector<std::uint8_t> many;
  for (int k = 0; k <= kMaxTopCollections; ++k)
    many.insert(many.end(), {0x09, 0x06, 0xA1, 0x01, 0xC0});
  EXPECT_FALSE(ParseReportDescriptor(many));
  EXPECT_TRUE(ParseReportDescriptor(std::vector<std::uint8_t>{}));
}

TEST(ReportDescriptor, ReportsOutsideApplicationCollectionsAreIgnored) {
  const std::vector<std::uint8_t> bytes = {0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // no collection
                                           0xA1, 0x02, 0x81, 0x02, 0xC0,        // top-level logical
                                           0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x91, 0x02, 0xC0};
  const auto summary = ParseReportDescriptor(bytes);
  ASSERT_TRUE(summary);
  ASSERT_EQ(summary->collectionCount, 1);
  ExpectCollection(summary->collections[0], 0x01, 0x06, 0, 4, 0);
}

}  // namespace
}  // namespace veltrane::link
