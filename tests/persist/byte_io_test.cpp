// SPDX-License-Identifier: MIT
#include "persist/byte_io.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrane::persist {
namespace {

TEST(ByteReader, ReadsLittleEndian) {
  const std::vector<std::uint8_t> data = {0x78, 0x56, 0x34, 0x12, 0xFE,
                                          0xFF, 0xFF, 0xFF, 0x34, 0x12};
  ByteReader in(data);
  EXPECT_EQ(in.U32(), 0x12345678u);
  EXPECT_EQ(in.I32(), -2);
  EXPECT_EQ(in.U16(), 0x1234);
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.Position(), data.size());
}

TEST(ByteReader, ReadingPastTheEndGivesZerosAndFails) {
  const std::vector<std::uint8_t> data = {0x01, 0x02, 0x03};
  ByteReader in(data);
  EXPECT_EQ(in.U32(), 0x030201u);
  EXPECT_FALSE(in.Ok());
  ByteReader far(data, 100);
  std::array<char, 4> text{'a', 'b', 'c', 'd'};
  far.Bytes(text);
  EXPECT_EQ(text, (std::array<char, 4>{}));
  EXPECT_FALSE(far.Ok());
  ByteReader empty(std::span<const std::uint8_t>{});
  EXPECT_EQ(empty.U8(), 0);
  EXPECT_FALSE(empty.Ok());
}

TEST(ByteReader, SeekAndSkip) {
  const std::vector<std::uint8_t> data = {0, 1, 2, 3, 4, 5, 6, 7};
  ByteReader in(data, 2);
  EXPECT_EQ(in.U8(), 2);
  in.Skip(3);
  EXPECT_EQ(in.U8(), 6);
  in.Seek(1);
  EXPECT_EQ(in.U16(), 0x0201);
  EXPECT_TRUE(in.Ok());
}

TEST(ByteWriter, WritesLittleEndianAndDropsWhatDoesNotFit) {
  std::array<std::uint8_t, 7> data{};
  ByteWriter out(data);
  out.U32(0x12345678u);
  out.U16(0xBEEF);
  EXPECT_TRUE(out.Ok());
  out.I32(-1);
  EXPECT_FALSE(out.Ok());
  EXPECT_EQ(data, (std::array<std::uint8_t, 7>{0x78, 0x56, 0x34, 0x12, 0xEF, 0xBE, 0xFF}));
  out.Seek(0);
  out.Bytes(std::array<char, 2>{'h', 'i'});
  EXPECT_EQ(data[0], 'h');
  EXPECT_EQ(data[1], 'i');
}

}  // namespace
}  // namespace veltrane::persist
