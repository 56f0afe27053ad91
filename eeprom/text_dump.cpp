// SPDX-License-Identifier: MIT
#include "eeprom/text_dump.h"

#include <string_view>

namespace veltrane::eeprom {
namespace {

void AppendHex(std::string& out, unsigned value, int digits) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

void AppendAddress(std::string& out, std::size_t address) {
  AppendHex(out, static_cast<unsigned>(address), 4);
  out += "  ";
}

// 16 lines of 16 bytes, an extra space after the eighth byte of each.
void AppendByteBlock(std::string& out, const EepromImage& image, std::size_t start) {
  for (std::size_t line = start; line < start + 256; line += 16) {
    AppendAddress(out, line);
    for (std::size_t i = 0; i < 16; ++i) {
      AppendHex(out, image[line + i], 2);
      out += ',';
      if (i == 7) out += ' ';
    }
    out += "\r\n";
  }
  out += "\r\n";
}

// 16 lines of eight little-endian pointers, each shown high byte first.
void AppendPointerBlock(std::string& out, const EepromImage& image) {
  for (std::size_t line = region::StringPointers; line < region::StringStorage; line += 16) {
    AppendAddress(out, line);
    for (std::size_t i = 0; i < 16; i += 2) {
      AppendHex(out, image[line + i + 1], 2);
      AppendHex(out, image[line + i], 2);
      out += ", ";
    }
    out += "\r\n";
  }
  out += "\r\n";
}

// 48 lines of 16 bytes, two spaces after each 4-byte stroke.
void AppendStorageBlock(std::string& out, const EepromImage& image) {
  for (std::size_t line = region::StringStorage; line < region::StorageEnd; line += 16) {
    AppendAddress(out, line);
    for (std::size_t i = 0; i < 16; ++i) {
      AppendHex(out, image[line + i], 2);
      out += ',';
      if (i % 4 == 3) out += "  ";
    }
    out += "\r\n";
  }
  out += "\r\n";
}

}  // namespace

std::string FormatTextDump(const EepromImage& image) {
  std::string out;
  out.reserve(kTextDumpSize);
  out += "Scan Set2 code table\r\n";
  AppendByteBlock(out, image, region::ScanSet2);
  out += "Scan Set3 code table\r\n";
  AppendByteBlock(out, image, region::ScanSet3);
  out += "Logical Address table\r\n";
  AppendByteBlock(out, image, region::LogicalAddress);
  AppendByteBlock(out, image, region::LogicalAddress + 0x100);
  out += "Key mode table\r\n";
  AppendByteBlock(out, image, region::KeyMode);
  out += "Key info table\r\n";
  AppendByteBlock(out, image, region::KeyInfo);
  out += "General info table\r\n";
  AppendByteBlock(out, image, region::GeneralInfo);
  out += "USB Set table\r\n";
  AppendByteBlock(out, image, region::UsbSet);
  out += "StringPointers\r\n";
  AppendPointerBlock(out, image);
  out += "StringStorage\r\n";
  AppendStorageBlock(out, image);
  return out;
}

}  // namespace veltrane::eeprom
