// SPDX-License-Identifier: MIT
#include "gui/command_line.h"

#include <string_view>

#include "veltrane_version.h"

namespace veltrane::gui {
namespace {

const char* const kUsage =
    "Usage: veltrane [OPTION]... [CONFIG.DAT]\n"
    "Define what every key of a programmable 16 x 8 matrix keyboard does and write\n"
    "the definition into the keyboard's EEPROM.\n"
    "\n"
    "CONFIG.DAT, when given, is loaded at start and is what the window shows; one\n"
    "that cannot be loaded is never written over, and nothing is programmed from it.\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this help and exit\n"
    "      --version   show the version and exit\n"
    "  --              end the options: a file name that begins with '-' follows\n"
    "\n"
    "The Qt toolkit's options are taken too, e.g. -platform wayland, -platform xcb,\n"
    "-style NAME, -reverse.\n"
    "\n"
    "Environment:\n"
    "  NIRVEX_DEVICE   the keyboard: unset or 'hidapi' for real keyboards;\n"
    "                  'sim:PATH[,option=value...]' for a simulated keyboard whose\n"
    "                  memory is kept in PATH; 'simdir:DIR' for one simulated\n"
    "                  keyboard per DIR/*.sim file\n"
    "  NIRVEX_TRACE    append every feature report sent or received to this file\n"
    "\n"
    "veltrane-cli runs the same commands without a window.\n";

bool Is(const char* word, std::string_view name) {
  return std::string_view(word) == name;
}

}  // namespace

std::optional<int> AnswerInfoOptions(int argc, char** argv, std::FILE* out) {
  for (int i = 1; i < argc && !Is(argv[i], "--"); ++i) {
    if (Is(argv[i], "--help") || Is(argv[i], "-h")) {
      std::fputs(kUsage, out);
      return 0;
    }
    if (Is(argv[i], "--version")) {
      std::fprintf(out, "veltrane (Veltrane) %.*s\n", static_cast<int>(kVersion.size()),
                   kVersion.data());
      return 0;
    }
  }
  return std::nullopt;
}

StartArguments ParseStartArguments(int argc, char** argv) {
  StartArguments start;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
      if (start.unknownOption.empty()) start.unknownOption = word;
    } else if (start.configFile.empty()) {
      start.configFile = word;
    }
  }
  return start;
}

int UnknownOptionError(const std::string& word, std::FILE* err) {
  std::fprintf(err, "veltrane: unknown option '%s'\n%s", word.c_str(), kUsage);
  return 2;
}

}  // namespace veltrane::gui
