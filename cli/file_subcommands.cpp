#include "cli/file_subcommands.h"

#include <cstdio>

#include "cli/cli_support.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {

const char* const kReportUsage =
    "usage: veltrane-cli report CONFIG.DAT [-o FILE]\n"
    "  Loads CONFIG.DAT and writes its text report to FILE\n"
    "  (default: Saved.txt beside CONFIG.DAT).\n";

const char* const kConvertUsage =
    "usage: veltrane-cli convert CONFIG.DAT OUT.DAT\n"
    "  Loads CONFIG.DAT (any generation) and saves it as a current OUT.DAT.\n";

int RunReport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}});
  if (args.help) {
    std::fputs(kReportUsage, stdout);
    return kExitOk;
  }
  if (!args.error.empty()) return UsageError(kReportUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kReportUsage, "expected one CONFIG.DAT");

  Run run;
  if (!ui::LoadSettingsFile(run.app, run.io, args.positional[0])) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::PackStringsThatFit(run.app)))
    return kExitFailed;
  const std::string path = args.Option("--output").value_or(ui::DefaultReportPath(run.app));
  if (ui::WouldReplaceInput(run.io, args.positional[0], path)) return kExitFailed;
  return ExitStatus(ui::Told(run.io, ui::Command::WriteFile,
                             ui::WrittenFile(ui::WriteReport(run.app, path), path)));
}

int RunConvert(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (args.help) {
    std::fputs(kConvertUsage, stdout);
    return kExitOk;
  }
  if (!args.error.empty()) return UsageError(kConvertUsage, args.error);
  if (args.positional.size() != 2) return UsageError(kConvertUsage, "expected CONFIG.DAT OUT.DAT");

  Run run;
  if (!ui::LoadSettingsFile(run.app, run.io, args.positional[0])) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::PackStringsThatFit(run.app)))
    return kExitFailed;
  run.app.doc.def.settings.ConfigFileName = ui::FileNameOf(args.positional[1]);
  return ExitStatus(
      ui::WriteConfiguration(run.app, run.io, args.positional[1], ui::WriteFailure::Tell));
}

}  // namespace veltrane::cli
