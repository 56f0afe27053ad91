// Serial numbers: counting with the width kept, what FIRST may be, and the
// pool that never hands out a serial twice.
#include "station/serial_sequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrane::station {
namespace {

SerialPool Pool(const std::string& first, std::set<std::string> passed = {}) {
  std::string error;
  const std::optional<SerialSequence> sequence = ParseSerialSequence(first, error);
  EXPECT_TRUE(sequence) << error;
  return SerialPool(*sequence, std::move(passed));
}

TEST(SerialSequence, TrailingDigitsCountUpWithTheirWidthKept) {
  EXPECT_EQ(AddToDigits("000123", 1), "000124");
  EXPECT_EQ(AddToDigits("9", 1), "10");
  EXPECT_EQ(AddToDigits("0099", 1), "0100");
  EXPECT_EQ(AddToDigits("05", 123), "128");
  EXPECT_EQ(AddToDigits("999", 0), "999");
  EXPECT_EQ(AddToDigits("1", 18446744073709551615u), "18446744073709551616");
  SerialPool pool = Pool("A9");
  EXPECT_EQ(pool.Take(), "A9");
  EXPECT_EQ(pool.Take(), "A10");
  SerialPool digitsOnly = Pool("0999");
  digitsOnly.Take();
  EXPECT_EQ(digitsOnly.Take(), "1000");
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

TEST(SerialPool, SkipsWhatPassedAndGivesBackWhatFailedLowestFirst) {
  SerialPool pool = Pool("SN01", {"SN01", "SN03", "other"});
  EXPECT_EQ(pool.Peek(), "SN02");
  const std::string a = pool.Take();  // SN02
  const std::string b = pool.Take();  // SN04: SN03 passed before
  const std::string c = pool.Take();  // SN05
  EXPECT_EQ(b, "SN04");
  pool.Failed(c);
  pool.Failed(a);
  pool.Passed(b);
  EXPECT_EQ(pool.Take(), "SN02");
  EXPECT_EQ(pool.Take(), "SN05");
  EXPECT_EQ(pool.Take(), "SN06");
  pool.Failed("SN99");  // never handed out: not given out later either
  EXPECT_EQ(pool.Take(), "SN07");
}

TEST(SerialPool, StopsAtThirtyOneCharacters) {
  SerialPool pool = Pool(std::string(29, 'A') + "98");
  EXPECT_TRUE(pool.Fits(2));
  EXPECT_FALSE(pool.Fits(3));
  EXPECT_EQ(pool.Take(), std::string(29, 'A') + "98");
  EXPECT_EQ(pool.Take(), std::string(29, 'A') + "99");
  EXPECT_EQ(pool.Peek(), "");
  EXPECT_EQ(pool.Take(), "");
  pool.Failed(std::string(29, 'A') + "98");
  EXPECT_EQ(pool.Take(), std::string(29, 'A') + "98");  // what failed still fits
}

}  // namespace
}  // namespace veltrane::station
