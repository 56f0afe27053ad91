#include "cli/station_subcommand.h"

#include <signal.h>

#include <charconv>
#include <cstdio>
#include <ctime>

#include "cli/cli_support.h"
#include "cli/terminal_text.h"
#include "station/nirvex_port.h"
#include "station/station.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {
namespace {

const char* const kStationUsage =
    "usage: veltrane-cli station CONFIG.DAT --serial FIRST [--count N] [--log FILE.csv]\n"
    "                            [--expect-version TEXT] [--verify|--no-verify]\n"
    "  Programs every keyboard that is plugged in with CONFIG.DAT, several at once,\n"
    "  each with the next serial number: FIRST's trailing digits count up with their\n"
    "  width kept (SN000123, SN000124). Each keyboard is read back and compared\n"
    "  (unless --no-verify) and gets one row in the log (default station.csv):\n"
    "  time, identity, version text, serial, PASS or FAIL, reason, seconds.\n"
    "  Serials logged as PASS are never handed out again: a restart goes on.\n"
    "  A keyboard is programmed once per plug-in. Keyboards whose version text\n"
    "  differs from TEXT (default: the first keyboard's) are refused and logged.\n"
    "  --count N ends the run after N keyboards; Ctrl-C stops taking keyboards and\n"
    "  lets the running downloads finish. Exit status 0 only when every keyboard\n"
    "  passed.\n";

constexpr const char* kDefaultLog = "station.csv";
constexpr long kScanMilliseconds = 250;

// One line on stderr per keyboard state change, and the summary at the end.
class StderrStation final : public station::StationObserver {
 public:
  void KeyboardAppeared(const station::KeyboardView& k) override {
    Line(k, "plugged in, \"" + EscapeControls(k.versionText) + "\"");
  }
  void StateChanged(const station::KeyboardView& k) override {
    Line(k, std::string(station::PhaseName(k.phase)) + " " + k.serial);
  }
  void Result(const station::KeyboardView& k) override {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", k.seconds);
    std::string text = std::string(station::PhaseName(k.phase));
    if (!k.serial.empty()) text += " " + k.serial;
    text += k.reason.empty() ? " in " + std::string(seconds) : ": " + EscapeControls(k.reason);
    Line(k, text);
  }
  void KeyboardRemoved(const station::KeyboardView& k) override { Line(k, "removed"); }
  void Notice(station::NoticeKind kind, const std::string& text) override {
    // The library tells a keyboard it may not open on stderr itself.
    if (kind != station::NoticeKind::AccessProblem) Say(EscapeControls(text));
  }
  void Finished(const station::StationSummary& summary) override {
    const station::StationCounts& c = summary.counts;
    std::string text = std::to_string(c.passed + c.failed) +
                       (c.passed + c.failed == 1 ? " keyboard: " : " keyboards: ") +
                       std::to_string(c.passed) + " passed, " + std::to_string(c.failed) +
                       " failed; next serial " +
                       (summary.nextSerial.empty() ? "none" : summary.nextSerial);
    if (summary.logFailed) text += "; rows are missing from the log";
    Say(text);
  }

 private:
  static void Say(const std::string& text) {
    std::fprintf(stderr, "station: %s\n", text.c_str());
    std::fflush(stderr);
  }
  static void Line(const station::KeyboardView& k, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", EscapeControls(k.path).c_str(), text.c_str());
    std::fflush(stderr);
  }
};

struct StationArguments {
  std::string config;
  std::string serial;
  int count = 0;
  std::string log = kDefaultLog;
  std::string expectVersion;
  bool verify = true;
};

// False with the usage error told.
bool ReadArguments(const Arguments& args, StationArguments& out, int& status) {
  const auto refuse = [&](const std::string& error) {
    status = UsageError(kStationUsage, error);
    return false;
  };
  out.config = args.positional[0];
  const auto serial = args.Option("--serial");
  if (!serial) return refuse("--serial FIRST is required");
  out.serial = *serial;
  if (const auto count = args.Option("--count")) {
    const auto [end, error] =
        std::from_chars(count->data(), count->data() + count->size(), out.count);
    if (error != std::errc{} || end != count->data() + count->size() || out.count < 1)
      return refuse("--count takes a number of keyboards, 1 or more, not \"" + *count + "\"");
  }
  if (args.Flag("--verify") && args.Flag("--no-verify"))
    return refuse("--verify and --no-verify contradict each other");
  out.verify = !args.Flag("--no-verify");
  out.log = args.Option("--log").value_or(kDefaultLog);
  out.expectVersion = args.Option("--expect-version").value_or("");
  return true;
}

// Scans until the station has finished; a signal stops it.
void RunUntilFinished(station::Station& station, const sigset_t& signals) {
  const timespec pause{0, kScanMilliseconds * 1000000};
  bool stopped = false;
  while (!station.Finished()) {
    station.Scan();
    const int signal = ::sigtimedwait(&signals, nullptr, &pause);
    if (signal != SIGINT && signal != SIGTERM) continue;
    // A half-written keyboard is worse than a wait: a second signal does not cut it short.
    if (stopped) std::fputs("station: still waiting for the running keyboards\n", stderr);
    station.Stop(signal == SIGINT ? "interrupted (Ctrl-C)" : "terminated");
    stopped = true;
  }
}

}  // namespace

int RunStation(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args =
      ParseArguments(argc, argv, 2, {"--serial", "--count", "--log", "--expect-version"}, {},
                     {"--verify", "--no-verify"});
  if (!ParseOrHelp(args, kStationUsage, 1, status)) return status;
  StationArguments given;
  if (!ReadArguments(args, given, status)) return status;

  Run run;
  if (!ui::LoadSettingsFile(run.app, run.io, given.config)) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::Program, ui::PackStringsThatFit(run.app))) return kExitFailed;
  station::StationSetup setup{run.app.doc.def,     given.serial, given.count, given.log,
                              given.expectVersion, given.verify, &run.log};

  // Signals wait for the main thread: the workers it starts inherit the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  station::NirvexPort port;
  StderrStation progress;
  station::Station station(std::move(setup), port, progress);
  const station::StartResult started = station.Start();
  if (!started.ok) {
    if (started.usage) return UsageError(kStationUsage, started.reason);
    std::fprintf(stderr, "veltrane-cli: %s\n", started.reason.c_str());
    return kExitFailed;
  }
  std::fprintf(stderr,
               "station: programming %s from serial %s on, log %s; waiting for keyboards "
               "(Ctrl-C stops)\n",
               given.config.c_str(), station.Summary().nextSerial.c_str(), given.log.c_str());
  RunUntilFinished(station, signals);
  const station::StationSummary summary = station.Summary();
  return summary.counts.failed == 0 && !summary.logFailed ? kExitOk : kExitFailed;
}

}  // namespace veltrane::cli
