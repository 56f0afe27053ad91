// SPDX-License-Identifier: MIT
// Each layer that carries the settings carries every entry of the schema: a
// setting added there reaches the header, the text form and its diff, the
// report, the image and "New - Clear all" without a test of its own.
#include <gtest/gtest.h>

#include <memory>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "eeprom/image_reader.h"
#include "model/settings_schema.h"
#include "persist/definition_diff.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"
#include "persist/text_report.h"

namespace veltrane {
namespace {

using model::SettingEntry;

std::unique_ptr<model::KeyboardDefinition> Fresh() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  return def;
}

// The settings with this entry changed to a value of its range that differs from the default.
model::Settings Changed(const model::Settings& start, const SettingEntry& e) {
  model::Settings s = start;
  if (e.IsText())
    s.*e.text = "Zq-7";
  else
    e.set(s, e.get(s) == e.min ? e.max : e.min);
  return s;
}

bool Same(const model::Settings& a, const model::Settings& b, const SettingEntry& e) {
  return e.IsText() ? a.*e.text == b.*e.text : e.get(a) == e.get(b);
}

// Where another entry's second copy lies, the copy is what the image holds.
bool Overwritten(const SettingEntry& entry) {
  for (const SettingEntry& e : model::SettingsSchema())
    if (e.imageCopy != 0 && e.imageCopy == entry.imageOffset) return true;
  return false;
}

TEST(SettingsLayers, EachLayerCarriesEachEntryOfTheSchema) {
  const auto def = Fresh();
  const std::string report = persist::FormatTextReport(*def);
  const int firmware = eeprom::FirmwareVersionFromText("V0527");
  persist::HeaderImage header;
  for (const SettingEntry& e : model::SettingsSchema()) {
    SCOPED_TRACE(std::string(e.name));
    auto changed = Fresh();
    changed->settings = Changed(def->settings, e);
    EXPECT_EQ(report.find(std::string(e.name) + " = ") != std::string::npos, e.reported);
    if (e.headerForm != model::HeaderForm::None) {
      persist::HeaderImage placed;
      persist::ToHeader(changed->settings, placed);
      EXPECT_TRUE(Same(persist::FromHeader(placed), changed->settings, e));
    }
    if (e.name != "NumberOfStrings") {  // counted from the string keys
      const std::string text = persist::ExportDefinitionText(*changed, header);
      EXPECT_NE(text.find("\"" + std::string(e.name) + "\": "), std::string::npos);
      auto back = Fresh();
      persist::HeaderImage backHeader;
      const persist::DefinitionTextImport imported =
          persist::ImportDefinitionText(text, *back, backHeader);
      ASSERT_TRUE(imported.ok) << imported.error;
      EXPECT_TRUE(Same(back->settings, changed->settings, e));
      const auto differences = persist::DiffDefinitions(*def, header, *changed, header);
      ASSERT_EQ(differences.size(), 1u);
      EXPECT_EQ(differences[0].line.rfind(std::string(e.name) + ": ", 0), 0u);
    }
    if (e.imageForm != model::ImageForm::None && e.imageForm != model::ImageForm::StringCount &&
        !Overwritten(e)) {
      auto image = std::make_unique<eeprom::EepromImage>();
      ASSERT_TRUE(eeprom::BuildImage(*changed, "V0527", firmware, *image, nullptr).fits);
      auto back = Fresh();
      const eeprom::ImageRead read = eeprom::DecodeImage(*image, firmware, *back);
      EXPECT_TRUE(read.read.test(model::SettingIndex(e)));
      EXPECT_TRUE(Same(read.settings, changed->settings, e));
    }
    model::ResetForNew(changed->settings);  // New - Clear all
    EXPECT_EQ(Same(changed->settings, def->settings, e), e.onNew == model::OnNew::Reset);
  }
}

}  // namespace
}  // namespace veltrane
