// SPDX-License-Identifier: MIT
// veltrane-cli edit: keys and layers moved, copied and swapped in a file.
#include "cli/cli_fixture.h"
#include "fileaccess/read_file.h"
#include "model/key_tables.h"

namespace veltrane {
namespace {

class CliEditTest : public CliTest {
 protected:
  // desk.DAT: key 3/5 with A in its base layer and a macro of `strokes` strokes in fn1.
  void WriteDesk(int strokes = 4) {
    model::KeyboardDefinition def;
    model::InitialiseDefinition(def);
    model::KeyDefinition& key = def.keys[model::KeyIndex(3, 5)];
    model::AssignTableKey(key.layers[0], 31);
    key.layers[0].used = 1;
    key.layers[1].keytype = model::STRING_KEY;
    key.layers[1].ibmkey = 0;
    key.layers[1].used = 1;
    key.layers[1].stringcharcount = strokes;
    for (int i = 0; i < strokes; ++i)
      def.stringWorkBuffer[0][i] = {0, static_cast<std::uint8_t>(4 + i % 26), 0x1C, 0};
    def.settings.NumberOfStrings = 1;
    model::UpdateKeyComplete(key);
    model::FlattenStrings(def);
    persist::HeaderImage header;
    ASSERT_TRUE(persist::WriteConfigFile(dir.File("desk.DAT"), def, header));
  }
};

TEST_F(CliEditTest, ACopyIsWrittenInPlaceAndPrintedAsTheDiffPrintsIt) {
  WriteDesk();
  std::filesystem::copy_file(dir.File("desk.DAT"), dir.File("before.DAT"));
  const Result copied = CliStdout("edit desk.DAT copy 3/5 4/6");
  EXPECT_EQ(copied.status, 0) << copied.output;
  EXPECT_NE(copied.output.find("4/6 fn1: none -> macro 1 "), std::string::npos) << copied.output;
  EXPECT_NE(copied.output.find("macro 1: 0 strokes -> 4 strokes"), std::string::npos);
  // The same lines as diff prints between the file before and after.
  EXPECT_EQ(CliStdout("diff before.DAT desk.DAT").output, copied.output);
}

TEST_F(CliEditTest, MoveSwapAndLayerEditsGoToTheOutputFileAndLeaveTheInput) {
  WriteDesk();
  const std::string desk = Read("desk.DAT");
  const Result moved = CliStdout("edit desk.DAT move 3/5 0/0 -o moved.DAT");
  EXPECT_EQ(moved.status, 0);
  EXPECT_EQ(Read("desk.DAT"), desk);
  EXPECT_EQ(CliStdout("diff desk.DAT moved.DAT").output, moved.output);

  const Result layer = CliStdout("edit desk.DAT copy-layer base fn2 -o layer.DAT");
  EXPECT_EQ(layer.status, 0);
  EXPECT_EQ(
      layer.output,
      "ConfigFileName: \"in.dat\" -> \"layer.DAT\"\n3/5 fn2: none -> IBM 31 \"A\" NORMAL_KEY\n");
  EXPECT_EQ(Cli("edit layer.DAT swap-layers FN2 fn1+fn2").status, 0);
  EXPECT_EQ(Cli("edit layer.DAT clear-layer fn1").status, 0);
  EXPECT_NE(CliStdout("diff desk.DAT layer.DAT").output.find("3/5 fn1+fn2: none -> IBM 31"),
            std::string::npos);
}

TEST_F(CliEditTest, BadPositionsAndLayersAreUsageErrorsAndWriteNothing) {
  WriteDesk();
  const std::string desk = Read("desk.DAT");
  for (const char* args :
       {"edit desk.DAT move 16/0 0/0", "edit desk.DAT copy 3/5 0/8", "edit desk.DAT swap 3/5 -1/2",
        "edit desk.DAT move 3/5", "edit desk.DAT move 3/5 x", "edit desk.DAT copy 3 5",
        "edit desk.DAT copy-layer fn1 fn3", "edit desk.DAT clear-layer", "edit desk.DAT shuffle",
        "edit desk.DAT move 3/5 0/0 -o out.DAT extra"}) {
    const Result refused = Cli(args);
    EXPECT_EQ(refused.status, 2) << args << ": " << refused.output;
    EXPECT_NE(refused.output.find("usage: veltrane-cli edit"), std::string::npos) << args;
  }
  EXPECT_NE(Cli("edit desk.DAT copy-layer fn1 fn3").output.find("'fn3' is no layer"),
            std::string::npos);
  // Onto itself: nothing changes and nothing is written.
  const Result same = Cli("edit desk.DAT move 3/5 3/5");
  EXPECT_EQ(same.status, 0);
  EXPECT_NE(same.output.find("nothing changed"), std::string::npos);
  EXPECT_EQ(Read("desk.DAT"), desk);
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.DAT")));
}

TEST_F(CliEditTest, ACopyThatDoesNotFitTheMacroStoreIsRefusedAndWritesNothing) {
  WriteDesk(79);  // 80 of the store's 192 entries
  ASSERT_EQ(Cli("edit desk.DAT copy 3/5 4/6").status, 0);
  const std::string desk = Read("desk.DAT");
  const Result refused = Cli("edit desk.DAT copy 3/5 4/7");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find("veltrane-cli: Macro store: The macros need 240 entries; the "
                                "keyboard's macro store holds 192."),
            std::string::npos)
      << refused.output;
  EXPECT_EQ(Read("desk.DAT"), desk);
  EXPECT_EQ(Cli("edit desk.DAT move 3/5 4/7").status, 0);  // a move adds no strokes
}

}  // namespace
}  // namespace veltrane
