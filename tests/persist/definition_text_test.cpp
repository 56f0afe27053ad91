// SPDX-License-Identifier: MIT
// The JSON form: what export leaves out and keeps, what import fills in, and
// every kind of bad input refused with where it is and nothing changed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "persist/definition_diff.h"
#include "support/setting_places.h"
#include "tests/persist/definition_text_support.h"
#include "tests/persist/persist_test_util.h"
#include "tests/support/temp_dir.h"

namespace veltrane::persist {
namespace {

using namespace veltrane::persist::testing;

Loaded Fresh() {
  Loaded d;
  ToHeader(d.def->settings, d.header);
  return d;
}

std::string ImportError(const std::string& text) {
  Loaded d = Fresh();
  model::SetFieldText(d.def->keys[0].legend, "kept");
  const DefinitionTextImport imported = ImportDefinitionText(text, *d.def, d.header);
  // A refused text changes nothing.
  EXPECT_EQ(model::FieldText(d.def->keys[0].legend), "kept");
  return imported.ok ? "accepted" : imported.error;
}

TEST(DefinitionText, ExportKeepsWhatIsNotClearedAndLeavesOutTheRest) {
  Loaded d = Fresh();
  model::SetFieldText(d.def->keys[model::KeyIndex(2, 1)].legend, "Unused");
  d.def->keys[model::KeyIndex(2, 1)].used = 0;
  d.def->keys[model::KeyIndex(3, 5)].layers[1].usbcode = 4;  // cleared but for a code
  d.def->stringWorkBuffer[9][0] = {0x02, 0x04, 0x1C, 0};     // no key refers to it
  const std::string text = ExportDefinitionText(*d.def, d.header);
  const auto json = nlohmann::json::parse(text);
  EXPECT_EQ(json["format"], 2);
  ASSERT_EQ(json["keys"].size(), 2u);
  EXPECT_EQ(json["keys"]["2/1"]["legend"], "Unused");
  EXPECT_EQ(json["keys"]["2/1"]["used"], false);
  EXPECT_FALSE(json["keys"]["2/1"].contains("base"));
  EXPECT_EQ(json["keys"]["3/5"]["fn1"]["codes"]["usb"], 4);
  EXPECT_EQ(json["macros"].size(), 1u);
  EXPECT_NE(text.find("      {\"key\": 31, \"name\": \"A\", \"modifiers\": [\"LEFT_SHIFT\"]}"),
            std::string::npos);
  EXPECT_EQ(json["settings"]["Led1"], "No LED");
  EXPECT_EQ(json["settings"]["DefRepRate"], "60 mS");
  // A legend that is not UTF-8 keeps its bytes.
  model::SetFieldText(d.def->keys[0].legend, "\xC4rger");
  EXPECT_EQ(
      nlohmann::json::parse(ExportDefinitionText(*d.def, d.header))["keys"]["0/0"]["legend"]["hex"],
      "c472676572");
}

TEST(DefinitionText, ImportFillsWhatAHandWrittenLayerLeavesOut) {
  Loaded d = Fresh();
  const DefinitionTextImport imported = ImportDefinitionText(
      R"({"format": 1, "settings": {"Led2": 4, "EnableBits": ["KEYBOARD", "POINTING_DEVICE"]},
          "keys": {"3/5": {"fn2": {"name": "IBM Key 31", "modes": ["SHIFT"]},
                           "base": {"macro": 7}}},
          "macros": {"7": [{"key": 32}, {"name": "F13", "modifiers": ["RIGHT_ALT"]}]}})",
      *d.def, d.header);
  ASSERT_TRUE(imported.ok) << imported.error;
  const model::KeyDefinition& key = d.def->keys[model::KeyIndex(3, 5)];
  EXPECT_EQ(key.layers[2].used, 1);
  EXPECT_EQ(key.layers[2].ibmkey, 31);
  EXPECT_EQ(key.layers[2].keytype, model::NORMAL_KEY);
  EXPECT_EQ(key.layers[2].usbcode, 0x04);
  EXPECT_EQ(key.layers[2].keymode, model::KEYMODE_SHIFT);
  EXPECT_EQ(key.layers[0].keytype, model::STRING_KEY);
  EXPECT_EQ(key.layers[0].stringcharcount, 2);
  EXPECT_EQ(key.complete, 1);  // derived when left out
  EXPECT_EQ(model::FieldText(key.legend), "Nothing");
  EXPECT_EQ(d.def->stringWorkBuffer[7][1].modifier, 0x40);
  EXPECT_EQ(d.def->stringWorkBuffer[7][1].characterUSB, 0x68);
  EXPECT_EQ(d.header.I32(veltrane::testing::HeaderAt("NumberOfStrings")), 1);  // the macros given
  EXPECT_EQ(d.def->settings.Leds[1], 4);
  EXPECT_EQ(d.def->settings.EnableBits, 3);
  EXPECT_EQ(d.header.I32(veltrane::testing::HeaderAt("MaxScanRow")),
            14);                                    // a setting left out keeps its default
  EXPECT_EQ(d.def->stringIndex[8], 2304 + 4 * 10);  // the store is packed
}

TEST(DefinitionText, BadInputIsRefusedWithWhereItIs) {
  const std::string top = R"({"format": 1, )";
  EXPECT_EQ(ImportError("{\"format\": 1,\n  \"keys\": {\n    \"3/5\": {]}}"),
            "line 3, column 13: syntax error while parsing object key - unexpected ']'; "
            "expected string literal");
  EXPECT_EQ(ImportError(""),
            "line 1, column 1: syntax error while parsing value - unexpected end of input; "
            "expected '[', '{', or a literal");
  EXPECT_EQ(ImportError(R"({"format": 3})"),
            ".format: format 3 is not known; this program reads formats 1 and 2");
  EXPECT_EQ(ImportError("[1]"),
            ".: not a definition: it has no \"format\" (this program reads \"format\": 2)");
  EXPECT_EQ(ImportError(top + R"("keys": {"1/1": {"base": {"name": "Xyzzy"}}}})"),
            ".keys[\"1/1\"].base.name: \"Xyzzy\" is not a key name");
  EXPECT_EQ(ImportError(top + R"("keys": {"1/1": {"base": {"key": 31, "name": "IBM Key 32"}}}})"),
            ".keys[\"1/1\"].base.name: \"IBM Key 32\" is key 32, not key 31");
  EXPECT_EQ(
      ImportError(top + R"("keys": {"1/1": {"base": {"key": 31, "type": "NORMAL"}}}})"),
      ".keys[\"1/1\"].base.type: \"NORMAL\" is not one of \"NORMAL_KEY\", \"KEYPAD_ENTER_KEY\", "
      "\"CURSOR_KEY\", \"KEYPAD_KEY\", \"PRINTSCREEEN_KEY\", \"PAUSE_KEY\", "
      "\"LOCAL_SHIFT_RIGHT_KEY\", \"LOCAL_SHIFT_LEFT_KEY\", \"SHIFT_RIGHT_KEY\", "
      "\"SHIFT_LEFT_KEY\", \"CTRL_RIGHT_KEY\", \"CTRL_LEFT_KEY\", \"ALT_RIGHT_OR_GR_KEY\", "
      "\"ALT_LEFT_KEY\", \"ALPHA_LOCK_KEY\", \"UNUSED_KEY\", \"MOUSE_BUTTON_KEY\", "
      "\"STRING_KEY\", \"CONSUMER_KEY\", \"SYSTEM_KEY\", \"LOCAL_ILLUMINATION_KEY\", "
      "\"undefined\", \"STOP_SUN_KEY\"");
  EXPECT_EQ(ImportError(top + R"("keys": {"16/0": {}}})"),
            ".keys[\"16/0\"]: row 16 is out of range 0..15");
  EXPECT_EQ(ImportError(top + R"("keys": {"0/8": {}}})"),
            ".keys[\"0/8\"]: column 8 is out of range 0..7");
  EXPECT_EQ(ImportError(top + R"("keys": {"03/1": {}}})"),
            ".keys[\"03/1\"]: not a key position; positions are row/column, such as \"3/5\"");
  EXPECT_EQ(ImportError(top + R"("keys": {"1/1": {"fn3": {}}}})"),
            ".keys[\"1/1\"].fn3: unknown name; expected one of \"legend\", \"used\", \"enabled\", "
            "\"complete\", \"logicalAddress\", \"base\", \"fn1\", \"fn2\", \"fn1+fn2\"");
  EXPECT_EQ(ImportError(top + R"("settings": {"DebounceTime": 300}})"),
            ".settings.DebounceTime: 300 is out of range 0..255");
  EXPECT_EQ(ImportError(top + R"("settings": {"MaxScanRow": 2.5}})"),
            ".settings.MaxScanRow: expected a whole number 1..16, not 2.5");
  EXPECT_EQ(ImportError(top + R"("settings": {"Led1": "Blue LED"}})"),
            ".settings.Led1: \"Blue LED\" is not one of \"No LED\", \"Power on LED\", "
            "\"Alpha Lock LED\", \"Num Lock LED\", \"Caps Lock LED\", \"Scroll Lock LED\"");
  EXPECT_EQ(
      ImportError(top + R"("settings": {"SerialNumber": "0123456789012345678901234567890123"}})"),
      ".settings.SerialNumber: the text has 34 bytes; a field holds at most 32");
  EXPECT_EQ(ImportError(top + R"("keys": {"0/0": {"legend": "a\u0000b"}}})"),
            ".keys[\"0/0\"].legend: a text cannot hold a NUL character");
  EXPECT_EQ(ImportError(top + R"("keys": {"2/2": {}, "2/2": {}}})"),
            ".keys: \"2/2\" is given twice");
  EXPECT_EQ(ImportError(top + R"("settings": {"Led1": 1, "Led1": 2}})"),
            ".settings: \"Led1\" is given twice");
  EXPECT_EQ(ImportError(top + R"("macros": {"0": [{"key": 31, "key": 32}]}})"),
            ".macros[\"0\"][0]: \"key\" is given twice");
  EXPECT_EQ(
      ImportError(top + R"("macros": {"0": [{"key": 0, "modifiers": ["SUPER"]}]}})"),
      ".macros[\"0\"][0].modifiers[0]: \"SUPER\" is not one of \"LEFT_CTRL\", \"LEFT_SHIFT\", "
      "\"LEFT_ALT\", \"LEFT_GUI\", \"RIGHT_CTRL\", \"RIGHT_SHIFT\", \"RIGHT_ALT\", \"RIGHT_GUI\"");
  EXPECT_EQ(ImportError(top + R"("macros": {"0": [{"usb": 0, "scan2": 0, "type": 0}]}})"),
            ".macros[\"0\"][0]: a stroke of all zero bytes would end the macro");
  EXPECT_EQ(ImportError(top + R"("keys": {"1/1": {"base": {"macro": 3, "key": 4}}}})"),
            ".keys[\"1/1\"].base: a layer names either a key or a macro");
  EXPECT_EQ(ImportError(top + R"("headerReserved": "00"})"),
            ".headerReserved: expected 30 hexadecimal digits");
  EXPECT_EQ(ImportError(top + R"("extra": 1})"),
            ".extra: unknown name; expected one of \"format\", \"settings\", \"headerReserved\", "
            "\"keys\", \"macros\"");
  EXPECT_EQ(ImportError(std::string(64, '[')),
            "[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]: nested more than 16 levels deep");
}

TEST(DefinitionText, MacroLimits) {
  std::string strokes80 = "[";
  for (int i = 0; i < 80; ++i) strokes80 += std::string(i ? "," : "") + R"({"key": 31})";
  EXPECT_EQ(ImportError(R"({"format": 1, "macros": {"5": )" + strokes80 + "]}}"),
            ".macros[\"5\"]: 80 strokes; a macro holds at most 79");
  std::string macros129;
  for (int n = 0; n < 129; ++n) macros129 += (n ? ", \"" : "\"") + std::to_string(n) + "\": []";
  EXPECT_EQ(ImportError(R"({"format": 1, "macros": {)" + macros129 + "}}"),
            ".macros: 129 macros; a definition holds at most 128");
  EXPECT_EQ(ImportError(R"({"format": 1, "macros": {"128": []}})"),
            ".macros[\"128\"]: not a macro number 0..127");
  // 79 strokes fit a work-buffer row, but in the last string not the string
  // store after the other 127 strings' end marks: the import says how many.
  std::string strokes79 = "[";
  for (int i = 0; i < 79; ++i) strokes79 += std::string(i ? "," : "") + R"({"key": 31})";
  Loaded d = Fresh();
  const auto imported = ImportDefinitionText(
      R"({"format": 1, "macros": {"127": )" + strokes79 + "]}}", *d.def, d.header);
  ASSERT_TRUE(imported.ok) << imported.error;
  EXPECT_EQ(model::StringLength(d.def->stringWorkBuffer[127]), 79);
  EXPECT_EQ(imported.droppedStrokes, 79 - 64);
}

TEST(DefinitionText, FileLimitsAndErrors) {
  veltrane::testing::TempDir dir;
  Loaded d = Fresh();
  WriteBytes(dir.File("big.json"), std::vector<std::uint8_t>(kMaxDefinitionTextSize + 1, ' '));
  const DefinitionTextImport big = ReadDefinitionTextFile(dir.File("big.json"), *d.def, d.header);
  EXPECT_FALSE(big.ok);
  EXPECT_EQ(big.error, dir.File("big.json") + " is larger than 4194304 bytes");
  WriteBytes(dir.File("bad.json"), {'{', '}'});
  const DefinitionTextImport bad = ReadDefinitionTextFile(dir.File("bad.json"), *d.def, d.header);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.error, dir.File("bad.json") +
                           ": .: not a definition: it has no \"format\" (this "
                           "program reads \"format\": 2)");
  ASSERT_TRUE(WriteDefinitionTextFile(dir.File("ok.json"), *d.def, d.header));
  EXPECT_TRUE(ReadDefinitionTextFile(dir.File("ok.json"), *d.def, d.header).ok);
}

TEST(DefinitionDiff, OneLinePerChangedKeyLayerMacroAndSetting) {
  const Loaded a = Fresh();
  Loaded b = Fresh();
  EXPECT_TRUE(DiffDefinitions(*a.def, a.header, *b.def, b.header).empty());
  Loaded c = Fresh();
  model::KeyLayer& before = c.def->keys[model::KeyIndex(3, 5)].layers[1];
  model::AssignTableKey(before, 31);
  before.used = 1;
  c.def->stringWorkBuffer[2][0] = {0, 4, 0x1C, 0};
  b = Loaded{};
  *b.def = *c.def;
  b.header = c.header;
  model::AssignTableKey(b.def->keys[model::KeyIndex(3, 5)].layers[1], 48);
  b.def->keys[model::KeyIndex(3, 5)].layers[2] = before;
  model::SetFieldText(b.def->keys[model::KeyIndex(3, 5)].legend, "A");
  b.def->stringWorkBuffer[2][1] = {0x02, 5, 0x32, 0};
  b.def->stringWorkBuffer[4][0] = {0x20, 6, 0x21, 0};
  b.def->settings.DebounceTime = 12;
  b.def->settings.Leds[0] = 4;
  const auto differences = DiffDefinitions(*c.def, c.header, *b.def, b.header);
  std::vector<std::string> lines;
  for (const auto& d : differences) lines.push_back(d.line);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "DebounceTime: 28 -> 12",
                       "Led1: \"No LED\" -> \"Caps Lock LED\"",
                       "3/5: legend \"Nothing\" -> \"A\"",
                       "3/5 fn1: IBM 31 \"A\" NORMAL_KEY -> IBM 48 \"C\" NORMAL_KEY",
                       "3/5 fn2: none -> IBM 31 \"A\" NORMAL_KEY",
                       "macro 2: 1 strokes -> 2 strokes",
                       "macro 4: 0 strokes -> 1 strokes",
                   }));
  const auto json = nlohmann::json::parse(FormatDifferencesJson(differences));
  EXPECT_EQ(json["equal"], false);
  EXPECT_EQ(json["differences"][4]["layer"], "fn2");
  EXPECT_TRUE(json["differences"][4]["from"].is_null());
  EXPECT_EQ(json["differences"][4]["to"]["key"], 31);
  EXPECT_EQ(nlohmann::json::parse(FormatDifferencesJson({}))["equal"], true);
  // Same number of strokes: the first stroke that differs.
  c.def->stringWorkBuffer[2][1] = {0x00, 5, 0x32, 0};
  EXPECT_EQ(DiffDefinitions(*c.def, c.header, *b.def, b.header)[5].line,
            "macro 2: stroke 2 of 2: \"B\" -> LEFT_SHIFT+\"B\"");
}

}  // namespace
}  // namespace veltrane::persist
