// SPDX-License-Identifier: MIT
// Loading, saving, reporting and building a definition as the program does, for
// the round trips of the JSON form; and random valid definitions.
#pragma once

#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"
#include "support/setting_places.h"

namespace veltrane::persist::testing {

struct Loaded {
  std::unique_ptr<model::KeyboardDefinition> def = std::make_unique<model::KeyboardDefinition>();
  HeaderImage header;
  Loaded() { model::InitialiseDefinition(*def); }
};

// A configuration file's bytes loaded as the Load command does.
inline Loaded LoadBytes(std::span<const std::uint8_t> file) {
  Loaded loaded;
  model::ClearKeys(*loaded.def);
  DecodeConfigFile(file, *loaded.def, loaded.header);
  model::ClearStringWorkBuffer(*loaded.def, false);
  model::RebuildStringWorkBuffer(*loaded.def);
  loaded.def->settings = FromHeader(loaded.header);
  return loaded;
}

// What a save of the loaded definition writes.
inline std::vector<std::uint8_t> SaveBytes(const Loaded& loaded) {
  auto def = std::make_unique<model::KeyboardDefinition>(*loaded.def);
  model::FlattenStrings(*def);
  HeaderImage header = loaded.header;
  const auto file = EncodeConfigFile(*def, header);
  return {file.begin(), file.end()};
}

// The report and image of a loaded file, the strings packed as for a save.
inline std::string ReportOf(const Loaded& loaded) {
  auto def = std::make_unique<model::KeyboardDefinition>(*loaded.def);
  model::FlattenStrings(*def);
  return FormatTextReport(*def);
}

inline eeprom::EepromImage ImageOf(const Loaded& loaded, const std::string& versionText) {
  auto def = std::make_unique<model::KeyboardDefinition>(*loaded.def);
  model::FlattenStrings(*def);
  eeprom::EepromImage image{};
  eeprom::BuildImage(*def, versionText, eeprom::FirmwareVersionFromText(versionText), image,
                     nullptr);
  return image;
}

// One version text for each firmware range the builder tells apart.
inline const std::vector<std::string> kVersionTexts = {"", "V0600", "V1420", "V1500"};

// Export then import; the import's message when it fails.
inline std::string RoundTrip(const Loaded& from, Loaded& to) {
  const std::string text = ExportDefinitionText(*from.def, from.header);
  const DefinitionTextImport imported = ImportDefinitionText(text, *to.def, to.header);
  return imported.ok ? std::string() : imported.error;
}

// A valid definition with every field chosen at random within its range.
inline Loaded RandomDefinition(unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&](int min, int max) {
    return std::uniform_int_distribution<int>(min, max)(random);
  };
  // Texts of up to 32 bytes: one in four fills its whole field, without an end mark.
  auto text = [&] {
    std::string t;
    const int n = pick(0, 3) == 0 ? 32 : pick(0, 31);
    for (int i = 0; i < n; ++i)
      t += static_cast<char>(pick(0, 3) == 0 ? pick(0x80, 0xFF) : pick(0x20, 0x7E));
    return t;
  };
  Loaded x;
  model::KeyboardDefinition& def = *x.def;
  for (model::KeyDefinition& key : def.keys) {
    if (pick(0, 3) == 0) continue;  // left cleared
    key.enabled = static_cast<std::uint8_t>(pick(0, 1));
    key.used = static_cast<std::uint8_t>(pick(0, 1));
    key.complete = static_cast<std::uint8_t>(pick(0, 1));
    key.logicalAddress = static_cast<std::uint8_t>(pick(0, 2) == 0 ? pick(0, 255) : 0);
    if (pick(0, 1)) {
      const std::string legend = text();
      key.legend.fill('\0');
      std::copy(legend.begin(), legend.end(), key.legend.begin());
    }
    for (model::KeyLayer& layer : key.layers) {
      switch (pick(0, 5)) {
        case 0:
          break;  // cleared
        case 1:   // a macro
          layer.keytype = model::STRING_KEY;
          layer.ibmkey = pick(0, 127);
          layer.stringcharcount = pick(0, 4) == 0 ? pick(0, 79) : 0;
          break;
        case 2:  // cleared after an assignment: its codes stay
          layer.scan2code = static_cast<std::uint8_t>(pick(0, 255));
          layer.usbcode = static_cast<std::uint8_t>(pick(0, 255));
          break;
        default:
          model::AssignTableKey(layer, pick(0, model::kIbmKeyRowCount - 1));
          if (pick(0, 5) == 0) layer.keytype = static_cast<std::uint8_t>(pick(0, 255));
          if (pick(0, 5) == 0) layer.usbcode = static_cast<std::uint8_t>(pick(0, 255));
          layer.keymode = static_cast<std::uint8_t>(pick(0, 2) == 0 ? pick(0, 255) : 0);
          if (layer.keytype == model::STRING_KEY && layer.ibmkey > 127) layer.keytype = 0;
      }
      layer.used = static_cast<std::uint8_t>(pick(0, 1));
    }
  }
  // Strings of one to six strokes, some of them raw bytes that no table row has.
  for (int n = 0, stored = 0; n < model::kStringCount; ++n) {
    const int strokes = stored < 60 && pick(0, 4) == 0 ? pick(1, 6) : 0;
    stored += strokes;
    for (int i = 0; i < strokes; ++i) {
      const model::IbmKeyRow& row = model::IbmKeyTable[static_cast<std::size_t>(pick(0, 158))];
      model::StringChar stroke{static_cast<std::uint8_t>(pick(0, 255)), row.usb, row.scan2,
                               row.type};
      if (pick(0, 5) == 0) stroke.characterMode2 = static_cast<std::uint8_t>(pick(1, 255));
      def.stringWorkBuffer[static_cast<std::size_t>(n)][static_cast<std::size_t>(i)] = stroke;
    }
    def.stringWorkBuffer[static_cast<std::size_t>(n)][static_cast<std::size_t>(strokes)] = {};
  }
  HeaderImage& h = x.header;
  h.SetU32(veltrane::testing::HeaderAt("GlobalRepeatDisable"),
           static_cast<std::uint32_t>(pick(0, 1)));
  h.SetU32(veltrane::testing::HeaderAt("AnyKeyRelease"), static_cast<std::uint32_t>(pick(0, 1)));
  h.SetI32(veltrane::testing::HeaderAt("DefRepDelay"), pick(0, 3));
  h.SetI32(veltrane::testing::HeaderAt("DefRepRate"), pick(0, 31));
  h.SetU32(veltrane::testing::HeaderAt("DebounceTime"), static_cast<std::uint32_t>(pick(0, 255)));
  for (int led = 0; led < 4; ++led)
    h.SetI32(veltrane::testing::HeaderAt("Led1") + 4 * (led), pick(0, 5));
  h.SetI32(veltrane::testing::HeaderAt("MaxScanRow"), pick(1, 16));
  h.SetU32(veltrane::testing::HeaderAt("PrefixMakeBreak"), static_cast<std::uint32_t>(pick(0, 1)));
  h.SetI32(veltrane::testing::HeaderAt("PointDevice"), pick(0, 2));
  h.SetU32(veltrane::testing::HeaderAt("EnableBits"), static_cast<std::uint32_t>(pick(0, 3)));
  h.SetI32(veltrane::testing::HeaderAt("NumberOfStrings"), pick(0, 256));
  h.SetU32(veltrane::testing::HeaderAt("BeepLength"), static_cast<std::uint32_t>(pick(0, 200)));
  h.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] =
      static_cast<std::uint8_t>(static_cast<std::int8_t>(pick(0, 16)));
  h.SetWholeText(veltrane::testing::HeaderAt("ConfigFileName"), text());
  h.SetWholeText(veltrane::testing::HeaderAt("SerialNumber"), text());
  for (std::size_t at : {8, 9, 10, 11, 48, 53, 145, 147})
    h.bytes[at] = static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(0, 255) : 0);
  // The file as a save writes it (the settings from that header), loaded back.
  def.settings = FromHeader(h);
  return LoadBytes(SaveBytes(x));
}

}  // namespace veltrane::persist::testing
