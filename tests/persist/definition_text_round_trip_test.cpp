// SPDX-License-Identifier: MIT
// import(export(x)) over generated definitions and the golden files: the file
// written back, its report and its image for every firmware range are x's.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "eeprom/image_reader.h"
#include "support/setting_places.h"
#include "tests/persist/definition_text_support.h"
#include "tests/persist/persist_test_util.h"
#include "tests/support/files.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;

// `sameBytes`: x keeps its key records' button fields and padding at what
// the program gives them, which the text does not carry.
void ExpectSameFileReportAndImages(const Loaded& x, const Loaded& y, bool sameBytes = true) {
  if (sameBytes) {
    EXPECT_EQ(SaveBytes(x), SaveBytes(y));
  }
  EXPECT_EQ(ReportOf(x), ReportOf(y));
  for (const std::string& version : kVersionTexts)
    EXPECT_EQ(ImageOf(x, version), ImageOf(y, version)) << "firmware " << version;
}

TEST(DefinitionTextRoundTrip, GeneratedDefinitions) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const Loaded x = RandomDefinition(seed);
    Loaded y;
    ASSERT_EQ(RoundTrip(x, y), "");
    ExpectSameFileReportAndImages(x, y);
    // The text is a fixed point: exporting the import gives it back.
    EXPECT_EQ(ExportDefinitionText(*y.def, y.header), ExportDefinitionText(*x.def, x.header));
  }
}

// The button fields and padding bytes of the key records are not carried.
TEST(DefinitionTextRoundTrip, EveryGeneration) {
  Loaded random = RandomDefinition(99);
  for (std::size_t k = 0; k < random.def->keys.size(); ++k) {
    random.def->keys[k].buttonHandle = 0xA0000000u + static_cast<std::uint32_t>(k);
    random.def->keys[k].padding2 = {1, 2, 3};
    random.def->keys[k].layers[1].padding1 = {4, 5, 6};
  }
  const std::vector<std::uint8_t> current = SaveBytes(random);
  std::vector<std::uint8_t> earlier(current);
  earlier.erase(earlier.begin() + 144, earlier.begin() + 148);
  std::vector<std::uint8_t> oldest = RawFile(kOldestConfigFileSize, 1, 5);
  std::copy_n(current.begin() + 8, 136, oldest.begin() + 8);
  Put32(oldest, 144 + 64 + 24, 31);  // key 0, layer 2: IBM key 31
  oldest[144 + 61 + 24] = 1;
  PutText(oldest, 144 + 28, "Space");
  for (const auto& file : {current, earlier, oldest}) {
    const Loaded x = LoadBytes(file);
    Loaded y;
    ASSERT_EQ(RoundTrip(x, y), "");
    EXPECT_EQ(ReportOf(x), ReportOf(y));
    for (const std::string& version : kVersionTexts)
      EXPECT_EQ(ImageOf(x, version), ImageOf(y, version));
  }
}

std::string Golden(const std::string& name) {
  return veltrane::testing::ReadFileText(std::string(VELTRANE_TEST_DATA) + "/" + name);
}

TEST(DefinitionTextRoundTrip, FreshReportGolden) {
  Loaded fresh;
  ToHeader(fresh.def->settings, fresh.header);
  const Loaded x = LoadBytes(SaveBytes(fresh));
  Loaded y;
  ASSERT_EQ(RoundTrip(x, y), "");
  EXPECT_EQ(ReportOf(y), Golden("persist/report_fresh.txt"));
  ExpectSameFileReportAndImages(x, y);
}

// The varied report's definition holds values no valid file has: IBM key
// -12345, a scroll-wheel gain of -3 and string layers (the table's "String"
// row) naming string 133. The text shows them and the import refuses each,
// value by value; with them mended it round-trips, its legend of 32 bytes
// without an end mark included.
TEST(DefinitionTextRoundTrip, VariedReportGolden) {
  Loaded x;
  *x.def = WithVariedShown(VariedDefinition());
  x.def->keys[6].layers[1].keytype = 0x3F;
  x.def->keys[7].layers[0].keytype = model::LOCAL_ILLUMINATION_KEY | model::KEYTYPE_LIGHT_DOWN;
  x.def->keys[7].layers[1].keytype = 23 | model::KEYTYPE_LIGHT_UP;
  x.def->keys[7].layers[2].keytype = 0xFF;
  x.def->keys[7].layers[3].ibmkey = -12345;
  std::fill(x.def->keys[8].legend.begin(), x.def->keys[8].legend.end(), 'W');
  x.def->keys[9].layers[0].scan2code = 0x0E;
  x.def->keys[9].layers[0].scan3code = 0xAB;
  x.def->keys[9].layers[0].usbcode = 0x00;
  ToHeader(x.def->settings, x.header);
  x = LoadBytes(SaveBytes(x));
  EXPECT_EQ(ReportOf(x), Golden("persist/report_varied.txt"));

  Loaded y;
  EXPECT_EQ(RoundTrip(x, y), ".settings.ScrollWheelGain: -3 is out of range 0..16");
  x.def->settings.ScrollWheelGain = 3;
  x.header.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] = static_cast<std::uint8_t>(3);
  EXPECT_EQ(RoundTrip(x, y), ".keys[\"0/7\"][\"fn1+fn2\"].key: -12345 is out of range 0..158");
  x.def->keys[7].layers[3].ibmkey = 12;
  EXPECT_EQ(RoundTrip(x, y), ".keys[\"14/0\"][\"fn1+fn2\"].macro: 133 is out of range 0..127");
  for (model::KeyDefinition& key : x.def->keys)
    for (model::KeyLayer& layer : key.layers)
      if (layer.keytype == model::STRING_KEY) layer.ibmkey %= model::kStringCount;
  ASSERT_EQ(RoundTrip(x, y), "");
  ExpectSameFileReportAndImages(x, y, false);
}

// The 3072 bytes of an image from its hex dump (string pointers high byte first).
eeprom::EepromImage ImageFromDump(const std::string& dump) {
  eeprom::EepromImage image{};
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() < 6 || line[4] != ' ' || line[5] != ' ') continue;
    std::size_t at = std::stoul(line.substr(0, 4), nullptr, 16);
    std::istringstream fields(line.substr(6));
    for (std::string field; std::getline(fields, field, ',');) {
      field.erase(0, field.find_first_not_of(' '));
      if (field.empty() || field == "\r") continue;
      const unsigned value = static_cast<unsigned>(std::stoul(field, nullptr, 16));
      if (field.size() == 4) {
        image[at++] = static_cast<std::uint8_t>(value);
        image[at++] = static_cast<std::uint8_t>(value >> 8);
      } else {
        image[at++] = static_cast<std::uint8_t>(value);
      }
    }
  }
  return image;
}

TEST(DefinitionTextRoundTrip, ImageGoldensDecoded) {
  for (const auto& [name, version] :
       {std::pair{"empty_definition.TXT", ""}, std::pair{"small_definition_fw600.TXT", "V0600"}}) {
    SCOPED_TRACE(name);
    const std::string dump = Golden(std::string("eeprom/") + name);
    ASSERT_FALSE(dump.empty());
    const eeprom::EepromImage golden = ImageFromDump(dump);
    Loaded decoded;
    model::ClearKeys(*decoded.def);
    decoded.def->settings =
        eeprom::DecodeImage(golden, eeprom::FirmwareVersionFromText(version), *decoded.def)
            .settings;
    decoded.def->settings.SerialNumber = "SN-0042";
    const Loaded x = LoadBytes(SaveBytes(decoded));
    Loaded y;
    ASSERT_EQ(RoundTrip(x, y), "");
    ExpectSameFileReportAndImages(x, y);
  }
}

}  // namespace
}  // namespace veltrane::persist
