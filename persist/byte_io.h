// SPDX-License-Identifier: MIT
// Little-endian reads and writes over a fixed block of bytes. Neither side
// ever touches a byte outside its block: a read past the end gives zeros and
// a write past the end is dropped, and both mark the cursor as failed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace veltrane::persist {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data, std::size_t offset = 0)
      : data_(data), pos_(offset) {}

  void Seek(std::size_t offset) { pos_ = offset; }
  void Skip(std::size_t count) { pos_ += count; }
  std::size_t Position() const { return pos_; }
  bool Ok() const { return ok_; }

  std::uint8_t U8() {
    if (pos_ >= data_.size()) {
      ok_ = false;
      ++pos_;
      return 0;
    }
    return data_[pos_++];
  }
  std::uint16_t U16() {
    const std::uint16_t lo = U8();
    return static_cast<std::uint16_t>(lo | U8() << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

  // Fills a block of one-byte elements (bytes or characters) as stored.
  template <typename T, std::size_t N>
  void Bytes(std::array<T, N>& out) {
    static_assert(sizeof(T) == 1);
    for (T& b : out) b = static_cast<T>(U8());
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_;
  bool ok_ = true;
};

class ByteWriter {
 public:
  explicit ByteWriter(std::span<std::uint8_t> data, std::size_t offset = 0)
      : data_(data), pos_(offset) {}

  void Seek(std::size_t offset) { pos_ = offset; }
  std::size_t Position() const { return pos_; }
  bool Ok() const { return ok_; }

  void U8(std::uint8_t value) {
    if (pos_ >= data_.size()) {
      ok_ = false;
    } else {
      data_[pos_] = value;
    }
    ++pos_;
  }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }

  template <typename T, std::size_t N>
  void Bytes(const std::array<T, N>& in) {
    static_assert(sizeof(T) == 1);
    for (T b : in) U8(static_cast<std::uint8_t>(b));
  }

 private:
  std::span<std::uint8_t> data_;
  std::size_t pos_;
  bool ok_ = true;
};

}  // namespace veltrane::persist
