// SPDX-License-Identifier: MIT
// veltrane-cli: the program's commands without windows.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/draw_subcommand.h"
#include "cli/edit_subcommand.h"
#include "cli/file_subcommands.h"
#include "cli/image_subcommands.h"
#include "cli/keyboard_subcommands.h"
#include "cli/keys_subcommand.h"
#include "cli/standard_streams.h"
#include "cli/station_record.h"
#include "cli/station_subcommand.h"
#include "cli/text_subcommands.h"
#include "model/close_names.h"
#include "veltrane_version.h"

namespace {

const char* const kUsage =
    "Usage: veltrane-cli [--log FILE] COMMAND [ARGS]\n"
    "\n"
    "  --log FILE                    write the run's log to FILE (replaced; none without it)\n"
    "\n"
    "Commands:\n"
    "  report CONFIG.DAT [-o FILE]   write the text report of a configuration file\n"
    "  convert CONFIG.DAT OUT.DAT    load a configuration file of any generation and save it\n"
    "  build CONFIG.DAT [--version-text TEXT] [--bin FILE] [--txt FILE]\n"
    "                                build the EEPROM image and write its files\n"
    "  decode IMAGE.BIN [--version-text TEXT] -o OUT.DAT\n"
    "                                decode an image read back and save it\n"
    "  detect                        look for the keyboard, print its version\n"
    "  program CONFIG.DAT [--verify] [--changed-only]\n"
    "                                build the image of CONFIG.DAT and download it\n"
    "  read -o OUT.DAT [--copy FILE]\n"
    "                                read the keyboard back and save it as OUT.DAT\n"
    "  matrix on|off                 switch the keyboard's key matrix mode\n"
    "  export CONFIG.DAT [-o FILE.json]  write a definition as JSON text\n"
    "  import FILE.json -o CONFIG.DAT    save a definition written as JSON text\n"
    "  diff A B [--json]             what differs between two definitions (.DAT or JSON)\n"
    "  keys [PATTERN]                the key names a text may use: number, label, table\n"
    "                                name and type of each row of the IBM key table\n"
    "  edit CONFIG.DAT EDIT ... [-o FILE]\n"
    "                                move, copy or swap keys (move|copy|swap R/C R/C),\n"
    "                                copy, swap or clear layers of every key\n"
    "                                (copy-layer|swap-layers A B, clear-layer A)\n"
    "  draw CONFIG.DAT [-o FILE.svg|.pdf|.png] [--layer base|fn1|fn2|fn1+fn2|all]\n"
    "                                draw the keymap: a page per layer, legends, macros\n"
    "  station CONFIG.DAT --serial FIRST [--count N] [--log FILE.csv]\n"
    "                                program every keyboard plugged in, each with its\n"
    "                                own serial, several at once; verify and record them\n"
    "  station-log [--db STORE] [-o FILE.csv]\n"
    "                                write the station's whole record as CSV\n"
    "\n"
    "The keyboard is reached through libnirvex: NIRVEX_DEVICE chooses the device\n"
    "(unset: real keyboards; sim:PATH[,option=value...]: the simulated keyboard;\n"
    "simdir:DIR[,option=value...]: a simulated keyboard per DIR/*.sim file).\n"
    "\n"
    "Run 'veltrane-cli COMMAND --help' for the options of a command; '--' ends the\n"
    "options, so that file names may begin with '-'. A file name '-' is standard\n"
    "input or standard output. 'veltrane-cli --version' shows the version.\n";

struct Subcommand {
  const char* name;
  int (*run)(int, char**);
  // The exit status when standard output cannot be written: diff keeps 1 for "they differ".
  int outputFailed = veltrane::cli::kExitFailed;
};

const Subcommand kSubcommands[] = {
    {"report", veltrane::cli::RunReport},
    {"convert", veltrane::cli::RunConvert},
    {"build", veltrane::cli::RunBuild},
    {"decode", veltrane::cli::RunDecode},
    {"detect", veltrane::cli::RunDetect},
    {"program", veltrane::cli::RunProgram},
    {"read", veltrane::cli::RunRead},
    {"matrix", veltrane::cli::RunMatrix},
    {"export", veltrane::cli::RunExport},
    {"import", veltrane::cli::RunImport},
    {"diff", veltrane::cli::RunDiff, veltrane::cli::kExitUsage},
    {"keys", veltrane::cli::RunKeys},
    {"edit", veltrane::cli::RunEdit},
    {"station", veltrane::cli::RunStation},
    {"station-log", veltrane::cli::RunStationLog},
    {"draw", veltrane::cli::RunDraw},
};

// Takes "--log FILE" or "--log=FILE" from before the command; false on a usage error.
bool TakeLogOption(int& argc, char**& argv) {
  if (argc < 2) return true;
  const std::string_view word = argv[1];
  int taken = 0;
  if (word == "--log" && argc > 2) {
    veltrane::cli::SetLogPath(argv[2]);
    taken = 2;
  } else if (word.starts_with("--log=")) {
    veltrane::cli::SetLogPath(std::string(word.substr(6)));
    taken = 1;
  } else {
    return word != "--log";
  }
  argv[taken] = argv[0];
  argv += taken;
  argc -= taken;
  return !veltrane::cli::LogPath().empty();
}

int UnknownCommand(const char* typed) {
  std::vector<std::string_view> names;
  for (const Subcommand& sub : kSubcommands) names.emplace_back(sub.name);
  const std::vector<std::string_view> close = veltrane::model::CloseNames(typed, names, 1);
  std::string hint;
  if (!close.empty()) hint = "; did you mean '" + std::string(close.front()) + "'?";
  std::fprintf(stderr,
               "veltrane-cli: unknown command '%s'%s\n"
               "Run 'veltrane-cli --help' for the list of commands.\n",
               typed, hint.c_str());
  return veltrane::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (!TakeLogOption(argc, argv)) {
    std::fprintf(stderr, "veltrane-cli: option --log needs a value\n%s", kUsage);
    return veltrane::cli::kExitUsage;
  }
  using veltrane::cli::FinishStandardOutput;
  using veltrane::cli::kExitFailed;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return veltrane::cli::kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    veltrane::cli::WriteStandardOutput(kUsage);
    return FinishStandardOutput(veltrane::cli::kExitOk, kExitFailed);
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    veltrane::cli::WriteStandardOutput("veltrane-cli (Veltrane) " +
                                       std::string(veltrane::kVersion) + "\n");
    return FinishStandardOutput(veltrane::cli::kExitOk, kExitFailed);
  }
  for (const Subcommand& sub : kSubcommands)
    if (std::strcmp(argv[1], sub.name) == 0)
      return FinishStandardOutput(sub.run(argc, argv), sub.outputFailed);
  return UnknownCommand(argv[1]);
}
