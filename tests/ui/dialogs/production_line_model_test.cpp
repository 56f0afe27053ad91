// SPDX-License-Identifier: MIT
// The production line window's model over fake keyboards and a store in
// memory: a run from Start to its end, the main window locked meanwhile, Stop,
// refused starts, keyboards that stay plugged in across runs, reservations,
// notices kept until cleared, and a keyboard programmed again.
#include "ui/dialogs/production_line_model.h"

#include <gtest/gtest.h>

#include <condition_variable>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "support/recording_messages.h"
#include "tests/station/fake_store.h"
#include "tests/station/station_fixture.h"

namespace veltrane::ui {
namespace {

// The test's one store, handed to each run as the window's opener hands a new one.
class StoreView final : public station::StationStore {
 public:
  explicit StoreView(station::StationStore& store) : store_(store) {}
  std::string Name() const override { return store_.Name(); }
  station::StoreStatus IsEmpty(bool& empty) override { return store_.IsEmpty(empty); }
  station::StoreStatus Reserve(const station::ReservationRequest& r,
                               station::Reservation& out) override {
    return store_.Reserve(r, out);
  }
  station::StoreStatus NextFree(const station::SerialSequence& s, std::string& serial) override {
    return store_.NextFree(s, serial);
  }
  station::StoreStatus Finish(const station::Outcome& o) override { return store_.Finish(o); }
  station::StoreStatus RecordRefused(const station::StoreRow& row) override {
    return store_.RecordRefused(row);
  }
  station::StoreStatus Holder(const std::string& serial, station::StoreRow& row,
                              bool& found) override {
    return store_.Holder(serial, row, found);
  }
  station::StoreStatus Reservations(std::vector<station::StoreRow>& rows) override {
    return store_.Reservations(rows);
  }
  station::StoreStatus Release(const std::string& serial, const std::string& at,
                               const std::string& note) override {
    return store_.Release(serial, at, note);
  }
  station::StoreStatus Rows(std::int64_t after, std::vector<station::StoreRow>& rows) override {
    return store_.Rows(after, rows);
  }
  station::StoreStatus Import(const std::vector<station::StoreRow>& rows) override {
    return store_.Import(rows);
  }

 private:
  station::StationStore& store_;
};

class ProductionLineTest : public ::testing::Test {
 protected:
  ProductionLineTest() {
    StartApplication(app);
    app.doc.def.settings.SerialNumber = "SN0001";
    app.doc.dataDirectory = dir.path() + "/";
    const auto wake = [this] {
      const std::lock_guard lock(mutex);
      ++wakes;
      woken.notify_all();
    };
    line = std::make_unique<ProductionLine>(
        app, io, port, wake, [this] { ++lockChanges; },
        ProductionLineOptions{std::chrono::milliseconds(0), &clock,
                              [this](const std::string& db, std::string& error) {
                                opened.push_back(db);
                                std::unique_ptr<station::StationStore> handed;
                                if (db.ends_with("broken")) error = db + ": unable to open";
                                if (!db.ends_with("broken"))
                                  handed = std::make_unique<StoreView>(store);
                                return handed;
                              }});
  }
  const ProductionLineView& View() const { return line->view(); }
  void Start(const std::string& count) {
    line->OnFieldEdited(ProductionLineField::Count, count);
    line->OnStart();
  }
  // Takes the events as the window's thread does until `done` holds; the
  // deadline only keeps a broken run from hanging the test.
  void DeliverUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int seen = -1; !done();) {
      std::unique_lock lock(mutex);
      if (!woken.wait_until(lock, deadline, [&] { return wakes != seen; }))
        return ADD_FAILURE() << "the station did not get there";
      seen = wakes;
      lock.unlock();
      line->DeliverEvents();
    }
  }
  void RunToTheEnd() {
    line->ScanNow();
    DeliverUntil([this] { return !View().running; });
  }
  std::vector<std::string> Column(std::string ProductionLineRow::*field) const {
    std::vector<std::string> column;
    for (const ProductionLineRow& row : View().rows) column.push_back(row.*field);
    return column;
  }

  veltrane::testing::TempDir dir;
  veltrane::testing::RecordingMessages messages;
  veltrane::testing::RecordingLog log;
  Services io{messages, log};
  station::testing::FakePort port;
  station::testing::FakeStore store;
  std::vector<std::string> opened;
  station::testing::FixedClock clock;
  AppState app;
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  int lockChanges = 0;
  std::unique_ptr<ProductionLine> line;  // last: it ends before the port
};

TEST_F(ProductionLineTest, ARunProgramsTheDefinitionInMemoryAndShowsEveryKeyboard) {
  model::AssignTableKey(app.doc.def.keys[5].layers[0], 31);
  app.doc.def.settings.DebounceTime = 12;
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  port.SetFault("kb3", true, false);
  EXPECT_EQ(View().firstSerial.text, "SN0001");  // the main window's serial number
  EXPECT_EQ(View().logFile.text, dir.File("station.csv"));
  EXPECT_EQ(View().store.text, dir.File("station.sqlite"));
  Start("3");
  EXPECT_TRUE(View().running && app.locked && View().stopEnabled);
  EXPECT_FALSE(View().startEnabled || View().firstSerial.enabled || View().count.enabled);
  EXPECT_EQ(View().nextSerial, "SN0001");
  RunToTheEnd();

  EXPECT_EQ(Column(&ProductionLineRow::identity),
            (std::vector<std::string>{"kb1 port 1-1", "kb2 port 1-2", "kb3 port 1-3"}));
  EXPECT_EQ(Column(&ProductionLineRow::serial),
            (std::vector<std::string>{"SN0001", "SN0002", "SN0003"}));
  EXPECT_EQ(Column(&ProductionLineRow::progress), std::vector<std::string>(3, "done: unplug it"));
  EXPECT_TRUE(View().rows[0].result.starts_with("PASS in ")) << View().rows[0].result;
  EXPECT_EQ(View().rows[2].result, "FAIL: programming: Setfeature returned: 5 Input/output error");
  EXPECT_EQ(View().rows[2].outcome, RowOutcome::Failed);
  EXPECT_EQ(View().counts.passed, 2);
  EXPECT_EQ(View().counts.failed, 1);
  EXPECT_EQ(View().nextSerial, "SN0003");  // a failed keyboard's serial is handed out again
  EXPECT_EQ(View().status,
            "Stopped: 3 keyboards handled. 2 passed, 1 failed, 0 skipped. Not every keyboard "
            "plugged in passed.");
  EXPECT_EQ(opened, std::vector<std::string>{dir.File("station.sqlite")});
  EXPECT_FALSE(app.locked);
  EXPECT_EQ(lockChanges, 2);
  EXPECT_TRUE(View().startEnabled && View().count.enabled && !View().stopEnabled);

  // The keyboard holds the image of the definition and the settings shown, with its serial.
  const std::string version = "V0527X Fake keyboard";
  eeprom::EepromImage expected{};
  eeprom::BuildImage(app.doc.def, version.substr(0, 15), eeprom::FirmwareVersionFromText(version),
                     expected, nullptr);
  eeprom::StampSerialNumber(expected, "SN0002");
  const std::vector<std::uint8_t> memory = port.Memory("kb2");
  EXPECT_TRUE(std::equal(memory.begin(), memory.end(), expected.begin()));
}

TEST_F(ProductionLineTest, StopLetsTheRunningKeyboardFinishAndTakesNoOther) {
  port.Plug("kb1");
  port.Hold("kb1");
  Start("");  // until Stop
  line->ScanNow();
  port.WaitUntilHeld();
  DeliverUntil([this] { return View().rows.size() == 1 && View().rows[0].progress != "waiting"; });
  EXPECT_TRUE(View().rows[0].progress.starts_with("programming ")) << View().rows[0].progress;
  EXPECT_FALSE(line->OnCloseRequested());  // told, and the window stays
  line->OnStop();
  EXPECT_FALSE(View().stopEnabled);
  EXPECT_EQ(View().status, "Stopping: Stop pressed; 1 running keyboard finishes first");
  port.Plug("kb2");
  line->ScanNow();
  port.Release();
  RunToTheEnd();
  EXPECT_EQ(port.Downloads("kb2"), 0);
  EXPECT_EQ(Column(&ProductionLineRow::progress),
            (std::vector<std::string>{"done: unplug it", "not programmed"}));
  EXPECT_EQ(View().status, "Stopped: Stop pressed. 1 passed, 0 failed, 0 skipped.");
  EXPECT_FALSE(app.locked);
  EXPECT_TRUE(line->OnCloseRequested());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Production line");
}

TEST_F(ProductionLineTest, AStartThatCannotRunIsToldAndLocksNothing) {
  Start("0");
  Start("many");
  line->OnFieldEdited(ProductionLineField::FirstSerial, "SN");
  Start("");
  line->OnFieldEdited(ProductionLineField::FirstSerial, "SN1");
  line->OnFieldEdited(ProductionLineField::LogFile, dir.File("no/such/dir/log.csv"));
  line->OnStart();
  // Not over a command-line file the window does not show, nor logged over the definition's file.
  app.doc.commandLineText = dir.File("Board.DAT");
  line->OnStart();
  app.doc.commandLineText.clear();
  app.doc.loadedFile = dir.File("Board.DAT");
  line->OnFieldEdited(ProductionLineField::LogFile, app.doc.loadedFile);
  line->OnStart();
  line->OnFieldEdited(ProductionLineField::LogFile, dir.File("log.csv"));
  line->OnFieldEdited(ProductionLineField::Store, dir.File("broken"));
  line->OnStart();
  ASSERT_EQ(messages.shown.size(), 7u);
  EXPECT_EQ(messages.shown[6].text,
            "The production line did not start: " + dir.File("broken") + ": unable to open");
  EXPECT_EQ(messages.shown[0].text,
            "The count is the number of keyboards to program, 1 or more; leave it empty to go on "
            "until Stop.");
  EXPECT_EQ(messages.shown[1].text, messages.shown[0].text);
  EXPECT_TRUE(messages.shown[2].text.starts_with(
      "The production line did not start: the first serial number \"SN\""));
  EXPECT_NE(messages.shown[3].text.find("no/such/dir"), std::string::npos);
  EXPECT_EQ(messages.shown[4].text,
            "The production line did not start: Board.DAT was not loaded, so nothing was "
            "programmed.");
  EXPECT_EQ(messages.shown[5].caption, "Output file");
  EXPECT_FALSE(View().running || app.locked);
  EXPECT_TRUE(View().startEnabled && View().logFile.enabled);
  EXPECT_EQ(lockChanges, 0);
}

TEST_F(ProductionLineTest, AKeyboardLeftPluggedInIsSkippedByTheNextRunUnlessProgrammedAgain) {
  port.Plug("kb1");
  Start("1");
  RunToTheEnd();
  Start("");
  line->ScanNow();
  DeliverUntil([this] { return View().counts.skipped == 1; });
  EXPECT_EQ(port.Downloads("kb1"), 1);
  EXPECT_EQ(View().rows[0].outcome, RowOutcome::Skipped);
  EXPECT_EQ(View().rows[0].result, "skipped: already programmed: SN0001");
  EXPECT_EQ(View().rows[0].progress, "already done: unplug it");
  EXPECT_EQ(View().counts.skipped, 1);
  line->OnReprogram(0, " ");  // a reason is required
  ASSERT_EQ(messages.shown.size(), 1u);
  line->OnReprogram(0, "label torn off");
  EXPECT_EQ(View().rows[0].progress, "to be programmed again");
  DeliverUntil([this] {
    line->ScanNow();
    return View().rows[0].outcome == RowOutcome::Passed;
  });
  EXPECT_EQ(View().rows[0].serial, "SN0002");
  line->OnStop();
  RunToTheEnd();
  EXPECT_EQ(store.All()[0].state, station::SerialState::Replaced);
}

TEST_F(ProductionLineTest, ReservationsAreShownAndNoticesStayUntilCleared) {
  station::StoreRow reserved;
  reserved.serial = "SN0001";
  reserved.state = station::SerialState::Reserved;
  reserved.station = "line-0";
  reserved.run = "gone/1/1";
  reserved.identity = "kb9";
  store.Add(reserved);
  port.accessProblem = "Keyboard at /dev/hidraw9 cannot be opened";
  Start("1");
  line->ScanNow();
  line->DeliverEvents();
  ASSERT_EQ(View().reservations.size(), 1u);
  EXPECT_TRUE(View().reservations[0].starts_with("unresolved reservation: SN0001 for kb9"));
  EXPECT_EQ(View().notices, std::vector<std::string>{"Keyboard at /dev/hidraw9 cannot be opened"});
  line->OnStop();
  RunToTheEnd();
  Start("1");  // a new run keeps what the user has not read yet
  EXPECT_EQ(View().notices.size(), 1u);
  line->OnClearNotices();
  EXPECT_TRUE(View().notices.empty());
  line->OnStop();
  RunToTheEnd();
}

TEST(StationEventQueue, KeepsTheOrderWakesOncePerBatchAndKeepsOnlyTheLatestProgress) {
  int wakes = 0;
  StationEventQueue queue([&] { ++wakes; });
  station::KeyboardView a, b;
  a.path = "a";
  b.path = "b";
  queue.KeyboardAppeared(a);
  for (int percent : {10, 20, 30, -1, 40}) {
    a.percent = percent;
    percent < 0 ? queue.Progress(b) : queue.Progress(a);
  }
  queue.Write("log line\n");
  EXPECT_EQ(wakes, 1);
  std::vector<std::string> seen;
  for (const StationEvent& e : queue.Take())
    seen.push_back(e.keyboard.path + std::to_string(e.keyboard.percent) + e.text);
  EXPECT_EQ(seen, (std::vector<std::string>{"a0", "a30", "b0", "a40", "0log line\n"}));
  queue.NextSerial("SN2");
  EXPECT_EQ(wakes, 2);
}

TEST_F(ProductionLineTest, MacrosThatDoNotFitStopTheLineAtStart) {
  for (int n = 0; n < 3; ++n) {
    model::StringRow& row = app.doc.def.stringWorkBuffer[static_cast<std::size_t>(n)];
    for (int k = 0; k < 79; ++k) row[static_cast<std::size_t>(k)] = {0, 0x04, 0x1C, 0};
    row[79] = model::StringChar{};
  }
  port.Plug("kb1");
  Start("1");
  EXPECT_FALSE(View().running || app.locked);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Macro store");
}

}  // namespace
}  // namespace veltrane::ui
