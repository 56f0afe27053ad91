// SPDX-License-Identifier: MIT
#include "cli/file_subcommands.h"

#include <cstdio>

#include "cli/cli_support.h"
#include "cli/command_files.h"
#include "cli/standard_streams.h"
#include "persist/config_file.h"
#include "persist/text_report.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {

const char* const kReportUsage =
    "usage: veltrane-cli report CONFIG.DAT [-o FILE]\n"
    "  Loads CONFIG.DAT and writes its text report to FILE\n"
    "  (default: Saved.txt beside CONFIG.DAT; '-': standard output).\n"
    "  CONFIG.DAT '-' is read from standard input.\n";

const char* const kConvertUsage =
    "usage: veltrane-cli convert CONFIG.DAT OUT.DAT\n"
    "  Loads CONFIG.DAT (any generation) and saves it as a current OUT.DAT.\n"
    "  Either may be '-': standard input, standard output.\n";

int RunReport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}});
  if (args.help) return PrintHelp(kReportUsage);
  if (!args.error.empty()) return UsageError(kReportUsage, args.error);
  if (args.positional.size() != 1) return UsageError(kReportUsage, "expected one CONFIG.DAT");

  Run run;
  const std::string& input = args.positional[0];
  if (!LoadConfigurationArgument(run, input)) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::PackStringsThatFit(run.app)))
    return kExitFailed;
  const std::string path = args.Option("--output").value_or(ui::DefaultReportPath(run.app));
  if (WouldReplaceInput(run, input, path)) return kExitFailed;
  return WriteOutputFile(run, path, persist::FormatTextReport(run.app.doc.def)) ? kExitOk
                                                                                : kExitFailed;
}

int RunConvert(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (args.help) return PrintHelp(kConvertUsage);
  if (!args.error.empty()) return UsageError(kConvertUsage, args.error);
  if (args.positional.size() != 2) return UsageError(kConvertUsage, "expected CONFIG.DAT OUT.DAT");

  const std::string& output = args.positional[1];
  if (IsStandardStream(output) && RefuseBinaryToTerminal("a configuration file"))
    return kExitFailed;
  Run run;
  if (!LoadConfigurationArgument(run, args.positional[0])) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::PackStringsThatFit(run.app)))
    return kExitFailed;
  // Written to standard output, the definition keeps the name it had.
  if (IsStandardStream(output))
    return WriteOutputFile(run, output,
                           persist::EncodeConfigFile(run.app.doc.def, run.app.doc.header))
               ? kExitOk
               : kExitFailed;
  run.app.doc.def.settings.ConfigFileName = ui::FileNameOf(output);
  return ExitStatus(ui::WriteConfiguration(run.app, run.io, output, ui::WriteFailure::Tell));
}

}  // namespace veltrane::cli
