// SPDX-License-Identifier: MIT
#include "station/image_digest.h"

#include <openssl/evp.h>

#include <vector>

#include "eeprom/image_builder.h"
#include "eeprom/image_layout.h"
#include "model/settings_schema.h"

namespace veltrane::station {

std::string ImageDigest(std::span<const std::uint8_t> keyboardBytes) {
  eeprom::EepromImage image{};
  image.fill(0xFF);
  const std::size_t n = std::min(keyboardBytes.size(), eeprom::kKeyboardBytes);
  std::copy_n(keyboardBytes.begin(), n, image.begin());
  eeprom::StampSerialNumber(image, "");
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(image.data(), eeprom::kKeyboardBytes, digest, &size, EVP_sha256(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int k = 0; k < size; ++k) {
    text += kHex[digest[k] >> 4];
    text += kHex[digest[k] & 0xF];
  }
  return text;
}

std::string SerialIn(std::span<const std::uint8_t> keyboardBytes) {
  std::string serial;
  const std::size_t at = model::SettingNamed("SerialNumber").imageOffset;
  for (std::size_t k = at; k < keyboardBytes.size() && k < at + eeprom::info::TextFieldLimit; ++k) {
    const std::uint8_t c = keyboardBytes[k];
    if (c == 0 || c == 0xFF) break;
    serial.push_back(static_cast<char>(c));
  }
  return serial;
}

}  // namespace veltrane::station
