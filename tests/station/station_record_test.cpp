// SPDX-License-Identifier: MIT
// The station over its store: keyboards that hold their serial already, the
// reservation a crashed run left, a store that goes away, and when a run
// counts as done.
#include <gtest/gtest.h>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "station/image_digest.h"
#include "tests/station/station_fixture.h"

namespace veltrane::station {
namespace {

using testing::StationTest;

class StationRecordTest : public StationTest {
 protected:
  // A second run of the station on the same store and keyboards.
  Station& Restart(StationSetup setup) {
    station.reset();
    return Start(std::move(setup));
  }
  // What the station writes for `serial`: the image of the fixture's definition.
  std::vector<std::uint8_t> ImageWith(const std::string& serial) {
    eeprom::EepromImage image{};
    model::KeyboardDefinition definition;
    model::InitialiseDefinition(definition);
    const std::string version = "V0527X Fake keyboard";
    eeprom::BuildImage(definition, version.substr(0, 15), eeprom::FirmwareVersionFromText(version),
                       image, nullptr);
    eeprom::StampSerialNumber(image, serial);
    return std::vector<std::uint8_t>(image.begin(), image.begin() + 3072);
  }
  StoreRow Reserved(const std::string& serial, const std::string& run) {
    StoreRow row;
    row.serial = serial;
    row.state = SerialState::Reserved;
    row.station = "line-0";
    row.run = run;
    row.identity = "kb9 port 1-9";
    row.imageDigest = ImageDigest(ImageWith(serial));
    row.reservedAt = "2025-01-01T09:00:00+00:00";
    return row;
  }
};

TEST_F(StationRecordTest, ARestartSkipsAKeyboardThatPassedAndReprogramOnlyWhenAsked) {
  port.Plug("kb1");
  Start(Setup(1)).Scan();
  station->WaitFinished();
  ASSERT_EQ(SerialIn("kb1"), "SN0001");

  port.Plug("kb2");  // kb1 stays plugged in
  Station& again = Restart(Setup(1));
  again.Scan();
  events.WaitFor("skipped kb1");  // a skipped keyboard is not counted: kb2 is taken next
  again.Scan();
  again.WaitFinished();
  EXPECT_EQ(port.Downloads("kb1"), 1);
  EXPECT_EQ(SerialIn("kb2"), "SN0002");
  EXPECT_EQ(events.Matching("skipped kb1"),
            std::vector<std::string>{"skipped kb1 SN0001 (already programmed: SN0001)"});
  EXPECT_EQ(again.Summary().counts.skipped, 1);
  EXPECT_TRUE(Succeeded(again.Summary()));

  StationSetup reprogram = Setup(1);
  reprogram.reprogram = "customer return";
  Station& third = Restart(std::move(reprogram));
  port.Unplug("kb2");
  third.Scan();
  third.WaitFinished();
  EXPECT_EQ(port.Downloads("kb1"), 2);
  EXPECT_EQ(SerialIn("kb1"), "SN0003");
  const std::vector<StoreRow> rows = store.All();
  EXPECT_EQ(rows[0].state, SerialState::Replaced);
  EXPECT_EQ(rows[2].note, "held SN0001: customer return");
  EXPECT_EQ(Rows().back()[5], "programmed again, held SN0001: customer return");
}

TEST_F(StationRecordTest, AReservationLeftByACrashIsListedAndResolvedByItsKeyboard) {
  store.Add(Reserved("SN0001", "gone/2/2"));  // programmed, then the station died
  store.Add(Reserved("SN0002", "gone/2/2"));  // died before its keyboard was written
  port.Plug("kb1");
  port.SetMemory("kb1", ImageWith("SN0001"));
  port.Plug("kb2");
  Station& s = Start(Setup(2));
  EXPECT_EQ(events.Matching("notice unresolved").size(), 2u);
  EXPECT_EQ(events.Matching("notice unresolved")[0],
            "notice unresolved reservation: SN0001 for kb9 port 1-9 by station line-0 "
            "(gone/2/2) at 2025-01-01T09:00:00+00:00");
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(port.Downloads("kb1"), 0);  // it holds its image and serial: only recorded
  EXPECT_EQ(events.Matching("PASS kb1"),
            std::vector<std::string>{
                "PASS kb1 SN0001 (confirmed by reading the keyboard at kb1 port 1-1)"});
  EXPECT_EQ(SerialIn("kb2"), "SN0003");  // SN0002 stays reserved: a gap, never a duplicate
  const std::vector<StoreRow> rows = store.All();
  EXPECT_EQ(rows[0].state, SerialState::Passed);
  EXPECT_EQ(rows[1].state, SerialState::Reserved);
  EXPECT_TRUE(Succeeded(s.Summary()));
}

TEST_F(StationRecordTest, NothingIsProgrammedWithoutACommittedReservation) {
  port.Plug("kb1");
  port.Plug("kb2");
  Station& s = Start(Setup());
  store.away = true;
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(port.Downloads("kb1") + port.Downloads("kb2"), 0);
  const StationSummary summary = s.Summary();
  EXPECT_EQ(summary.cause, StopCause::Fault);
  EXPECT_TRUE(summary.stopReason.starts_with("no serial could be reserved: the test store is away"))
      << summary.stopReason;
  EXPECT_EQ(summary.unhandled, 2);
  EXPECT_EQ(port.Locks("kb1"), 0);
}

TEST_F(StationRecordTest, AResultTheStoreDidNotTakeIsSentAgainOnceItIsBack) {
  port.Plug("kb1");
  port.Plug("kb2");
  port.Hold("kb2");
  Station& s = Start(Setup());
  store.refuseFinish = true;
  s.Scan();
  events.WaitFor("PASS kb1");
  events.WaitFor("notice Stopping: the store did not take a result");
  port.Plug("kb3");
  s.Scan();
  port.Release();  // the running keyboard finishes
  events.WaitFor("PASS kb2");
  s.Scan();
  EXPECT_FALSE(s.Finished());  // two results wait for the store
  EXPECT_EQ(port.Downloads("kb3"), 0);
  EXPECT_EQ(store.All()[0].state, SerialState::Reserved);
  EXPECT_TRUE(Rows().empty());  // the log follows the store
  store.refuseFinish = false;
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(store.All()[0].state, SerialState::Passed);
  EXPECT_EQ(store.All()[1].state, SerialState::Passed);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(events.Matching("notice recorded now").size(), 2u);
  EXPECT_TRUE(s.Summary().uncommitted.empty());
  EXPECT_FALSE(Succeeded(s.Summary()));  // kb3 was left
}

TEST_F(StationRecordTest, StopGivesUpOnTheStoreAndListsWhatItDidNotTake) {
  port.Plug("kb1");
  Station& s = Start(Setup());
  store.refuseFinish = true;
  s.Scan();
  events.WaitFor("PASS kb1");
  s.Stop("interrupted");
  s.WaitFinished();
  const StationSummary summary = s.Summary();
  ASSERT_EQ(summary.uncommitted.size(), 1u);
  EXPECT_EQ(summary.uncommitted[0],
            "SN0001 PASS on kb1 port 1-1 is not in the test store: it stays reserved there; plug "
            "the keyboard in again, or release it with veltrane-cli station --release SN0001");
  EXPECT_EQ(summary.cause, StopCause::Fault);
}

TEST_F(StationRecordTest, AKeyboardThatCannotBeReadFailsWithoutASerial) {
  port.Plug("kb1");
  port.SetUnreadable("kb1");
  Station& s = Start(Setup(1));
  s.Scan();
  s.WaitFinished();
  EXPECT_EQ(events.Matching("FAIL kb1"),
            std::vector<std::string>{"FAIL kb1  (reading: Set or GetFeature failed)"});
  EXPECT_EQ(port.Downloads("kb1"), 0);
  EXPECT_EQ(s.Summary().nextSerial, "SN0001");
  EXPECT_EQ(RowOf("kb1")[4], "FAIL");
}

TEST_F(StationRecordTest, KeyboardsLeftWhenTheSerialsRunOutMakeTheRunFail) {
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  StationSetup setup = Setup();
  setup.firstSerial = std::string(30, 'A') + "8";  // A..8 and A..9 fit, A..10 does not
  Station& s = Start(std::move(setup));
  s.Scan();
  s.WaitFinished();
  const StationSummary summary = s.Summary();
  EXPECT_EQ(summary.counts.passed, 2);
  EXPECT_EQ(summary.unhandled, 1);
  EXPECT_EQ(summary.cause, StopCause::Fault);
  EXPECT_EQ(summary.stopReason, "the next serial number would be longer than 31 characters");
  EXPECT_EQ(store.All().size(), 2u);  // nothing reserved for the third
}

TEST(StationSummary, ARunSucceedsOnlyWhenNothingWasLeftButOnPurpose) {
  StationSummary summary;
  summary.cause = StopCause::Count;
  summary.unhandled = 2;
  EXPECT_TRUE(Succeeded(summary));
  summary.cause = StopCause::User;
  EXPECT_TRUE(Succeeded(summary));
  summary.cause = StopCause::Fault;  // e.g. the serials ran out with keyboards waiting
  EXPECT_FALSE(Succeeded(summary));
  summary.unhandled = 0;
  EXPECT_TRUE(Succeeded(summary));
  summary.counts.failed = 1;
  EXPECT_FALSE(Succeeded(summary));
  summary.counts.failed = 0;
  summary.uncommitted.push_back("SN1 PASS");
  EXPECT_FALSE(Succeeded(summary));
}

}  // namespace
}  // namespace veltrane::station
