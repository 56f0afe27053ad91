// SPDX-License-Identifier: MIT
// The station on fake keyboards: serials, the log, one download per plug-in,
// faults that stay with their keyboard, stopping with downloads running.
#include "station/station.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <thread>

#include "tests/station/station_fixture.h"

namespace veltrane::station {
namespace {

using testing::StationTest;

TEST_F(StationTest, EachKeyboardGetsTheNextSerialInItsMemoryAndOneRow) {
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  Station& s = Start(Setup(3));
  EXPECT_EQ(events.nextSerial, "SN0001");
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb1"), "SN0001");
  EXPECT_EQ(SerialIn("kb2"), "SN0002");
  EXPECT_EQ(SerialIn("kb3"), "SN0003");
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 8u);
    EXPECT_EQ(row[7], "line-1");
    EXPECT_EQ(row[2], "V0527X Fake keyboard");
    EXPECT_EQ(row[4], "PASS");
    EXPECT_EQ(row[5], "");
    EXPECT_EQ(row[6].find('.'), row[6].size() - 3) << row[6];
  }
  EXPECT_EQ(RowOf("kb1")[1], "kb1 port 1-1");  // rows in the order the keyboards ended
  const StationSummary summary = s.Summary();
  EXPECT_EQ(summary.counts.passed, 3);
  EXPECT_EQ(summary.nextSerial, "SN0004");
  EXPECT_EQ(summary.stopReason, "3 keyboards handled");
  EXPECT_EQ(events.Matching("programming kb2"), std::vector<std::string>{"programming kb2 SN0002"});
  EXPECT_EQ(events.Matching("verifying kb2"), std::vector<std::string>{"verifying kb2 SN0002"});
  EXPECT_EQ(events.lastPercent, 100);
  EXPECT_EQ(events.Lines().back(), "finished");
  EXPECT_TRUE(Succeeded(summary));
  const std::vector<StoreRow> stored = store.All();
  ASSERT_EQ(stored.size(), 3u);
  for (const StoreRow& row : stored) {
    EXPECT_EQ(row.state, SerialState::Passed);
    EXPECT_EQ(row.run, "test/1/1");
    EXPECT_EQ(row.imageDigest.size(), 64u);
    EXPECT_EQ(port.Locks(row.identity.substr(0, 3)), 0) << "the lock was given back";
  }
}

// The first keyboard's look for the next serial is slow: the second keyboard
// reserves meanwhile, and the first's answer must not replace the second's.
TEST_F(StationTest, TheNextSerialShownFollowsTheLastReservation) {
  port.Plug("kb1");
  port.Plug("kb2");
  std::atomic<bool> slowed{false};
  store.afterNextFree = [&] {
    if (store.All().size() != 1 || slowed.exchange(true)) return;
    for (int wait = 0; wait < 2000 && store.All().size() < 2; ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };
  Station& s = Start(Setup(2));
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(s.Summary().nextSerial, "SN0003");
  EXPECT_EQ(events.nextSerial, "SN0003");
}

TEST_F(StationTest, AKeyboardIsProgrammedOncePerPlugIn) {
  port.Plug("kb1");
  Station& s = Start(Setup());
  s.Scan();
  events.WaitFor("counts 1 passed 0 failed 0 running");
  for (int scan = 0; scan < 3; ++scan) s.Scan();
  EXPECT_EQ(port.Downloads("kb1"), 1);
  EXPECT_EQ(RowOf("kb1")[6], "1.50");
  port.Unplug("kb1");
  s.Scan();
  EXPECT_EQ(events.Matching("removed"), std::vector<std::string>{"removed kb1"});
  port.Plug("kb1");
  s.Scan();
  events.WaitFor("PASS kb1", 2);
  EXPECT_EQ(SerialIn("kb1"), "SN0002");  // programmed again, as another keyboard
  EXPECT_FALSE(s.Finished());            // no count: runs until stopped
  s.Stop("stopped by the test");
  s.WaitFinished();
  EXPECT_EQ(s.Summary().stopReason, "stopped by the test");
}

TEST_F(StationTest, AFailureStaysWithItsKeyboardAndItsSerialComesBack) {
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  port.SetFault("kb2", true, false);
  port.SetFault("kb3", false, true);
  Station& s = Start(Setup(4));
  s.Scan();
  events.WaitFor("FAIL", 2);
  events.WaitFor("PASS kb1");
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  // kb2's serial may be free again before kb3 reserves one: the lowest free is taken.
  ASSERT_EQ(events.Matching("FAIL kb2").size(), 1u);
  EXPECT_TRUE(events.Matching("FAIL kb2")[0].ends_with(
      " (programming: Setfeature returned: 5 Input/output error)"));
  ASSERT_EQ(events.Matching("FAIL kb3").size(), 1u);
  EXPECT_TRUE(
      events.Matching("FAIL kb3")[0].ends_with(" (verify: 1 byte differs; first at 0x0010)"));
  // The next keyboard takes the lowest serial that never passed.
  port.Plug("kb4");
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb4"), "SN0002");
  EXPECT_EQ(s.Summary().counts.failed, 2);
  EXPECT_EQ(s.Summary().nextSerial, "SN0003");
}

TEST_F(StationTest, AKeyboardOfAnotherVersionIsRefusedLoggedAndNotProgrammed) {
  port.Plug("kb1", "V0527X first");
  port.Plug("kb2", "V0412X other");
  port.Plug("kb3", "Error 2");
  Station& s = Start(Setup(3));
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(port.Downloads("kb2") + port.Downloads("kb3"), 0);
  ASSERT_EQ(Rows().size(), 3u);
  for (const char* refused : {"kb2", "kb3"}) {
    EXPECT_EQ(RowOf(refused)[3], "");  // no serial spent on it
    EXPECT_EQ(RowOf(refused)[4], "FAIL");
  }
  EXPECT_EQ(RowOf("kb2")[5],
            "the version text \"V0412X other\" differs from the expected \"V0527X first\"");
  EXPECT_EQ(s.Summary().nextSerial, "SN0002");
}

TEST_F(StationTest, TheExpectedVersionCanBeGivenAndNoUsableKeyboardSetsIt) {
  port.Plug("kb1", "Error 2");
  port.Plug("kb2", "V0412X given");
  StationSetup setup = Setup(2);
  setup.expectVersion = "V0412X given";
  Station& s = Start(std::move(setup));
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb2"), "SN0001");
  EXPECT_EQ(events.Matching("FAIL kb1"),
            std::vector<std::string>{"FAIL kb1  (the version text \"Error 2\" differs from the "
                                     "expected \"V0412X given\")"});
  EXPECT_EQ(port.Memory("kb2")[0x670], 'V');  // the image carries the version it was built for
}

TEST_F(StationTest, StopTakesNoNewKeyboardAndLetsTheRunningDownloadFinish) {
  port.Plug("kb1");
  port.Hold("kb1");
  Station& s = Start(Setup());
  s.Scan();
  port.WaitUntilHeld();
  s.Stop("interrupted");
  EXPECT_EQ(
      events.Matching("notice"),
      std::vector<std::string>{"notice Stopping: interrupted; 1 running keyboard finishes first"});
  port.Plug("kb2");
  s.Scan();
  EXPECT_FALSE(s.Finished());
  port.Release();
  s.WaitFinished();
  EXPECT_EQ(port.Downloads("kb2"), 0);
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0][4], "PASS");
  EXPECT_EQ(events.Matching("appeared kb2").size(), 1u);
}

TEST_F(StationTest, AnObserverMayStopTheStationFromAnEvent) {
  port.Plug("kb1");
  Station& s = Start(Setup());
  events.onResult = [&] { s.Stop("the first result"); };
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(s.Summary().stopReason, "the first result");
  EXPECT_EQ(s.Start().reason, "the station has started already");
}

TEST_F(StationTest, AnUnplugInTheMiddleIsAFailureWithItsReason) {
  port.Plug("kb1");
  port.Hold("kb1");
  Station& s = Start(Setup(1));
  s.Scan();
  port.WaitUntilHeld();
  port.Unplug("kb1");
  s.Scan();  // seen gone while its download runs: kept until it ends
  EXPECT_TRUE(events.Matching("removed").empty());
  port.Release();
  s.WaitFinished();
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0][5], "programming: Setfeature returned: 19 No such device");
  EXPECT_EQ(s.Summary().nextSerial, "SN0001");  // it never passed
}

TEST_F(StationTest, ACountStartsNoMoreKeyboardsThanItNeeds) {
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  Station& s = Start(Setup(2));
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(port.Downloads("kb1") + port.Downloads("kb2"), 2);
  EXPECT_EQ(port.Downloads("kb3"), 0);
  EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(StationTest, ALogThatCannotBeWrittenIsOnlyANoticeTheStoreHasTheRecord) {
  port.Plug("kb1");
  Station& s = Start(Setup(2));
  const std::size_t headerOnly = veltrane::testing::ReadFileText(dir.File("log.csv")).size();
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit full = saved;
  full.rlim_cur = headerOnly;  // as a full disk: not one more byte
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
  s.Scan();
  events.WaitFor("PASS kb1");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  port.Plug("kb2");  // the station goes on, and the log takes rows again
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb2"), "SN0002");
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0][3], "SN0002");
  const auto notices = events.Matching("notice not in the log");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("but in the store: 2025-"), std::string::npos) << notices[0];
  EXPECT_EQ(s.Summary().rowsNotLogged, 1);
  EXPECT_TRUE(Succeeded(s.Summary()));
  EXPECT_EQ(store.All().size(), 2u);
}

TEST_F(StationTest, BadSetupsAreRefusedBeforeAnyKeyboardIsLookedAt) {
  port.Plug("kb1");
  const auto refused = [&](StationSetup setup) {
    Station s(std::move(setup), port, store, events, clock);
    const StartResult started = s.Start();
    EXPECT_FALSE(started.ok);
    s.Scan();
    return started;
  };
  StationSetup noDigits = Setup();
  noDigits.firstSerial = "SN";
  EXPECT_EQ(refused(noDigits).reason,
            "the first serial number \"SN\" must end in digits, which count up for each keyboard");
  StationSetup tooLong = Setup();
  tooLong.firstSerial = std::string(31, 'A') + "1";
  EXPECT_TRUE(refused(tooLong).usage);
  StationSetup wontFit = Setup(2);
  wontFit.firstSerial = std::string(30, 'A') + "9";
  EXPECT_NE(refused(wontFit).reason.find("longer than 31 characters"), std::string::npos);
  StationSetup noDirectory = Setup();
  noDirectory.logPath = dir.File("no/log.csv");
  EXPECT_EQ(refused(noDirectory).reason, dir.File("no/log.csv") + ": No such file or directory");
  std::ofstream(dir.File("other.csv")) << "not,a,station,log\n";
  StationSetup otherFile = Setup();
  otherFile.logPath = dir.File("other.csv");
  EXPECT_TRUE(refused(otherFile).usage);
  StationSetup badVersion = Setup();
  badVersion.expectVersion = "0527";
  EXPECT_TRUE(refused(badVersion).usage);
  EXPECT_EQ(port.Downloads("kb1"), 0);
  EXPECT_TRUE(events.Lines().empty());
}

TEST_F(StationTest, TwoStationsCannotShareOneLog) {
  Start(Setup());
  Station second(Setup(), port, store, events, clock);
  const StartResult started = second.Start();
  EXPECT_FALSE(started.ok);
  EXPECT_FALSE(started.usage);
  EXPECT_EQ(started.reason, dir.File("log.csv") + " is the log of a station that is running now");
}

TEST_F(StationTest, AnOldLogGoesIntoANewStoreSoARestartNeverHandsOutASerialThatPassed) {
  std::ofstream(dir.File("log.csv"))
      << kOldLogHeader << "\n"
      << "2025-01-01T10:00:00+00:00,kb1,V0527X,SN0001,PASS,,12.00\n"
      << "2025-01-01T10:00:20+00:00,kb2,V0527X,SN0002,FAIL,\"unplugged, early\",3.00\n"
      << "2025-01-01T10:00:40+00:00,kb3,V0527X,SN0003,PASS,,12.00\n"
      << "2025-01-01T10:01:00+00:00,kb4,V0527X,SN00";  // cut off by a crash
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  Station& s = Start(Setup(3));
  EXPECT_EQ(events.Matching("notice imported"),
            std::vector<std::string>{"notice imported 3 rows of " + dir.File("log.csv") +
                                     " into the test store"});
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb1"), "SN0002");  // never passed
  EXPECT_EQ(SerialIn("kb2"), "SN0004");
  EXPECT_EQ(SerialIn("kb3"), "SN0005");
  const std::string text = veltrane::testing::ReadFileText(dir.File("log.csv"));
  EXPECT_TRUE(text.starts_with(std::string(kLogHeader) +
                               "\n"
                               "2025-01-01T10:00:00+00:00,kb1,V0527X,SN0001,PASS,,12.00,\n"))
      << text;
  EXPECT_EQ(text.find("SN00\n"), std::string::npos) << text;  // the torn row cut back
  EXPECT_EQ(Rows().size(), 6u);
  EXPECT_EQ(store.All().size(), 6u);
  EXPECT_EQ(store.All()[1].reason, "unplugged, early");
}

TEST_F(StationTest, ATornRowIsCutBackAndAFullLogKeepsItsRows) {
  std::ofstream(dir.File("log.csv")) << kLogHeader << "\n"
                                     << "2025-01-01T10:00:00+00:00,kb1,V0527X,SN0001,PASS,,12.00,"
                                        "line-1\n"
                                     << "2025-01-01T10:01:00+00:00,kb4,V05";
  Start(Setup());
  EXPECT_EQ(veltrane::testing::ReadFileText(dir.File("log.csv")),
            std::string(kLogHeader) +
                "\n2025-01-01T10:00:00+00:00,kb1,V0527X,SN0001,PASS,,12.00,line-1\n");
}

TEST_F(StationTest, AScannerThreadDrivesTheStationForAWindow) {
  port.Plug("kb1");
  Station& s = Start(Setup(1));
  s.StartScanning(std::chrono::milliseconds(1));
  s.WaitFinished();
  EXPECT_EQ(SerialIn("kb1"), "SN0001");
}

TEST_F(StationTest, AnAccessProblemIsToldOnceUntilItChanges) {
  port.accessProblem = "Keyboard at /dev/hidraw9 cannot be opened";
  Station& s = Start(Setup());
  s.Scan();
  s.Scan();
  EXPECT_EQ(events.Matching("notice"),
            std::vector<std::string>{"notice Keyboard at /dev/hidraw9 cannot be opened"});
}

}  // namespace
}  // namespace veltrane::station
