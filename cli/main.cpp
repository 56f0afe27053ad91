// veltrane-cli: the program's commands without windows.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_support.h"
#include "cli/draw_subcommand.h"
#include "cli/file_subcommands.h"
#include "cli/image_subcommands.h"
#include "cli/keyboard_subcommands.h"
#include "cli/station_subcommand.h"
#include "cli/text_subcommands.h"
#include "veltrane_version.h"

namespace {

const char* const kUsage =
    "Usage: veltrane-cli COMMAND [ARGS]\n"
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
    "  draw CONFIG.DAT [-o FILE.svg|.pdf|.png] [--layer base|fn1|fn2|fn1+fn2|all]\n"
    "                                draw the keymap: a page per layer, legends, macros\n"
    "  station CONFIG.DAT --serial FIRST [--count N] [--log FILE.csv]\n"
    "                                program every keyboard plugged in, each with its\n"
    "                                own serial, several at once; verify and log them\n"
    "\n"
    "The keyboard is reached through libnirvex: NIRVEX_DEVICE chooses the device\n"
    "(unset: real keyboards; sim:PATH[,option=value...]: the simulated keyboard;\n"
    "simdir:DIR[,option=value...]: a simulated keyboard per DIR/*.sim file).\n"
    "\n"
    "Run 'veltrane-cli COMMAND --help' for the options of a command; '--' ends the\n"
    "options, so that file names may begin with '-'. 'veltrane-cli --version' shows\n"
    "the version.\n";

struct Subcommand {
  const char* name;
  int (*run)(int, char**);
};

const Subcommand kSubcommands[] = {
    {"report", veltrane::cli::RunReport}, {"convert", veltrane::cli::RunConvert},
    {"build", veltrane::cli::RunBuild},   {"decode", veltrane::cli::RunDecode},
    {"detect", veltrane::cli::RunDetect}, {"program", veltrane::cli::RunProgram},
    {"read", veltrane::cli::RunRead},     {"matrix", veltrane::cli::RunMatrix},
    {"export", veltrane::cli::RunExport}, {"import", veltrane::cli::RunImport},
    {"diff", veltrane::cli::RunDiff},     {"station", veltrane::cli::RunStation},
    {"draw", veltrane::cli::RunDraw},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return veltrane::cli::kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    std::fputs(kUsage, stdout);
    return veltrane::cli::kExitOk;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("veltrane-cli (Veltrane) %s\n", std::string(veltrane::kVersion).c_str());
    return veltrane::cli::kExitOk;
  }
  for (const Subcommand& sub : kSubcommands)
    if (std::strcmp(argv[1], sub.name) == 0) return sub.run(argc, argv);
  std::fprintf(stderr, "veltrane-cli: unknown command '%s'\n%s", argv[1], kUsage);
  return veltrane::cli::kExitUsage;
}
