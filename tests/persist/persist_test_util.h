// SPDX-License-Identifier: MIT
// Helpers shared by the persistence tests: a definition with varied values,
// the settings a load shows, and raw file building.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "model/definition.h"
#include "model/key_tables.h"
#include "persist/header_image.h"

namespace veltrane::persist::testing {

inline model::KeyboardDefinition FreshDefinition() {
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  return def;
}

// Every key and layer used, every field (padding included) given a value that
// depends on its position, and a work buffer that fills the whole store.
inline model::KeyboardDefinition VariedDefinition() {
  model::KeyboardDefinition def = FreshDefinition();
  for (int k = 0; k < model::kKeyCount; ++k) {
    model::KeyDefinition& key = def.keys[static_cast<std::size_t>(k)];
    const auto b = static_cast<std::uint8_t>(k);
    key.buttonHandle = 0xA0000000u + static_cast<std::uint32_t>(k) * 7;
    key.enabled = static_cast<std::uint8_t>(k % 2);
    key.used = static_cast<std::uint8_t>(k % 3 != 0);
    key.complete = static_cast<std::uint8_t>(k % 5 == 0);
    key.padding1 = static_cast<std::uint8_t>(0x11 + b);
    key.buttonX = -k;
    key.buttonWidth = 16 + k;
    model::SetFieldText(key.legend,
                        "Key " + std::to_string(k) + (k % 4 == 0 ? " long legend text" : ""));
    key.logicalAddress = static_cast<std::uint8_t>(255 - k);
    key.padding2 = {static_cast<std::uint8_t>(b ^ 0x55), 0xC3, b};
    for (int l = 0; l < model::kLayerCount; ++l) {
      model::KeyLayer& layer = key.layers[static_cast<std::size_t>(l)];
      const int row = (k * 4 + l) % model::kIbmKeyRowCount;
      model::AssignTableKey(layer, row);
      layer.used = 1;
      layer.padding1 = {static_cast<std::uint8_t>(l), b, 0xEE};
      layer.padding2 = {0x7F, static_cast<std::uint8_t>(b + l), 0x01};
      layer.keymode = static_cast<std::uint8_t>((k + l) & 0x3F);
      if ((k + l) % 7 == 0) {
        layer.keytype = model::STRING_KEY;
        layer.ibmkey = k % model::kStringCount;
        layer.stringcharcount = l + 1;
      }
      if (k % 16 == 3)
        layer.keytype = static_cast<std::uint8_t>(layer.keytype | model::KEYTYPE_LIGHT_UP);
    }
  }
  // 64 strokes spread over the first strings, so the store is full.
  for (int n = 0; n < 16; ++n) {
    for (int i = 0; i < 4; ++i) {
      const model::IbmKeyRow& row = model::IbmKeyTable[static_cast<std::size_t>(1 + n * 4 + i)];
      def.stringWorkBuffer[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)] = {
          static_cast<std::uint8_t>(n % 3 == 0 ? 0x02 : 0x00), row.usb, row.scan2, row.type};
    }
    def.stringWorkBuffer[static_cast<std::size_t>(n)][4] = model::StringChar{};
  }
  model::FlattenStrings(def);
  model::Settings& s = def.settings;
  s.GlobalRepeatDisable = 1;
  s.AnyKeyRelease = 1;
  s.Leds[0] = 1;
  s.Leds[1] = 2;
  s.Leds[2] = 3;
  s.Leds[3] = 5;
  s.PrefixMakeBreak = 1;
  s.EnableBits = 3;
  s.NumberOfStrings = 16;
  s.BeepLength = 100;
  s.ScrollWheelGain = -3;
  return def;
}

// The definition with the settings the main window shows given varied values too.
inline model::KeyboardDefinition WithVariedShown(model::KeyboardDefinition def) {
  model::Settings& s = def.settings;
  s.DefRepDelay = 3;
  s.DefRepRate = 31;
  s.DebounceTime = 255;
  s.MaxScanRow = 16;
  s.PointDevice = 2;
  s.ConfigFileName = "layout.DAT";
  s.SerialNumber = "SN-0042";
  return def;
}

// Little-endian stores into a raw file image.
inline void Put32(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    file.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void Put16(std::vector<std::uint8_t>& file, std::size_t offset, std::uint16_t value) {
  file.at(offset) = static_cast<std::uint8_t>(value);
  file.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}
inline void PutText(std::vector<std::uint8_t>& file, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    file.at(offset + i) = static_cast<std::uint8_t>(text[i]);
}
// A file of `length` zero bytes with the two versions set.
inline std::vector<std::uint8_t> RawFile(std::size_t length, std::int32_t minor,
                                         std::int32_t major) {
  std::vector<std::uint8_t> file(length, 0);
  if (length >= 8) {
    Put32(file, 0, static_cast<std::uint32_t>(minor));
    Put32(file, 4, static_cast<std::uint32_t>(major));
  }
  return file;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace veltrane::persist::testing
