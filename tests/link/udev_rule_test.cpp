// SPDX-License-Identifier: MIT
// The udev rule gives access to exactly the devices the library takes for a
// keyboard, and to the user at the seat only.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/keyboard_open.h"

namespace veltrane::link {
namespace {

std::string RuleLine() {
  std::ifstream in(VELTRANE_TEST_DATA "/../../link/udev/70-veltrane.rules");
  std::string rule;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    EXPECT_TRUE(rule.empty()) << "one rule line: " << line;
    rule = line;
  }
  return rule;
}

// The '|'-separated patterns of `key`=="..." in the rule.
std::vector<std::string> Patterns(const std::string& rule, const std::string& key) {
  const std::size_t at = rule.find(key + "==\"");
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size() + 3;
  std::stringstream values(rule.substr(start, rule.find('"', start) - start));
  std::vector<std::string> patterns;
  for (std::string p; std::getline(values, p, '|');) patterns.push_back(p);
  return patterns;
}

bool Matches(const std::vector<std::string>& patterns, const std::string& value) {
  for (const std::string& p : patterns)
    if (fnmatch(p.c_str(), value.c_str(), 0) == 0) return true;
  return false;
}

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);  // as sysfs writes the IDs
  return text;
}

TEST(UdevRule, MatchesExactlyTheKeyboardsTheLibraryOpens) {
  const std::string rule = RuleLine();
  const auto vendors = Patterns(rule, "ATTRS{idVendor}");
  const auto products = Patterns(rule, "ATTRS{idProduct}");
  ASSERT_FALSE(vendors.empty());
  ASSERT_FALSE(products.empty());
  for (unsigned vendor : {0x7A31u, 0x6C4Eu, 0x7A30u, 0x046Du}) {
    for (unsigned product = 0; product <= 0xFFFF; ++product) {
      DeviceAttributes device{};
      device.vendor = static_cast<std::uint16_t>(vendor);
      device.product = static_cast<std::uint16_t>(product);
      const bool granted = Matches(vendors, Hex4(vendor)) && Matches(products, Hex4(product));
      ASSERT_EQ(granted, IsKeyboardVendorProduct(device)) << Hex4(vendor) << ":" << Hex4(product);
    }
  }
}

TEST(UdevRule, GivesTheSeatsUserAccessAndNoGroup) {
  const std::string rule = RuleLine();
  EXPECT_NE(rule.find("SUBSYSTEM==\"hidraw\""), std::string::npos);
  EXPECT_NE(rule.find("TAG+=\"uaccess\""), std::string::npos);
  EXPECT_EQ(rule.find("MODE"), std::string::npos);
  EXPECT_EQ(rule.find("GROUP"), std::string::npos);
}

}  // namespace
}  // namespace veltrane::link
