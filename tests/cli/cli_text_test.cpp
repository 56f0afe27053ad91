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
    def.settings.Led3 = 2;
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
  EXPECT_EQ(exported.output.rfind("{\n  \"format\": 1,\n", 0), 0u);
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
  text.replace(text.find("\"key\": 31, \"name\": \"IBM Key 31\""), 31, "\"key\": 48");
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
  EXPECT_NE(dropped.output.find(".macros: 15 key strokes do not fit"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
}

}  // namespace
}  // namespace veltrane
