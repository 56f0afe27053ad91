// SPDX-License-Identifier: MIT
// The text as a person writes it: keys by the names the report shows, macros
// that must exist, texts that fill their fields, and a reader that says where
// a bad byte or number is without quoting megabytes back.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "persist/key_labels.h"
#include "support/setting_places.h"
#include "tests/persist/definition_text_support.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;

struct HandImport {
  Loaded d;
  DefinitionTextImport result;
};

HandImport ImportHand(const std::string& members) {
  HandImport imported;
  imported.result =
      ImportDefinitionText(R"({"format": 2, )" + members + "}", *imported.d.def, imported.d.header);
  return imported;
}

std::string HandError(const std::string& members) {
  const HandImport imported = ImportHand(members);
  return imported.result.ok ? "accepted" : imported.result.error;
}

TEST(HandWrittenText, KeysAreNamedByTheirLabelOrTableName) {
  HandImport esc = ImportHand(
      R"("keys": {"0/0": {"base": {"name": "Escape"}, "fn1": {"name": "IBM Key 31"}}},)"
      R"( "macros": {"1": [{"name": "A", "modifiers": ["LEFT_SHIFT"]}, {"name": "Keypad 7"}]})");
  ASSERT_TRUE(esc.result.ok) << esc.result.error;
  EXPECT_EQ(esc.d.def->keys[0].layers[0].ibmkey, 110);
  EXPECT_EQ(esc.d.def->keys[0].layers[1].ibmkey, 31);
  EXPECT_EQ(esc.d.def->stringWorkBuffer[1][0].characterUSB, 0x04);
  EXPECT_EQ(esc.d.def->stringWorkBuffer[1][1].characterUSB, 0x5F);

  // Export writes the label the report and diff show beside the number.
  const std::string text = ExportDefinitionText(*esc.d.def, esc.d.header);
  EXPECT_NE(text.find(R"("base": {"used": true, "key": 110, "name": "Escape", )"),
            std::string::npos);

  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"name": "Esc"}}})"),
            ".keys[\"0/0\"].base.name: \"Esc\" is not a key name; did you mean \"Escape\"?");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"name": "Keypad7"}}})"),
            ".keys[\"0/0\"].base.name: \"Keypad7\" is not a key name; did you mean \"Keypad 7\"?");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"name": "Page"}}})"),
            ".keys[\"0/0\"].base.name: \"Page\" is not a key name; did you mean \"Page Up\" or "
            "\"Page Down\"?");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"key": 31, "name": "C"}}})"),
            ".keys[\"0/0\"].base.name: \"C\" is key 48, not key 31");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"name": 31}}})"),
            ".keys[\"0/0\"].base.name: expected a key name, not 31");
}

TEST(HandWrittenText, TextsOfTheFirstFormatStayReadable) {
  Loaded d;
  const DefinitionTextImport imported = ImportDefinitionText(
      R"({"format": 1, "keys": {"3/5": {"fn1": {"key": 31, "name": "IBM Key 31"}}},
          "macros": {"2": [{"key": 50, "name": "IBM Key 50"}]}})",
      *d.def, d.header);
  ASSERT_TRUE(imported.ok) << imported.error;
  EXPECT_EQ(d.def->keys[model::KeyIndex(3, 5)].layers[1].ibmkey, 31);
  EXPECT_EQ(d.def->stringWorkBuffer[2][0].characterUSB, 0x05);
}

TEST(HandWrittenText, ALabelSharedByRowsNamesNoneOfThem) {
  const std::vector<KeyName> names = {
      {43, "Enter", "IBM Key 43", "NORMAL_KEY"},
      {108, "Enter", "IBM Key 108", "KEYPAD_ENTER_KEY"},
      {110, "Escape", "IBM Key 110", "NORMAL_KEY"},
  };
  const KeyNameMatch shared = MatchKeyName("Enter", names);
  EXPECT_FALSE(shared.row);
  EXPECT_EQ(shared.sharing, (std::vector<int>{43, 108}));
  EXPECT_EQ(MatchKeyName("IBM Key 108", names).row, 108);  // a table name is one row's
  EXPECT_EQ(MatchKeyName("Entr", names).close, (std::vector<std::string>{"Enter"}));
  // The key table itself has none: every label names one row.
  for (const KeyName& name : KeyNames()) EXPECT_EQ(MatchKeyName(name.label).row, name.row);
}

TEST(HandWrittenText, ALayerNamesOnlyAMacroTheTextDefines) {
  EXPECT_EQ(HandError(R"("keys": {"3/5": {"fn2": {"macro": 50}}})"),
            ".keys[\"3/5\"].fn2.macro: macro 50 is not defined");
  EXPECT_EQ(
      HandError(R"("macros": {"7": [{"name": "A"}]}, "keys": {"3/5": {"fn2": {"macro": 50}}})"),
      ".keys[\"3/5\"].fn2.macro: macro 50 is not defined");
  // An empty macro is defined: a layer may name it, and export writes it for the layer.
  HandImport empty = ImportHand(R"("macros": {"50": []}, "keys": {"3/5": {"fn2": {"macro": 50}}})");
  ASSERT_TRUE(empty.result.ok) << empty.result.error;
  const std::string text = ExportDefinitionText(*empty.d.def, empty.d.header);
  EXPECT_NE(text.find("\"macros\": {\n    \"50\": []\n  }"), std::string::npos) << text;
  Loaded again;
  EXPECT_TRUE(ImportDefinitionText(text, *again.def, again.header).ok);
}

TEST(HandWrittenText, TextsFillingTheirFieldComeBackByteForByte) {
  Loaded x;
  ToHeader(x.def->settings, x.header);
  std::fill(x.def->keys[3].legend.begin(), x.def->keys[3].legend.end(), 'L');
  x.header.SetWholeText(veltrane::testing::HeaderAt("SerialNumber"), std::string(32, 'S'));
  x.header.SetWholeText(veltrane::testing::HeaderAt("ConfigFileName"),
                        std::string(28, 'c') + "\xC3\xA4" + "12");
  x.def->settings = FromHeader(x.header);
  x = LoadBytes(SaveBytes(x));
  ASSERT_EQ(x.header.Text(veltrane::testing::HeaderAt("SerialNumber")).size(), 32u);
  Loaded y;
  ASSERT_EQ(RoundTrip(x, y), "");
  EXPECT_TRUE(SaveBytes(x) == SaveBytes(y));
  EXPECT_EQ(ReportOf(x), ReportOf(y));
  EXPECT_EQ(model::FieldText(y.def->keys[3].legend), std::string(32, 'L'));
  // The image keeps taking 31 bytes of each and ending them.
  const eeprom::EepromImage image = ImageOf(y, "V1500");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0x630]), 32),
            std::string(31, 'S') + '\0');
  EXPECT_EQ(HandError(R"("settings": {"SerialNumber": ")" + std::string(33, 's') + "\"}"),
            ".settings.SerialNumber: the text has 33 bytes; a field holds at most 32");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"legend": {"hex": ")" + std::string(66, 'a') + "\"}}}"),
            ".keys[\"0/0\"].legend: the text has 33 bytes; a field holds at most 32");
}

TEST(HandWrittenText, TheReaderTellsWhereABadByteOrNumberIs) {
  // A NUL byte would end the text for the parser: whatever follows would be lost.
  EXPECT_EQ(HandError(std::string(R"("settings": {})") + '\0' + R"(, "keys": {"0/0": {}})"),
            "line 1, column 29: a NUL byte; the text ends only at its last byte");
  EXPECT_EQ(HandError(std::string("\n \"settings\": {}") + "\x01"),
            "line 2, column 16: control character U+0001 outside a string");
  Loaded d;
  EXPECT_EQ(ImportDefinitionText(std::string(R"({"format": 2})") + '\0', *d.def, d.header).error,
            "line 1, column 14: a NUL byte; the text ends only at its last byte");
  // An error the parser finds first is told as the parser tells it.
  EXPECT_EQ(HandError(std::string(R"("settings": ])") + '\0'),
            "line 1, column 27: syntax error while parsing value - unexpected ']'; expected "
            "'[', '{', or a literal");

  EXPECT_EQ(HandError(R"("settings": {"DebounceTime": 1e400})"),
            ".settings.DebounceTime: 1e400 is not a number this field can hold");
  EXPECT_EQ(HandError(R"("macros": {"3": [{"name": "A"}, {"usb": -1e999}]})"),
            ".macros[\"3\"][1].usb: -1e999 is not a number this field can hold");
  for (const std::string& bad :
       {std::string(R"("keys": [)"), std::string(R"("settings": {"DebounceTime": 1.5})")})
    EXPECT_EQ(HandError(bad).find("json.exception"), std::string::npos) << HandError(bad);
}

TEST(HandWrittenText, MessagesQuoteAReadablePieceOfWhatWasGiven) {
  const std::string huge(3 * 1024 * 1024 / 2, 'x');
  const std::string cut = std::string(60, 'x') + "\u2026";
  // A name: in its path, which is cut in the middle to 200 characters.
  std::string error = HandError("\"settings\": {\"" + huge + "\": 1}");
  EXPECT_EQ(error, ".settings." + std::string(89, 'x') + "\u2026" + std::string(100, 'x') +
                       ": not a setting of a definition");
  error = HandError("\"settings\": {\"" + huge + "\": 1, \"" + huge + "\": 2}");
  EXPECT_EQ(error, ".settings: \"" + cut + "\" is given twice");
  // A value.
  EXPECT_EQ(HandError(R"("settings": {"Led1": ")" + huge + "\"}"),
            ".settings.Led1: \"" + cut +
                "\" is not one of \"No LED\", \"Power on LED\", \"Alpha Lock LED\", \"Num Lock "
                "LED\", \"Caps Lock LED\", \"Scroll Lock LED\"");
  EXPECT_EQ(HandError(R"("keys": {"0/0": {"base": {"name": ")" + huge + "\"}}}"),
            ".keys[\"0/0\"].base.name: \"" + cut + "\" is not a key name");
  // What the parser last read.
  error = HandError(R"("keys": {"0/0": {"legend": ")" + huge);
  EXPECT_LT(error.size(), 300u) << error.substr(0, 300);
  EXPECT_TRUE(error.ends_with("\u2026'")) << error.substr(0, 300);
  // Characters, not bytes: a cut never splits one.
  const std::string wide = ".settings.Led1: \"" + std::string(59, 'a') + "\xC3\xA9\u2026\"";
  EXPECT_EQ(HandError(R"("settings": {"Led1": ")" + std::string(59, 'a') + "\xC3\xA9\xC3\xA9\"}")
                .substr(0, wide.size()),
            wide);
}

}  // namespace
}  // namespace veltrane::persist
