// SPDX-License-Identifier: MIT
// The desktop program's own options: help and version before anything else,
// one configuration file, "--" before a name that begins with '-'.
#include "gui/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "veltrane_version.h"

namespace veltrane::gui {
namespace {

struct Argv {
  explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
    for (std::string& w : words_) pointers.push_back(w.data());
  }
  int argc() const { return static_cast<int>(pointers.size()); }
  std::vector<std::string> words_;
  std::vector<char*> pointers;
};

std::string Answered(std::vector<std::string> words, std::optional<int>& status) {
  Argv argv(std::move(words));
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  status = AnswerInfoOptions(argv.argc(), argv.pointers.data(), out);
  std::fclose(out);
  std::string printed(text, size);
  std::free(text);
  return printed;
}

TEST(CommandLine, HelpAndVersionAnswerWhereverTheyStandBeforeDashDash) {
  std::optional<int> status;
  EXPECT_TRUE(Answered({"veltrane", "x.DAT", "-h"}, status).starts_with("Usage: veltrane"));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Answered({"veltrane", "--version"}, status),
            "veltrane (Veltrane) " + std::string(kVersion) + "\n");
  EXPECT_EQ(Answered({"veltrane", "--", "--help"}, status), "");  // a file of that name
  EXPECT_FALSE(status);
}

TEST(CommandLine, OneConfigurationFileAndNoUnknownOption) {
  Argv dashed({"veltrane", "--", "-x.DAT"});
  EXPECT_EQ(ParseStartArguments(dashed.argc(), dashed.pointers.data()).configFile, "-x.DAT");
  Argv unknown({"veltrane", "--colour", "desk.DAT"});
  EXPECT_EQ(ParseStartArguments(unknown.argc(), unknown.pointers.data()).unknownOption, "--colour");
}

}  // namespace
}  // namespace veltrane::gui
