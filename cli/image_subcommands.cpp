#include "cli/image_subcommands.h"

#include <cstdio>
#include <vector>

#include "cli/cli_support.h"
#include "eeprom/image_files.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"

namespace veltrane::cli {
namespace {

const char* const kBuildUsage =
    "usage: veltrane-cli build CONFIG.DAT [--version-text TEXT] [--bin FILE] [--txt FILE]\n"
    "  Loads CONFIG.DAT and builds its EEPROM image for the keyboard version TEXT\n"
    "  (default, or \"\": none, firmware 0). Writes the files asked for; with\n"
    "  neither option both, as BASENAME.BIN and BASENAME.TXT beside CONFIG.DAT.\n";

const char* const kDecodeUsage =
    "usage: veltrane-cli decode IMAGE.BIN [--version-text TEXT] -o OUT.DAT\n"
    "  Decodes the first 3072 bytes of IMAGE.BIN as read back from a keyboard of\n"
    "  version TEXT (default, or \"\": none, firmware 0) and saves the definition as\n"
    "  OUT.DAT.\n";

}  // namespace

int RunBuild(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--version-text", "--bin", "--txt"}, {}, {},
                                        {"--version-text"});
  if (args.help) {
    std::fputs(kBuildUsage, stdout);
    return kExitOk;
  }
  if (!args.error.empty()) return UsageError(kBuildUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kBuildUsage, "expected one CONFIG.DAT");

  Run run;
  ui::AppState& app = run.app;
  if (!ui::LoadSettingsFile(app, run.io, args.positional[0])) return kExitFailed;
  ui::SetVersionText(app, args.Option("--version-text").value_or(""));
  if (!ui::BuildImageForUse(app, run.io).ok()) return kExitFailed;

  const auto bin = args.Option("--bin");
  const auto txt = args.Option("--txt");
  const std::string input = args.positional[0];
  const std::string base = app.doc.dataDirectory + app.doc.baseName;
  for (const std::string& output : (bin || txt) ? std::vector{bin.value_or(""), txt.value_or("")}
                                                : std::vector{base + ".BIN", base + ".TXT"})
    if (!output.empty() && ui::WouldReplaceInput(run.io, input, output)) return kExitFailed;
  if (!bin && !txt) return ExitStatus(ui::WriteImageFiles(app, run.io, true, true));
  bool ok = true;
  const auto write = [&](const std::string& path, const fileaccess::Status& written) {
    ok = ui::Told(run.io, ui::Command::WriteFile, ui::WrittenFile(written, path)).ok() && ok;
  };
  if (bin) write(*bin, eeprom::WriteBinFile(*bin, app.doc.image));
  if (txt) write(*txt, eeprom::WriteTxtFile(*txt, app.doc.image));
  return ok ? kExitOk : kExitFailed;
}

int RunDecode(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--version-text", "--output"},
                                        {{"-o", "--output"}}, {}, {"--version-text"});
  if (args.help) {
    std::fputs(kDecodeUsage, stdout);
    return kExitOk;
  }
  if (!args.error.empty()) return UsageError(kDecodeUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kDecodeUsage, "expected one IMAGE.BIN");
  const auto output = args.Option("--output");
  if (!output) return UsageError(kDecodeUsage, "-o OUT.DAT is required");

  Run run;
  ui::AppState& app = run.app;
  if (ui::WouldReplaceInput(run.io, args.positional[0], *output)) return kExitFailed;
  if (!ui::LoadImageFile(app, run.io, args.positional[0])) return kExitFailed;
  ui::SetVersionText(app, args.Option("--version-text").value_or(""));
  ui::DecodeReadImage(app);
  return ExitStatus(ui::SaveDecodedDefinition(app, run.io, *output));
}

}  // namespace veltrane::cli
