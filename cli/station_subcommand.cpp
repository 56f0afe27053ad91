// SPDX-License-Identifier: MIT
#include "cli/station_subcommand.h"

#include <signal.h>

#include <charconv>
#include <cstdio>
#include <ctime>

#include "cli/cli_support.h"
#include "cli/station_record.h"
#include "cli/terminal_text.h"
#include "station/nirvex_port.h"
#include "station/station.h"
#include "station/store/open_store.h"
#include "ui/app/file_commands.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {
namespace {

const char* const kStationUsage =
    "usage: veltrane-cli station CONFIG.DAT --serial FIRST [--count N] [--db STORE]\n"
    "                            [--log FILE.csv] [--station NAME] [--expect-version TEXT]\n"
    "                            [--verify|--no-verify] [--reprogram WHY]\n"
    "       veltrane-cli station --release SERIAL [--db STORE]\n"
    "  Programs every keyboard that is plugged in with CONFIG.DAT, several at once,\n"
    "  each with the next serial number: FIRST's trailing digits count up with their\n"
    "  width kept (SN000123, SN000124). The store (default station.sqlite beside the\n"
    "  log; postgresql://HOST/DB for a line of stations) gives each serial once: it is\n"
    "  reserved before its keyboard is written, so a crash leaves a gap, never a\n"
    "  duplicate. Each keyboard is read back and compared (unless --no-verify) and\n"
    "  gets one row in the log (default station.csv), a view of the store:\n"
    "  time, identity, version text, serial, PASS or FAIL, reason, seconds, station.\n"
    "  A keyboard is programmed once: one that holds this definition and a serial the\n"
    "  store records as passed is skipped, also after a restart (--reprogram WHY gives\n"
    "  it a new serial and records why). A keyboard another program holds is left\n"
    "  until it is free. Keyboards whose version text differs from TEXT (default: the\n"
    "  first keyboard's) are refused and recorded. --count N ends the run after N\n"
    "  keyboards; Ctrl-C stops taking keyboards and lets the running downloads\n"
    "  finish. --release SERIAL gives up a reservation that no keyboard holds (one\n"
    "  a crashed station left). Exit status 0 only when every keyboard plugged in\n"
    "  passed or was skipped as programmed already, and every result is in the store.\n";

constexpr const char* kDefaultLog = "station.csv";
constexpr const char* kDefaultStore = "station.sqlite";
constexpr long kScanMilliseconds = 250;

// One line on stderr per keyboard state change, and the summary at the end.
class StderrStation final : public station::StationObserver {
 public:
  void KeyboardAppeared(const station::KeyboardView& k) override {
    Line(k, "plugged in, \"" + EscapeControls(k.versionText) + "\"");
  }
  void StateChanged(const station::KeyboardView& k) override {
    std::string text = station::PhaseName(k.phase);
    if (!k.serial.empty()) text += " " + k.serial;
    if (k.phase == station::Phase::Busy || k.phase == station::Phase::Waiting)
      text += k.reason.empty() ? "" : ": " + EscapeControls(k.reason);
    Line(k, text);
  }
  void Result(const station::KeyboardView& k) override {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", k.seconds);
    std::string text = std::string(station::PhaseName(k.phase));
    if (k.phase == station::Phase::Skipped) return Line(k, "skipped: " + k.reason);
    if (!k.serial.empty()) text += " " + k.serial;
    text += k.reason.empty() || k.phase == station::Phase::Passed ? " in " + std::string(seconds)
                                                                  : ": " + EscapeControls(k.reason);
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
                       " failed, " + std::to_string(c.skipped) +
                       " skipped as programmed already; next serial " +
                       (summary.nextSerial.empty() ? "none" : summary.nextSerial);
    if (summary.unhandled > 0)
      text += "; " + std::to_string(summary.unhandled) + " plugged in but not programmed";
    if (summary.rowsNotLogged > 0)
      text += "; " + std::to_string(summary.rowsNotLogged) +
              " rows are missing from the log (veltrane-cli station-log writes it again)";
    for (const std::string& line : summary.uncommitted) Say(EscapeControls(line));
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
  std::string db;
  std::string name;
  std::string expectVersion;
  std::string reprogram;
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
  out.db = args.Option("--db").value_or(StoreBeside(out.log, kDefaultStore));
  out.name = args.Option("--station").value_or("");
  out.expectVersion = args.Option("--expect-version").value_or("");
  out.reprogram = args.Option("--reprogram").value_or("");
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

int Program(const Arguments& args) {
  int status = kExitOk;
  if (!ParseOrHelp(args, kStationUsage, 1, status)) return status;
  StationArguments given;
  if (!ReadArguments(args, given, status)) return status;

  Run run;
  if (!ui::LoadSettingsFile(run.app, run.io, given.config)) return kExitFailed;
  if (!ui::Told(run.io, ui::Command::Program, ui::PackStringsThatFit(run.app))) return kExitFailed;
  station::StationSetup setup;
  setup.definition = run.app.doc.def;
  setup.firstSerial = given.serial;
  setup.count = given.count;
  setup.logPath = given.log;
  setup.expectVersion = given.expectVersion;
  setup.verify = given.verify;
  setup.reprogram = given.reprogram;
  setup.stationName = given.name;
  setup.buildLog = &run.log;

  std::string error;
  const std::unique_ptr<station::StationStore> store = station::store::OpenStore(given.db, error);
  if (!store) {
    std::fprintf(stderr, "veltrane-cli: the store cannot be used: %s\n",
                 EscapeControls(error).c_str());
    return kExitFailed;
  }

  // Signals wait for the main thread: the workers it starts inherit the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  station::NirvexPort port;
  StderrStation progress;
  station::Station station(std::move(setup), port, *store, progress);
  const station::StartResult started = station.Start();
  if (!started.ok) {
    if (started.usage) return UsageError(kStationUsage, started.reason);
    std::fprintf(stderr, "veltrane-cli: %s\n", EscapeControls(started.reason).c_str());
    return kExitFailed;
  }
  std::fprintf(stderr,
               "station: programming %s from serial %s on, store %s, log %s; waiting for "
               "keyboards (Ctrl-C stops)\n",
               given.config.c_str(), station.Summary().nextSerial.c_str(),
               EscapeControls(store->Name()).c_str(), given.log.c_str());
  RunUntilFinished(station, signals);
  return station::Succeeded(station.Summary()) ? kExitOk : kExitFailed;
}

}  // namespace

int RunStation(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2,
                                        {"--serial", "--count", "--log", "--db", "--station",
                                         "--expect-version", "--reprogram", "--release"},
                                        {}, {"--verify", "--no-verify"});
  if (const auto serial = args.Option("--release")) {
    int status = kExitOk;
    if (!ParseOrHelp(args, kStationUsage, 0, status)) return status;
    return ReleaseReservation(*serial, args.Option("--db").value_or(kDefaultStore));
  }
  return Program(args);
}

}  // namespace veltrane::cli
