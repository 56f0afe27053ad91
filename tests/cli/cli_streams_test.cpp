// SPDX-License-Identifier: MIT
// veltrane-cli's standard streams: "-" for a file, a full disk or a closed
// pipe on standard output, a terminal that gets no binary, and the other
// command-line conventions: program-named errors and "did you mean".
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/cli_fixture.h"

namespace veltrane {
namespace {

struct Spawned {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string errors;
};

class CliStreamsTest : public CliTest {
 protected:
  void SetUp() override {
    WriteConfig("a.DAT", 12);
    WriteConfig("b.DAT", 13);
    ASSERT_EQ(Cli("export a.DAT -o a.json").status, 0);
  }

  // Runs the program with `command`'s words, `out` as its standard output and
  // SIGPIPE ignored or not; what it wrote on standard error.
  Spawned SpawnWithOutput(const std::string& command, int out, bool ignorePipeSignal) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    int errors[2];
    if (::pipe(errors) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGPIPE, ignorePipeSignal ? SIG_IGN : SIG_DFL);
      ::dup2(out, STDOUT_FILENO);
      ::dup2(errors[1], STDERR_FILENO);
      ::close(errors[0]);
      if (::chdir(dir.path().c_str()) != 0) ::_exit(127);
      std::vector<char*> argv{const_cast<char*>(VELTRANE_CLI)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(VELTRANE_CLI, argv.data());
      ::_exit(127);
    }
    ::close(errors[1]);
    Spawned spawned;
    char buffer[4096];
    for (ssize_t n; (n = ::read(errors[0], buffer, sizeof buffer)) > 0;)
      spawned.errors.append(buffer, static_cast<std::size_t>(n));
    ::close(errors[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    spawned.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return spawned;
  }
};

// Every command that writes on standard output, with the status a failed write gives.
const std::pair<const char*, int> kWritingCommands[] = {
    {"export a.DAT", 1},
    {"export a.DAT -o -", 1},
    {"report a.DAT -o -", 1},
    {"diff a.DAT b.DAT", 2},
    {"diff --json a.DAT b.DAT", 2},
    {"keys", 1},
    {"keys Escape", 1},
    {"--help", 1},
    {"export --help", 1},
    {"import --help", 1},
    {"convert a.DAT -", 1},
    {"import a.json -o -", 1},
    {"build a.DAT --bin -", 1},
    {"build a.DAT --txt -", 1},
};

TEST_F(CliStreamsTest, AFullDiskOnStandardOutputIsAnErrorNamingIt) {
  for (const auto& [command, status] : kWritingCommands) {
    const Result result = Run(command, "", "2>&1 >/dev/full");
    EXPECT_EQ(result.status, status) << command;
    EXPECT_TRUE(result.output.ends_with(
        "veltrane-cli: cannot write standard output: No space left on device\n"))
        << command << ": " << result.output;
  }
  // The keyboard's answer too.
  const Result detected =
      Run("detect", "NIRVEX_DEVICE='sim:" + dir.File("kb.sim") + "'", "2>&1 >/dev/full");
  EXPECT_EQ(detected.status, 1);
  EXPECT_TRUE(detected.output.ends_with("cannot write standard output: No space left on device\n"));
}

TEST_F(CliStreamsTest, AClosedPipeEndsTheRunQuietly) {
  for (const auto& [command, status] : kWritingCommands) {
    for (const bool ignored : {false, true}) {
      int pipe[2];
      ASSERT_EQ(::pipe(pipe), 0);
      ::close(pipe[0]);  // the reader has gone, as head does after its lines
      const Spawned spawned = SpawnWithOutput(command, pipe[1], ignored);
      ::close(pipe[1]);
      EXPECT_EQ(spawned.errors.find("standard output"), std::string::npos)
          << command << ": " << spawned.errors;
      // Killed by the signal as any Unix tool, or, with it ignored, failed quietly.
      EXPECT_EQ(spawned.status, ignored ? status : 128 + SIGPIPE) << command;
    }
  }
}

TEST_F(CliStreamsTest, BinaryIsNotWrittenToATerminal) {
  const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ASSERT_EQ(::grantpt(terminal), 0);
  ASSERT_EQ(::unlockpt(terminal), 0);
  const int screen = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
  ASSERT_GE(screen, 0);
  for (const char* command : {"import a.json -o -", "convert a.DAT -", "build a.DAT --bin -"}) {
    const Spawned spawned = SpawnWithOutput(command, screen, false);
    EXPECT_EQ(spawned.status, 1) << command;
    EXPECT_NE(spawned.errors.find("veltrane-cli: standard output is a terminal"), std::string::npos)
        << spawned.errors;
  }
  // Text goes there as anywhere (a short one: nobody reads this terminal).
  EXPECT_EQ(SpawnWithOutput("keys Escape", screen, false).status, 0);
  ::close(screen);
  ::close(terminal);
}

TEST_F(CliStreamsTest, DashIsStandardInputOrOutput) {
  ASSERT_EQ(Cli("report a.DAT -o a.txt").status, 0);
  EXPECT_EQ(CliStdout("report a.DAT -o -").output, Read("a.txt"));
  EXPECT_EQ(CliStdout("report - -o - < a.DAT").output, Read("a.txt"));
  EXPECT_EQ(CliStdout("export - < a.DAT").output, Read("a.json"));
  // Binary files are compared whole, without printing them.
  const auto same = [this](const std::string& a, const std::string& b) {
    return Read(a) == Read(b);
  };
  ASSERT_EQ(Cli("import a.json -o file.DAT").status, 0);
  ASSERT_EQ(Cli("import - -o stdin.DAT < a.json").status, 0);
  EXPECT_TRUE(same("stdin.DAT", "file.DAT"));
  ASSERT_EQ(CliStdout("import a.json -o - > stdout.DAT").status, 0);
  EXPECT_TRUE(same("stdout.DAT", "file.DAT"));
  // Read from a file, a configuration takes that file's name; written to standard output, it
  // keeps it.
  ASSERT_EQ(CliStdout("convert file.DAT - > converted.DAT").status, 0);
  EXPECT_EQ(Read("converted.DAT").substr(76, 9), std::string("file.DAT\0", 9));
  EXPECT_TRUE(Read("converted.DAT").substr(108) == Read("file.DAT").substr(108));
  ASSERT_EQ(Cli("convert - same.DAT < file.DAT").status, 0);
  std::filesystem::rename(dir.File("same.DAT"), dir.File("piped.DAT"));
  ASSERT_EQ(Cli("convert file.DAT same.DAT").status, 0);
  EXPECT_TRUE(same("piped.DAT", "same.DAT"));
  // Read from standard input, it keeps the name it holds, also in its image.
  ASSERT_EQ(Cli("build a.DAT --bin a.BIN --txt a.TXT").status, 0);
  std::string piped = CliStdout("build - --bin - < a.DAT").output;
  EXPECT_EQ(piped.substr(0x610, 7), std::string("in.dat\0", 7));
  EXPECT_EQ(Read("a.BIN").substr(0x610, 6), std::string("a.DAT\0", 6));
  piped.replace(0x610, 7, std::string("a.DAT\0\xff", 7));  // the field is filled with 0xff
  EXPECT_TRUE(piped == Read("a.BIN"));
  EXPECT_EQ(CliStdout("build a.DAT --bin x.BIN --txt -").output, Read("a.TXT"));
  ASSERT_EQ(Cli("decode a.BIN -o decoded.DAT").status, 0);
  ASSERT_EQ(CliStdout("decode - -o - < a.BIN > piped-decoded.DAT").status, 0);
  // The same but for the file name it was given.
  EXPECT_TRUE(Read("piped-decoded.DAT").substr(148) == Read("decoded.DAT").substr(148));
  EXPECT_EQ(Cli("diff - a.json < a.DAT").status, 0);
  EXPECT_EQ(CliStdout("diff a.DAT - < b.DAT").output, CliStdout("diff a.DAT b.DAT").output);
  EXPECT_EQ(Cli("diff - a.json < b.DAT").status, 1);
  // Only one input can be standard input, and a file read from it has no place for a default.
  EXPECT_EQ(Cli("diff - - < a.DAT").status, 2);
  EXPECT_EQ(Cli("build - < a.DAT").status, 2);
  EXPECT_EQ(Cli("build a.DAT --bin - --txt -").status, 2);
  // What standard input holds is named as such when it is refused.
  EXPECT_EQ(Cli("import - -o x.DAT < /dev/null").output,
            "veltrane-cli: Import text: standard input: line 1, column 1: syntax error while "
            "parsing value - unexpected end of input; expected '[', '{', or a literal\n");
  EXPECT_EQ(Cli("report - < a.json").output,
            "veltrane-cli: Configuration file: standard input is a definition text, not a "
            "configuration file: import it as text\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.DAT")));
}

TEST_F(CliStreamsTest, AMistypedCommandGetsTheClosestOne) {
  const Result typo = Cli("expot a.DAT");
  EXPECT_EQ(typo.status, 2);
  EXPECT_EQ(typo.output,
            "veltrane-cli: unknown command 'expot'; did you mean 'export'?\n"
            "Run 'veltrane-cli --help' for the list of commands.\n");
  for (const auto& [typed, meant] :
       {std::pair{"improt", "import"}, {"stat", "station"}, {"Report", "report"}})
    EXPECT_NE(Cli(typed).output.find("did you mean '" + std::string(meant) + "'?"),
              std::string::npos);
  const Result far = Cli("frobnicate");
  EXPECT_EQ(far.status, 2);
  EXPECT_EQ(far.output.find("did you mean"), std::string::npos);
}

TEST_F(CliStreamsTest, ErrorsNameTheProgram) {
  for (const char* command : {"report nothere.DAT", "export nothere.DAT", "import x.json -o y.DAT",
                              "report a.DAT --bogus", "keys a b", "decode a.DAT -o z.DAT"}) {
    const Result result = Cli(command);
    EXPECT_NE(result.status, 0) << command;
    EXPECT_TRUE(result.output.starts_with("veltrane-cli: ")) << command << ": " << result.output;
  }
}

}  // namespace
}  // namespace veltrane
