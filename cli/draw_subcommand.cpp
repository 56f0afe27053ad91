// SPDX-License-Identifier: MIT
#include "cli/draw_subcommand.h"

#include <cstdio>

#include "cli/cli_support.h"
#include "picture/keymap_picture.h"
#include "ui/app/file_commands.h"

namespace veltrane::cli {
namespace {

const char* const kDrawUsage =
    "usage: veltrane-cli draw CONFIG.DAT [-o FILE.svg|FILE.pdf|FILE.png]\n"
    "                         [--layer base|fn1|fn2|fn1+fn2|all]\n"
    "  Draws the keymap of CONFIG.DAT: a page per layer (default: all four) with\n"
    "  the 16 x 8 keys, each with its legend and meaning (unused keys grey), and\n"
    "  the macros the page names under the grid. FILE's extension chooses the\n"
    "  format; a PDF has a page per layer, an SVG or PNG stacks them. Without -o,\n"
    "  or with -o -, the SVG goes to stdout.\n";

}  // namespace

int RunDraw(int argc, char** argv) {
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--output", "--layer"}, {{"-o", "--output"}});
  if (args.help) return std::fputs(kDrawUsage, stdout), kExitOk;
  if (!args.error.empty()) return UsageError(kDrawUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kDrawUsage, "expected one CONFIG.DAT");
  const std::string layerName = args.Option("--layer").value_or("all");
  const std::optional<std::vector<int>> layers = picture::LayersNamed(layerName);
  if (!layers)
    return UsageError(kDrawUsage,
                      "unknown layer '" + layerName + "': give base, fn1, fn2, fn1+fn2 or all");
  const std::string output = args.Option("--output").value_or("-");
  const bool toStdout = output == "-";
  if (!toStdout && !picture::FormatOfName(output))
    return UsageError(kDrawUsage, output + ": not a picture format; name it " +
                                      std::string(picture::kPictureFormatNames));

  Run run;
  const std::string& input = args.positional[0];
  if (!ui::LoadSettingsFile(run.app, run.io, input)) return kExitFailed;
  const std::string name = ui::FileNameOf(input);
  if (toStdout) {
    const std::string svg = picture::RenderPages(
        picture::KeymapPages(run.app.doc.def, *layers, name), picture::PictureFormat::Svg);
    return std::fwrite(svg.data(), 1, svg.size(), stdout) == svg.size() ? kExitOk : kExitFailed;
  }
  if (ui::WouldReplaceInput(run.io, input, output)) return kExitFailed;
  return ExitStatus(
      ui::Told(run.io, ui::Command::WriteFile,
               ui::WrittenFile(picture::WriteKeymapPicture(output, run.app.doc.def, *layers, name),
                               output)));
}

}  // namespace veltrane::cli
