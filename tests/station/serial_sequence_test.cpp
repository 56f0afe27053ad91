// SPDX-License-Identifier: MIT
// Serial numbers: counting with the width kept, and what FIRST may be.
#include "station/serial_sequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrane::station {
namespace {

TEST(SerialSequence, TrailingDigitsCountUpWithTheirWidthKept) {
  EXPECT_EQ(AddToDigits("000123", 1), "000124");
  EXPECT_EQ(AddToDigits("9", 1), "10");
  EXPECT_EQ(AddToDigits("0099", 1), "0100");
  EXPECT_EQ(AddToDigits("05", 123), "128");
  EXPECT_EQ(AddToDigits("999", 0), "999");
  EXPECT_EQ(AddToDigits("1", 18446744073709551615u), "18446744073709551616");
  EXPECT_EQ(AddToDigits("0999", 1), "1000");
}

TEST(SerialSequence, FirstMustEndInDigitsFitAndBePrintable) {
  std::string error;
  const auto parsed = ParseSerialSequence("SN-2025-000123", error);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->prefix, "SN-2025-");
  EXPECT_EQ(parsed->digits, "000123");
  for (const std::string& bad :
       std::vector<std::string>{"", "SN", "12A", std::string(32, '1'), "SN\t1",
                                "SN\xE9"
                                "1"}) {
    EXPECT_FALSE(ParseSerialSequence(bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(ParseSerialSequence(std::string(31, '1'), error));
}

}  // namespace
}  // namespace veltrane::station
