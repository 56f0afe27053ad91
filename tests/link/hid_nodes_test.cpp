// SPDX-License-Identifier: MIT
#include "link/hid_nodes.h"

#include <gtest/gtest.h>

#include "tests/link/test_files.h"

namespace veltrane::link {
namespace {

TEST(DistinctNodes, OneEntryPerPathInFirstSeenOrder) {
  const std::vector<ListedCollection> listed = {
      {"/dev/hidraw2", {0x7A31, 0xFF02}}, {"/dev/hidraw2", {0x7A31, 0xFF02}},
      {"/dev/hidraw0", {0x046D, 0xC52B}}, {"/dev/hidraw2", {0x7A31, 0xFF02}},
      {"/dev/hidraw1", {0x6C4E, 0xB5A0}}, {"/dev/hidraw0", {0x046D, 0xC52B}}};
  const std::vector<HidNode> nodes = DistinctNodes(listed);
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[0].path, "/dev/hidraw2");
  EXPECT_EQ(nodes[1].path, "/dev/hidraw0");
  EXPECT_EQ(nodes[2].path, "/dev/hidraw1");
  EXPECT_EQ(nodes[2].attributes.vendor, 0x6C4E);
  EXPECT_TRUE(DistinctNodes({}).empty());
}

TEST(NodeCapabilities, TheKeyboardCollectionStandsForTheNode) {
  const auto composite = ParseReportDescriptor(testing::LoadHexFile("report_id_keyboard.hex"));
  ASSERT_TRUE(composite);
  const auto keyboard = NodeCapabilities(*composite);
  ASSERT_TRUE(keyboard);
  EXPECT_EQ(keyboard->usagePage, 0x01);
  EXPECT_EQ(keyboard->usage, 0x06);
  EXPECT_EQ(keyboard->inputReportLength, 9);
  EXPECT_EQ(keyboard->outputReportLength, 2);

  DescriptorSummary other = *composite;
  other.collections[1].usage = 0x02;  // no keyboard left: the first collection speaks
  const auto first = NodeCapabilities(other);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->usagePage, 0x0C);
  EXPECT_EQ(first->inputReportLength, 3);
  EXPECT_EQ(first->outputReportLength, 0);

  EXPECT_FALSE(NodeCapabilities(DescriptorSummary{}));
}

TEST(ReportDescriptorPath, OnlyHidrawNodes) {
  EXPECT_EQ(ReportDescriptorPath("/dev/hidraw12"),
            "/sys/class/hidraw/hidraw12/device/report_descriptor");
  EXPECT_EQ(ReportDescriptorPath("hidraw0"), "/sys/class/hidraw/hidraw0/device/report_descriptor");
  EXPECT_EQ(ReportDescriptorPath("/dev/hidraw"), "");
  EXPECT_EQ(ReportDescriptorPath("/dev/hidraw1/../../etc"), "");
  EXPECT_EQ(ReportDescriptorPath("/dev/hidraw1x"), "");
  EXPECT_EQ(ReportDescriptorPath("1-2:1.0"), "");
}

}  // namespace
}  // namespace veltrane::link
