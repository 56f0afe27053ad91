#include "cli/keyboard_subcommands.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "cli/cli_support.h"
#include "ui/file_commands.h"
#include "ui/keyboard_commands.h"
#include "ui/nirvex_link.h"

namespace veltrane::cli {
namespace {

const char* const kDetectUsage =
    "usage: veltrane-cli detect\n"
    "  Looks for the keyboard and prints its version text and firmware version.\n";
const char* const kProgramUsage =
    "usage: veltrane-cli program CONFIG.DAT\n"
    "  Loads CONFIG.DAT, builds its EEPROM image and downloads it to the keyboard.\n";
const char* const kReadUsage =
    "usage: veltrane-cli read -o OUT.DAT [--copy FILE]\n"
    "  Reads the keyboard's EEPROM back, decodes it and saves it as OUT.DAT;\n"
    "  with --copy also writes the raw 8192-byte image to FILE.\n";
const char* const kMatrixUsage =
    "usage: veltrane-cli matrix on|off\n"
    "  Switches the keyboard's key matrix mode.\n";

void ReportAccessProblem(ui::KeyboardLink& link) {
  const std::string problem = link.AccessProblem();
  if (!problem.empty()) std::fprintf(stderr, "veltrane-cli: %s\n", problem.c_str());
}

// Draws the transfer's progress on stderr when it is a terminal.
void ShowProgressOnTerminal(ui::AppState& app) {
  if (::isatty(STDERR_FILENO) == 0) return;
  app.progress.changed = [](const ui::ProgressBar& bar) {
    const int span = bar.maximum > bar.minimum ? bar.maximum - bar.minimum : 1;
    const int percent = (bar.position - bar.minimum) * 100 / span;
    const int filled = percent / 2;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled,
                 "##################################################", 50 - filled, "", percent);
    if (bar.position >= bar.maximum) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

bool ParseOrHelp(const Arguments& args, const char* usage, std::size_t positional, int& status) {
  if (args.help) {
    std::fputs(usage, stdout);
    status = kExitOk;
    return false;
  }
  if (!args.error.empty()) {
    status = UsageError(usage, args.error);
    return false;
  }
  if (args.positional.size() != positional) {
    status = UsageError(usage, "wrong number of arguments");
    return false;
  }
  return true;
}

}  // namespace

int RunDetect(int argc, char** argv) {
  int status = kExitOk;
  if (!ParseOrHelp(ParseArguments(argc, argv, 2, {}), kDetectUsage, 0, status)) return status;
  Run run;
  ui::NirvexLink link(run.messages);
  ui::DetectionStep(run.app, link);
  std::printf("Version text: %s\nFirmware version: %d\n", run.app.versionText.c_str(),
              run.app.firmwareVersion);
  ReportAccessProblem(link);
  return run.app.firmwareVersion != 0 ? kExitOk : kExitFailed;
}

int RunProgram(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (!ParseOrHelp(args, kProgramUsage, 1, status)) return status;
  Run run;
  ui::AppState& app = run.app;
  const bool loaded =
      ui::LoadConfiguration(app, args.positional[0]) == persist::LoadOutcome::Loaded;
  ui::ShowLoadedFileFields(app);
  if (!loaded) return kExitFailed;
  ui::NirvexLink link(run.messages);
  ShowProgressOnTerminal(app);
  const ui::TransferOutcome outcome = ui::ProgramKeyboard(app, link);
  if (outcome == ui::TransferOutcome::NoKeyboard) ReportAccessProblem(link);
  return outcome == ui::TransferOutcome::Done ? kExitOk : kExitFailed;
}

int RunRead(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--output", "--copy"}, {{"-o", "--output"}});
  if (!ParseOrHelp(args, kReadUsage, 0, status)) return status;
  const auto output = args.Option("--output");
  if (!output) return UsageError(kReadUsage, "-o OUT.DAT is required");
  Run run;
  ui::NirvexLink link(run.messages);
  ShowProgressOnTerminal(run.app);
  const ui::TransferOutcome outcome = ui::ReadKeyboard(run.app, link, args.Option("--copy"));
  if (outcome == ui::TransferOutcome::NoKeyboard) ReportAccessProblem(link);
  if (outcome != ui::TransferOutcome::Done) return kExitFailed;
  return SaveDecodedDefinition(run.app, *output) ? kExitOk : kExitFailed;
}

int RunMatrix(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args = ParseArguments(argc, argv, 2, {});
  if (!ParseOrHelp(args, kMatrixUsage, 1, status)) return status;
  const std::string& state = args.positional[0];
  if (state != "on" && state != "off") return UsageError(kMatrixUsage, "say on or off");
  Run run;
  ui::AppState& app = run.app;
  ui::NirvexLink link(run.messages);
  ui::DetectionStep(app, link);
  if (!ui::SupportsMatrixSwitch(app.versionText)) {
    run.messages.Show(
        model::FormatText("The keyboard \"%s\" has no matrix switch", app.versionText.c_str()),
        "Enable matrix", model::MessageIcon::Error);
    ReportAccessProblem(link);
    return kExitFailed;
  }
  app.options.matrixEnabled = state != "on";  // the command flips it to the wanted state
  ui::EnableMatrix(app, link);
  return kExitOk;
}

}  // namespace veltrane::cli
