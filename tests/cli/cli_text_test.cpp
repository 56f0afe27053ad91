// SPDX-License-Identifier: MIT
// veltrane-cli export, import and diff end to end.
#include "cli/cli_fixture.h"
#include "model/key_tables.h"

namespace veltrane {
namespace {

class CliTextTest : public CliTest {
 protected:
  // A definition with a key, a macro and settings away from their defaults.
  void WriteVaried(const std::string& name) {
    model::KeyboardDefinition def;
    model::InitialiseDefinition(def);
    model::AssignTableKey(def.keys[29].layers[1], 31);
    def.keys[29].layers[1].used = 1;
    def.keys[29].layers[1].keymode = model::KEYMODE_SHIFT;
    def.keys[5].layers[0] = {1, {}, 2, 0, model::STRING_KEY, 0, 0, 0, {}, 3};
    const int rows[] = {31, 50, 48};
    for (std::size_t i = 0; i < 3; ++i) {
      const model::IbmKeyRow& row = model::IbmKeyTable[static_cast<std::size_t>(rows[i])];
      def.stringWorkBuffer[2][i] = {0x02, row.usb, row.scan2, row.type};
    }
    def.stringWorkBuffer[2][3] = {};
    model::FlattenStrings(def);
    def.settings.Leds[2] = 2;
    def.settings.DebounceTime = 40;
    def.settings.SerialNumber = "SN-7";
    persist::HeaderImage header;
    ASSERT_TRUE(persist::WriteConfigFile(dir.File(name), def, header));
  }
};

TEST_F(CliTextTest, ImportOfTheExportGivesTheSameReportAndImages) {
  std::filesystem::create_directory(dir.File("a"));
  std::filesystem::create_directory(dir.File("b"));
  WriteVaried("a/kb.DAT");
  const Result exported = CliStdout("export a/kb.DAT");
  ASSERT_EQ(exported.status, 0);
  EXPECT_EQ(exported.output.rfind("{\n  \"format\": 2,\n", 0), 0u);
  ASSERT_EQ(Cli("export a/kb.DAT -o kb.json").output, "");
  EXPECT_EQ(Read("kb.json"), exported.output);
  const Result imported = Cli("import kb.json -o b/kb.DAT");
  ASSERT_EQ(imported.status, 0) << imported.output;
  EXPECT_EQ(imported.output, "");
  EXPECT_EQ(Read("b/kb.DAT"), Read("a/kb.DAT"));
  for (const char* side : {"a", "b"}) {
    ASSERT_EQ(Cli(std::string("report ") + side + "/kb.DAT").status, 0);
    for (const char* version : {"V0600", "V1420", "V1500"})
      ASSERT_EQ(Cli(std::string("build ") + side + "/kb.DAT --version-text " + version + " --bin " +
                    side + "/" + version + ".BIN")
                    .status,
                0);
  }
  EXPECT_EQ(Read("a/Saved.txt"), Read("b/Saved.txt"));
  for (const char* version : {"V0600", "V1420", "V1500"})
    EXPECT_EQ(Read(std::string("a/") + version + ".BIN"),
              Read(std::string("b/") + version + ".BIN"));
}

TEST_F(CliTextTest, DiffExitsLikeDiffAndNamesWhatChanged) {
  WriteVaried("a.DAT");
  ASSERT_EQ(Cli("export a.DAT -o a.json").status, 0);
  Result same = Cli("diff a.DAT a.json");
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.output, "");
  std::string text = Read("a.json");
  text.replace(text.find("\"DebounceTime\": 40"), 18, "\"DebounceTime\": 12");
  text.replace(text.find("\"key\": 31, \"name\": \"A\""), 22, "\"key\": 48");
  text.replace(text.find(",\n      {\"key\": 50"), 0, ",\n      {\"key\": 32}");
  {
    std::ofstream out(dir.File("b.json"));
    out << text;
  }
  const Result differ = CliStdout("diff a.DAT b.json");
  EXPECT_EQ(differ.status, 1);
  EXPECT_EQ(differ.output,
            "DebounceTime: 40 -> 12\n"
            "3/5 fn1: IBM 31 \"A\" NORMAL_KEY SHIFT -> IBM 48 \"C\" NORMAL_KEY SHIFT\n"
            "macro 2: 3 strokes -> 4 strokes\n");
  const Result json = CliStdout("diff --json a.json b.json");
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.output.find("{\"setting\": \"DebounceTime\", \"from\": 40, \"to\": 12"),
            std::string::npos);
  EXPECT_EQ(Cli("diff a.DAT").status, 2);
  EXPECT_EQ(Cli("diff a.DAT missing.DAT").status, 2);
  EXPECT_EQ(Cli("diff a.DAT b.json --bogus").status, 2);
}

TEST_F(CliTextTest, BadTextWritesNothing) {
  {
    std::ofstream out(dir.File("bad.json"));
    out << "{\"format\": 1,\n \"settings\": {\"DebounceTime\": 300}}";
  }
  const Result result = Cli("import bad.json -o out.DAT");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output,
            "veltrane-cli: Import text: bad.json: .settings.DebounceTime: 300 is out of range "
            "0..255\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
  EXPECT_EQ(Cli("import bad.json").status, 2);
  EXPECT_EQ(Cli("import nothere.json -o out.DAT").output,
            "veltrane-cli: Import text: nothere.json: No such file or directory\n");
  EXPECT_EQ(Cli("export nothere.DAT").output, "veltrane-cli: Cannot open file: nothere.DAT\n");
  // Macros that a configuration file cannot hold are not cut silently.
  std::string strokes = "[";
  for (int i = 0; i < 79; ++i) strokes += std::string(i ? "," : "") + "{\"key\": 31}";
  {
    std::ofstream out(dir.File("long.json"));
    out << "{\"format\": 1, \"macros\": {\"127\": " << strokes << "]}}";
  }
  const Result dropped = Cli("import long.json -o out.DAT");
  EXPECT_EQ(dropped.status, 1);
  EXPECT_NE(dropped.output.find("Macro store: The macros need 207 entries; the keyboard's macro "
                                "store holds 192. These would lose strokes: macro 127 (no key): "
                                "15 of its 79 strokes. Nothing was written"),
            std::string::npos)
      << dropped.output;
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
}

TEST_F(CliTextTest, MacrosThatDoNotFitAreToldAndNothingIsWritten) {
  // A store that runs to its last entry without an end mark: read back, the
  // last macro needs one entry more than the store has.
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  for (int k = 0; k < 64; ++k) def.stringWorkBuffer[127][k] = {0, 0x04, 0x1C, 0};
  model::FlattenStrings(def);
  def.stringStore[191] = {0, 0x04, 0x1C, 0};
  persist::HeaderImage header;
  ASSERT_TRUE(persist::WriteConfigFile(dir.File("damaged.DAT"), def, header));
  for (const char* command :
       {"convert damaged.DAT out.DAT", "report damaged.DAT", "build damaged.DAT"}) {
    const Result result = Cli(command);
    EXPECT_EQ(result.status, 1) << command;
    EXPECT_NE(result.output.find("Macro store: The macros need 193 entries"), std::string::npos)
        << command << ": " << result.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Saved.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("damaged.BIN")));
  // The text keeps all 65 strokes.
  ASSERT_EQ(Cli("export damaged.DAT -o all.json").status, 0);
  EXPECT_NE(Read("all.json").find("\"127\""), std::string::npos);
}

TEST_F(CliTextTest, OutputsOfTheOtherKindAreNotReplaced) {
  WriteVaried("desk.DAT");
  ASSERT_EQ(Cli("export desk.DAT -o desk.json").status, 0);
  ASSERT_EQ(Cli("convert desk.DAT line.DAT").status, 0);
  const std::string configuration = Read("line.DAT");
  const Result exported = Cli("export desk.DAT -o line.DAT");
  EXPECT_EQ(exported.status, 1);
  EXPECT_EQ(exported.output,
            "veltrane-cli: Output file: line.DAT holds a configuration file, not JSON text; "
            "nothing was written (--force replaces it)\n");
  EXPECT_TRUE(Read("line.DAT") == configuration);
  const std::string text = Read("desk.json");
  const Result imported = Cli("import desk.json -o desk.json.bak && cp desk.json b.json && " +
                              std::string(VELTRANE_CLI) + " import desk.json -o b.json");
  EXPECT_EQ(imported.status, 1);
  EXPECT_TRUE(imported.output.ends_with(
      "veltrane-cli: Output file: b.json holds JSON text, not a configuration file; nothing was "
      "written (--force replaces it)\n"))
      << imported.output;
  EXPECT_EQ(Read("b.json"), text);
  // Forced, or of the same kind, they are replaced.
  EXPECT_EQ(Cli("import desk.json -o b.json --force").status, 0);
  EXPECT_TRUE(Read("b.json") == Read("desk.DAT"));
  EXPECT_EQ(Cli("export desk.DAT -o line.DAT --force").status, 0);
  EXPECT_EQ(Read("line.DAT"), text);
  EXPECT_EQ(Cli("export desk.DAT -o desk.json").status, 0);
  EXPECT_EQ(Cli("import desk.json -o desk.DAT").status, 0);
}

TEST_F(CliTextTest, HeaderTextsFillingTheirFieldsComeBackFromTheExport) {
  WriteVaried("full.DAT");
  std::string file = Read("full.DAT");
  file.replace(76, 32, std::string(32, 'F'));
  file.replace(108, 32, std::string(32, 'S'));
  WriteBytes("full.DAT", std::vector<std::uint8_t>(file.begin(), file.end()));
  ASSERT_EQ(Cli("convert full.DAT kept.DAT").status, 0);
  ASSERT_EQ(Cli("export full.DAT -o full.json").status, 0);
  const Result imported = Cli("import full.json -o back.DAT");
  ASSERT_EQ(imported.status, 0) << imported.output;
  EXPECT_TRUE(Read("back.DAT") == Read("full.DAT"));
}

TEST_F(CliTextTest, AHandWrittenTextNamesKeysAsTheReportDoes) {
  {
    std::ofstream out(dir.File("hand.json"));
    out << R"({"format": 2, "keys": {"0/0": {"base": {"name": "Esc"}}}})";
  }
  const Result refused = Cli("import hand.json -o hand.DAT");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output,
            "veltrane-cli: Import text: hand.json: .keys[\"0/0\"].base.name: \"Esc\" is not a key "
            "name; did you mean \"Escape\"?\n");
  {
    std::ofstream out(dir.File("hand.json"));
    out << R"({"format": 2, "keys": {"0/0": {"base": {"name": "Escape"}}, "3/5": {"fn1": )"
        << R"({"name": "A", "modes": ["SHIFT"]}}}})";
  }
  ASSERT_EQ(Cli("import hand.json -o hand.DAT").status, 0);
  EXPECT_EQ(CliStdout("diff hand.DAT hand.json").output, "");
  const Result keys = CliStdout("keys escape");
  EXPECT_EQ(keys.output.substr(keys.output.find('\n') + 1, 36),
            "110  Escape                 IBM Key ");
}

TEST_F(CliTextTest, KeysListsTheWholeTable) {
  const Result all = CliStdout("keys");
  ASSERT_EQ(all.status, 0);
  EXPECT_EQ(std::count(all.output.begin(), all.output.end(), '\n'), 1 + model::kIbmKeyRowCount);
  EXPECT_NE(all.output.find("\n 31  A    "), std::string::npos);
  EXPECT_NE(all.output.find("  IBM Key 14 Not Used!   UNUSED_KEY\n"), std::string::npos);
  // A shell pattern matches a name whole; other text is looked for in every name.
  const std::string keypad = CliStdout("keys 'Keypad ?'").output;
  EXPECT_EQ(std::count(keypad.begin(), keypad.end(), '\n'), 1 + 15);  // ten digits, / * - + .
  const std::string mouse = CliStdout("keys mouse").output;
  EXPECT_EQ(std::count(mouse.begin(), mouse.end(), '\n'), 1 + 3);
  EXPECT_NE(CliStdout("keys 147").output.find("\n147  F13 "), std::string::npos);
  const Result none = Cli("keys nothing-like-it");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.output, "veltrane-cli: no key matches \"nothing-like-it\"\n");
}

}  // namespace
}  // namespace veltrane
