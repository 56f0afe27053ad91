// SPDX-License-Identifier: MIT
// veltrane-cli station on simulated keyboards that come and go as files: the
// runs, their log and serials, usage errors, and Ctrl-C with a download running.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

#include "cli/cli_fixture.h"
#include "fileaccess/file_lock.h"

namespace veltrane {
namespace {

class CliStationTest : public CliTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.File("line"));
    WriteConfig("Board.DAT", 20);
  }
  std::string Device(const std::string& options = "") {
    return "NIRVEX_DEVICE='simdir:" + dir.File("line") + ",time=virtual" + options + "'";
  }
  std::string Plug(const std::string& name, const std::string& own = "") {
    std::ofstream(dir.File("line/" + name)).flush();
    if (!own.empty()) std::ofstream(dir.File("line/" + name + ".options")) << own;
    return dir.File("line/" + name);
  }
  // The serial in a keyboard's memory (its file holds 8 bytes before the memory).
  std::string SerialIn(const std::string& name) {
    const std::string file = Read("line/" + name);
    if (file.size() < 8 + 0x650) return "";
    return std::string(file.c_str() + 8 + 0x630);
  }
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::istringstream in(Read("station.csv"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

TEST_F(CliStationTest, ProgramsEveryKeyboardWithItsSerialAndARestartGoesOn) {
  Plug("k1.sim");
  Plug("k2.sim");
  Plug("k3.sim", "drop=5");  // a write acknowledged but not stored
  const Result first = Cli("station Board.DAT --serial SN000123 --count 3", Device());
  EXPECT_EQ(first.status, 1) << first.output;  // one failed
  EXPECT_EQ(SerialIn("k1.sim"), "SN000123");
  EXPECT_EQ(SerialIn("k2.sim"), "SN000124");
  EXPECT_NE(first.output.find("k3.sim: FAIL SN000125: verify: 4 bytes differ; first at 0x0010"),
            std::string::npos)
      << first.output;
  EXPECT_NE(first.output.find("station: 3 keyboards: 2 passed, 1 failed, 0 skipped as programmed "
                              "already; next serial SN000125"),
            std::string::npos);
  ASSERT_EQ(LogLines().size(), 4u);
  EXPECT_EQ(LogLines()[0], "time,identity,version,serial,result,reason,seconds,station");

  // A restart with k1 still plugged in skips it; the failed serial is given first.
  std::filesystem::remove(dir.File("line/k2.sim"));
  std::filesystem::remove(dir.File("line/k3.sim"));
  std::filesystem::remove(dir.File("line/k3.sim.options"));
  Plug("k4.sim");
  Plug("k5.sim");
  const Result second = Cli("station Board.DAT --serial SN000123 --count 2", Device());
  EXPECT_EQ(second.status, 0) << second.output;
  EXPECT_NE(second.output.find("k1.sim: skipped: already programmed: SN000123"), std::string::npos)
      << second.output;
  EXPECT_EQ(SerialIn("k4.sim"), "SN000125");
  EXPECT_EQ(SerialIn("k5.sim"), "SN000126");
  EXPECT_EQ(LogLines().size(), 6u);

  // The whole record, from the store.
  const Result record = Cli("station-log --db station.sqlite -o record.csv");
  EXPECT_EQ(record.status, 0) << record.output;
  const std::string text = Read("record.csv");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
  EXPECT_NE(text.find(",SN000125,FAIL,verify: 4 bytes differ"), std::string::npos) << text;
  EXPECT_EQ(Cli("station-log --db missing.sqlite").status, 1);
}

TEST_F(CliStationTest, SimdirOnAMissingDirectoryIsAnErrorAtStart) {
  const Result result =
      Cli("station Board.DAT --serial A1", "NIRVEX_DEVICE='simdir:" + dir.File("nowhere") + "'");
  EXPECT_EQ(result.status, 2) << result.output;
  EXPECT_NE(result.output.find("NIRVEX_DEVICE: the directory of the simulated keyboards " +
                               dir.File("nowhere") + ": No such file or directory"),
            std::string::npos)
      << result.output;
}

TEST_F(CliStationTest, UsageErrorsSayWhatIsWrongAndTouchNoKeyboard) {
  Plug("k1.sim");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--serial SN1 --count 0", "--count takes a number of keyboards, 1 or more, not \"0\""},
      {"--serial SN1 --count many", "not \"many\""},
      {"--serial SN", "must end in digits"},
      {"--serial " + std::string(32, '1'), "is longer than 31 characters"},
      {"--count 2", "--serial FIRST is required"},
      {"--serial SN1 --log no/such/dir/log.csv --db s.sqlite",
       "no/such/dir/log.csv: No such file or directory"},
      {"--serial SN1 --verify --no-verify", "contradict"},
      {"--serial SN1 --expect-version 527", "does not start with V and four digits"},
  };
  for (const auto& [arguments, message] : cases) {
    const Result result = Cli("station Board.DAT " + arguments, Device());
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find(message), std::string::npos) << arguments << "\n" << result.output;
  }
  EXPECT_EQ(Read("line/k1.sim"), "");  // still erased: nothing was programmed
  EXPECT_EQ(Cli("station Missing.DAT --serial SN1", Device()).status, 1);
  const Result noStore = Cli("station Board.DAT --serial SN1 --db no/dir/s.sqlite", Device());
  EXPECT_EQ(noStore.status, 1);
  EXPECT_NE(noStore.output.find("the store cannot be used: no/dir/s.sqlite: unable to open"),
            std::string::npos)
      << noStore.output;
  EXPECT_EQ(Cli("station --help").status, 0);
}

// The station as a process whose stderr the test reads as it comes.
class StationProcess {
 public:
  StationProcess(const std::string& directory, const std::string& device,
                 const std::string& arguments) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], STDERR_FILENO);
      ::close(fds[0]);
      const std::string command = "cd '" + directory + "' && exec env " + device + " '" +
                                  VELTRANE_CLI "' station " + arguments + " >/dev/null";
      ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    out_ = fds[0];
  }
  ~StationProcess() {
    if (out_ >= 0) ::close(out_);
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  // Reads stderr until it holds `text`; false after 30 s without it (a hang).
  bool WaitForText(const std::string& text) {
    while (output.find(text) == std::string::npos) {
      pollfd ready{out_, POLLIN, 0};
      if (::poll(&ready, 1, 30000) <= 0) return false;
      char buffer[512];
      const ssize_t n = ::read(out_, buffer, sizeof buffer);
      if (n <= 0) return false;
      output.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }
  void Signal(int signal) { ::kill(pid_, signal); }
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string output;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool waited_ = false;
};

TEST_F(CliStationTest, CtrlCLetsTheRunningDownloadFinishAndTakesNoNewKeyboard) {
  // A paced keyboard in real time: its download takes 12 s.
  Plug("k1.sim", "product=V0412X,time=real");
  StationProcess station(dir.path(), Device(), "Board.DAT --serial A9");
  ASSERT_TRUE(station.WaitForText("k1.sim: programming A9")) << station.output;
  station.Signal(SIGINT);
  ASSERT_TRUE(station.WaitForText("Stopping: interrupted (Ctrl-C); 1 running keyboard"))
      << station.output;
  Plug("k2.sim");
  EXPECT_EQ(station.Wait(), 0);
  ASSERT_TRUE(station.WaitForText("station: 1 keyboard: 1 passed, 0 failed")) << station.output;
  EXPECT_EQ(SerialIn("k1.sim"), "A9");
  EXPECT_EQ(Read("line/k2.sim"), "");
  EXPECT_EQ(station.output.find("k2.sim: programming"), std::string::npos);
  EXPECT_EQ(LogLines().size(), 2u);
}

TEST_F(CliStationTest, AKeyboardAnotherProgramHoldsIsBusyUntilItIsFree) {
  const std::string k1 = Plug("k1.sim");
  fileaccess::FileLock held;  // as another station's, on the keyboard's lock
  ASSERT_TRUE(held.Acquire(k1 + ".lock"));
  StationProcess station(dir.path(), Device(), "Board.DAT --serial A9 --count 1");
  ASSERT_TRUE(station.WaitForText("k1.sim: busy")) << station.output;
  EXPECT_EQ(Read("line/k1.sim"), "");
  held.Release();
  EXPECT_EQ(station.Wait(), 0) << station.output;
  EXPECT_EQ(SerialIn("k1.sim"), "A9");
}

TEST_F(CliStationTest, AKillLeavesAReservationThatIsListedNeverGivenAgainAndReleasable) {
  Plug("k1.sim", "product=V0412X,time=real");  // a 12 s download to kill in the middle of
  {
    StationProcess killed(dir.path(), Device(), "Board.DAT --serial A9");
    ASSERT_TRUE(killed.WaitForText("k1.sim: programming A9")) << killed.output;
    killed.Signal(SIGKILL);
    EXPECT_EQ(killed.Wait(), -1);
  }
  std::filesystem::remove(dir.File("line/k1.sim.options"));
  const Result restarted = Cli("station Board.DAT --serial A9 --count 1", Device());
  EXPECT_EQ(restarted.status, 0) << restarted.output;
  EXPECT_NE(restarted.output.find("station: unresolved reservation: A9 for "), std::string::npos)
      << restarted.output;
  EXPECT_EQ(SerialIn("k1.sim"), "A10");  // a gap, not a duplicate

  const Result held = Cli("station --release A10", Device());
  EXPECT_EQ(held.status, 1);
  EXPECT_NE(held.output.find("A10 is not reserved in station.sqlite: it is passed"),
            std::string::npos)
      << held.output;
  const Result released = Cli("station --release A9", Device());
  EXPECT_EQ(released.status, 0) << released.output;
  EXPECT_EQ(Cli("station --release A9", Device()).status, 1);  // once
  const Result record = Cli("station-log");
  EXPECT_NE(record.output.find(",A9,RELEASED,released by the operator on "), std::string::npos)
      << record.output;
}

TEST_F(CliStationTest, TwoStationsOnOneDirectoryAndOneStoreProgramEachKeyboardOnce) {
  for (int k = 1; k <= 6; ++k) Plug("k" + std::to_string(k) + ".sim");
  StationProcess a(dir.path(), Device(), "Board.DAT --serial A1 --station a --log a.csv");
  StationProcess b(dir.path(), Device(), "Board.DAT --serial A1 --station b --log b.csv");
  // Each takes its signals from here on; before, SIGTERM ends it as any program.
  ASSERT_TRUE(a.WaitForText("waiting for keyboards")) << a.output;
  ASSERT_TRUE(b.WaitForText("waiting for keyboards")) << b.output;
  const auto passed = [&] {  // rows counted, not lines: an early look may find no store yet
    const std::string record = Cli("station-log").output;
    std::size_t rows = 0;
    for (std::size_t at = record.find(",PASS"); at != std::string::npos;
         at = record.find(",PASS", at + 1))
      ++rows;
    return rows;
  };
  for (int wait = 0; wait < 300 && passed() < 6; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(600));  // both have looked at all six
  a.Signal(SIGTERM);
  b.Signal(SIGTERM);
  EXPECT_EQ(a.Wait(), 0) << a.output;
  EXPECT_EQ(b.Wait(), 0) << b.output;
  std::set<std::string> serials;
  for (int k = 1; k <= 6; ++k) serials.insert(SerialIn("k" + std::to_string(k) + ".sim"));
  EXPECT_EQ(serials, (std::set<std::string>{"A1", "A2", "A3", "A4", "A5", "A6"}));
  const std::string record = Cli("station-log").output;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 7) << record;  // one row each
}

}  // namespace
}  // namespace veltrane
