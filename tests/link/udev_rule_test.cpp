// SPDX-License-Identifier: MIT
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

// Whether a pattern matches the ID as sysfs writes it.
bool Matches(const std::vector<std::string>& patterns, unsigned id) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04x", id);
  for (const std::string& p : patterns)
    if (fnmatch(p.c_str(), hex, 0) == 0) return true;
  return false;
}

// The hidraw nodes of exactly the keyboards the library opens, for the seat's user and no group.
TEST(UdevRule, GivesTheSeatsUserTheKeyboardsTheLibraryOpens) {
  const std::string rule = RuleLine();
  EXPECT_NE(rule.find("SUBSYSTEM==\"hidraw\""), std::string::npos);
  EXPECT_NE(rule.find("TAG+=\"uaccess\""), std::string::npos);
  EXPECT_EQ(rule.find("MODE"), std::string::npos);
  EXPECT_EQ(rule.find("GROUP"), std::string::npos);
  const auto vendors = Patterns(rule, "ATTRS{idVendor}");
  const auto products = Patterns(rule, "ATTRS{idProduct}");
  ASSERT_FALSE(vendors.empty() || products.empty());
  for (unsigned vendor : {0x7A31u, 0x6C4Eu, 0x7A30u, 0x046Du}) {
    for (unsigned product = 0; product <= 0xFFFF; ++product) {
      DeviceAttributes device{};
      device.vendor = static_cast<std::uint16_t>(vendor);
      device.product = static_cast<std::uint16_t>(product);
      ASSERT_EQ(Matches(vendors, vendor) && Matches(products, product),
                IsKeyboardVendorProduct(device))
          << std::hex << vendor << ":" << product;
    }
  }
}

}  // namespace
}  // namespace veltrane::link
