// SPDX-License-Identifier: MIT
// The bash completion file offers the commands that exist, each command's
// options and its files.
#include <algorithm>

#include "cli/cli_fixture.h"

namespace veltrane {
namespace {

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

class CliCompletionTest : public CliTest {
 protected:
  // What the completion offers for the words typed so far (the last one being completed).
  std::vector<std::string> Complete(const std::string& typed) {
    const std::string script = "source '" VELTRANE_COMPLETION "'; COMP_WORDS=('" VELTRANE_CLI "' " +
                               typed + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); " + "[[ '" +
                               typed + "' == *' ' || -z '" + typed +
                               "' ]] && { COMP_WORDS+=(''); COMP_CWORD=$((COMP_CWORD + 1)); }; "
                               "_veltrane_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    std::ofstream(dir.File("complete.sh")) << script;
    const std::string command = "cd '" + dir.path() + "' && bash complete.sh";
    std::string out;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    ::pclose(pipe);
    std::vector<std::string> words = Words(out);
    std::sort(words.begin(), words.end());
    return words;
  }
};

TEST_F(CliCompletionTest, OffersTheCommandsThatExist) {
  // The commands as the program's own help lists them.
  const std::string help = CliStdout("--help").output;
  std::vector<std::string> commands{"--help", "--version"};
  std::istringstream lines(help.substr(help.find("Commands:\n")));
  for (std::string line; std::getline(lines, line) && line != "";)
    if (line.starts_with("  ") && std::islower(static_cast<unsigned char>(line[2])))
      commands.push_back(Words(line).front());
  std::sort(commands.begin(), commands.end());
  ASSERT_GE(commands.size(), 14u);
  EXPECT_EQ(Complete(""), commands);
  for (const std::string& command : commands) {
    if (command.starts_with("--")) continue;
    EXPECT_EQ(Cli(command + " --help").status, 0) << command;
  }
  // After the global --log FILE the command comes one word later.
  EXPECT_EQ(Complete("--log run.txt ex"), (std::vector<std::string>{"export"}));
  EXPECT_EQ(Complete("--log=run.txt matrix "), (std::vector<std::string>{"off", "on"}));
  EXPECT_EQ(Complete("draw x.DAT --layer fn"), (std::vector<std::string>{"fn1", "fn1+fn2", "fn2"}));
}

TEST_F(CliCompletionTest, OffersEachCommandsOptionsAndFiles) {
  EXPECT_EQ(Complete("export --"), (std::vector<std::string>{"--force", "--help"}));
  EXPECT_EQ(Complete("build a.DAT --"),
            (std::vector<std::string>{"--bin", "--help", "--txt", "--version-text"}));
  WriteConfig("desk.DAT", 1);
  ASSERT_EQ(Cli("export desk.DAT -o desk.json").status, 0);
  std::filesystem::create_directory(dir.File("boards"));
  EXPECT_EQ(Complete("import "), (std::vector<std::string>{"boards", "desk.json"}));
  EXPECT_EQ(Complete("report d"), (std::vector<std::string>{"desk.DAT"}));
  EXPECT_EQ(Complete("diff desk.DAT "),
            (std::vector<std::string>{"boards", "desk.DAT", "desk.json"}));
}

}  // namespace
}  // namespace veltrane
