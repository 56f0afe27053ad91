// The production line window's model over fake keyboards: a run from Start to
// its end, the rows, counts and next serial, the main window locked meanwhile,
// Stop, refused starts, and keyboards that stay plugged in across runs.
#include "ui/production_line_model.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "model/text_field.h"
#include "support/recording_messages.h"
#include "tests/station/station_fixture.h"

namespace veltrane::ui {
namespace {

using station::testing::FakePort;

class ProductionLineTest : public ::testing::Test {
 protected:
  ProductionLineTest() {
    StartApplication(app);
    app.window.serial.text = "SN0001";
    app.doc.dataDirectory = dir.path() + "/";
    line = std::make_unique<ProductionLine>(
        app, io, port,
        [this] {
          const std::lock_guard lock(mutex);
          ++wakes;
          woken.notify_all();
        },
        [this] { ++mainWindowChanges; },
        ProductionLineOptions{std::chrono::milliseconds(0), &clock});
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
    while (true) {
      int seen = 0;
      {
        const std::lock_guard lock(mutex);
        seen = wakes;
      }
      line->DeliverEvents();
      if (done()) return;
      std::unique_lock lock(mutex);
      if (!woken.wait_until(lock, deadline, [&] { return wakes != seen; })) {
        ADD_FAILURE() << "the station did not get there";
        return;
      }
    }
  }
  void DeliverUntilStopped() {
    DeliverUntil([this] { return !View().running; });
  }
  std::vector<std::string> Column(std::string ProductionLineRow::*field) const {
    std::vector<std::string> column;
    for (const ProductionLineRow& row : View().rows) column.push_back(row.*field);
    return column;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const auto& m : messages.shown) boxes.push_back(m.caption + "|" + m.text);
    return boxes;
  }

  veltrane::testing::TempDir dir;
  veltrane::testing::RecordingMessages messages;
  veltrane::testing::RecordingLog log;
  Services io{messages, log};
  FakePort port;
  station::testing::FixedClock clock;
  AppState app;
  std::mutex mutex;
  std::condition_variable woken;
  int wakes = 0;
  int mainWindowChanges = 0;
  std::unique_ptr<ProductionLine> line;  // last: it ends before the port
};

TEST_F(ProductionLineTest, ARunProgramsTheDefinitionInMemoryAndShowsEveryKeyboard) {
  model::AssignTableKey(app.doc.def.keys[5].layers[0], 31);
  app.window.debounce.text = "12";
  for (const char* path : {"kb1", "kb2", "kb3"}) port.Plug(path);
  EXPECT_EQ(View().firstSerial.text, "SN0001");  // the main window's serial number
  EXPECT_EQ(View().logFile.text, dir.File("station.csv"));
  Start("3");
  EXPECT_TRUE(View().running);
  EXPECT_TRUE(app.window.locked);
  EXPECT_FALSE(View().startEnabled || View().firstSerial.enabled || View().logFile.enabled);
  EXPECT_TRUE(View().stopEnabled);
  EXPECT_EQ(View().nextSerial, "SN0001");
  line->ScanNow();
  DeliverUntilStopped();

  EXPECT_EQ(Column(&ProductionLineRow::identity),
            (std::vector<std::string>{"kb1 port 1-1", "kb2 port 1-2", "kb3 port 1-3"}));
  EXPECT_EQ(Column(&ProductionLineRow::serial),
            (std::vector<std::string>{"SN0001", "SN0002", "SN0003"}));
  for (const ProductionLineRow& row : View().rows) {
    EXPECT_EQ(row.progress, "done: unplug it");
    EXPECT_TRUE(row.result.starts_with("PASS in ")) << row.result;
    EXPECT_EQ(row.outcome, RowOutcome::Passed);
  }
  EXPECT_EQ(View().counts.passed, 3);
  EXPECT_EQ(View().counts.failed, 0);
  EXPECT_EQ(View().nextSerial, "SN0004");
  EXPECT_EQ(View().status, "Stopped: 3 keyboards handled. 3 passed, 0 failed.");
  EXPECT_FALSE(app.window.locked);
  EXPECT_EQ(mainWindowChanges, 2);  // locked, then free again
  EXPECT_TRUE(View().startEnabled && View().count.enabled && !View().stopEnabled);
  EXPECT_GT(wakes, 0);

  // Each keyboard holds the image of the definition and the settings shown, with its serial.
  const std::string version = "V0527X Fake keyboard";
  eeprom::EepromImage expected{};
  eeprom::BuildImage(app.doc.def, ReadShownSettings(app.window),
                     model::CutText(version, eeprom::info::VersionTextLimit),
                     eeprom::FirmwareVersionFromText(version), expected, nullptr);
  eeprom::StampSerialNumber(expected, "SN0002");
  EXPECT_TRUE(std::equal(port.Memory("kb2").begin(), port.Memory("kb2").end(), expected.begin()));
  EXPECT_NE(veltrane::testing::ReadFileText(dir.File("station.csv")).find(",SN0003,PASS,"),
            std::string::npos);
}

TEST_F(ProductionLineTest, AFailureStaysInItsRowAndInTheCounts) {
  port.Plug("kb1");
  port.Plug("kb2");
  port.SetFault("kb2", true, false);
  Start("2");
  line->ScanNow();
  DeliverUntilStopped();
  ASSERT_EQ(View().rows.size(), 2u);
  EXPECT_EQ(View().rows[1].result, "FAIL: programming: Setfeature returned: 5 Input/output error");
  EXPECT_EQ(View().rows[1].outcome, RowOutcome::Failed);
  EXPECT_EQ(View().counts.passed, 1);
  EXPECT_EQ(View().counts.failed, 1);
  EXPECT_EQ(View().nextSerial, "SN0002");  // a failed keyboard's serial is handed out again
}

TEST_F(ProductionLineTest, StopLetsTheRunningKeyboardFinishAndTakesNoOther) {
  port.Plug("kb1");
  port.Hold("kb1");
  Start("");  // until Stop
  line->ScanNow();
  port.WaitUntilHeld();
  DeliverUntil([this] { return View().rows.size() == 1 && View().rows[0].progress != "waiting"; });
  EXPECT_TRUE(View().rows[0].progress.starts_with("programming ")) << View().rows[0].progress;
  EXPECT_FALSE(line->OnCloseRequested());  // not while it runs
  line->OnStop();
  EXPECT_FALSE(View().stopEnabled);
  EXPECT_EQ(View().status, "Stopping: Stop pressed; 1 running keyboard finishes first");
  EXPECT_TRUE(app.window.locked);
  port.Plug("kb2");
  line->ScanNow();
  port.Release();
  DeliverUntilStopped();
  EXPECT_EQ(port.Downloads("kb2"), 0);
  EXPECT_EQ(Column(&ProductionLineRow::progress),
            (std::vector<std::string>{"done: unplug it", "not programmed"}));
  EXPECT_EQ(View().status, "Stopped: Stop pressed. 1 passed, 0 failed.");
  EXPECT_FALSE(app.window.locked);
  EXPECT_TRUE(line->OnCloseRequested());
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         "Production line|The production line is running. Stop it, and let its "
                         "keyboards finish, before you close this window."});
}

TEST_F(ProductionLineTest, AStartThatCannotRunIsToldAndLocksNothing) {
  Start("0");
  Start("many");
  line->OnFieldEdited(ProductionLineField::FirstSerial, "SN");
  Start("");
  line->OnFieldEdited(ProductionLineField::FirstSerial, "SN1");
  line->OnFieldEdited(ProductionLineField::LogFile, dir.File("no/such/dir/log.csv"));
  line->OnStart();
  const std::string count =
      "Production line|The count is the number of keyboards to program, 1 or more; leave it "
      "empty to go on until Stop.";
  const std::string refused = "Production line|The production line did not start: ";
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], count);
  EXPECT_EQ(boxes[1], count);
  EXPECT_TRUE(boxes[2].starts_with(refused + "the first serial number \"SN\"")) << boxes[2];
  EXPECT_TRUE(boxes[3].starts_with(refused) && boxes[3].find("no/such/dir") != std::string::npos)
      << boxes[3];
  EXPECT_FALSE(View().running || app.window.locked);
  EXPECT_TRUE(View().startEnabled && View().logFile.enabled);
  EXPECT_EQ(mainWindowChanges, 0);
}

TEST_F(ProductionLineTest, AKeyboardLeftPluggedInIsNotProgrammedAgainByTheNextRun) {
  port.Plug("kb1");
  Start("1");
  line->ScanNow();
  DeliverUntilStopped();
  Start("1");
  line->ScanNow();
  line->DeliverEvents();
  EXPECT_EQ(port.Downloads("kb1"), 1);
  ASSERT_EQ(View().rows.size(), 1u);
  EXPECT_EQ(View().rows[0].progress, "last run: unplug it");
  EXPECT_EQ(View().counts.passed, 0);  // a new run counts afresh
  port.Unplug("kb1");
  line->ScanNow();
  line->DeliverEvents();
  EXPECT_EQ(View().rows[0].progress, "unplugged");
  port.Plug("kb1");
  line->ScanNow();
  DeliverUntilStopped();
  EXPECT_EQ(port.Downloads("kb1"), 1);  // Plug gives a fresh keyboard: this is its first download
  EXPECT_EQ(Column(&ProductionLineRow::serial), (std::vector<std::string>{"SN0001", "SN0002"}));
}

TEST(StationEventQueue, KeepsTheOrderWakesOncePerBatchAndKeepsOnlyTheLatestProgress) {
  int wakes = 0;
  StationEventQueue queue([&] { ++wakes; });
  station::KeyboardView a;
  a.path = "a";
  station::KeyboardView b;
  b.path = "b";
  queue.KeyboardAppeared(a);
  for (int percent : {10, 20, 30}) {
    a.percent = percent;
    queue.Progress(a);
  }
  queue.Progress(b);
  a.percent = 40;
  queue.Progress(a);
  queue.Write("log line\n");
  EXPECT_EQ(wakes, 1);
  const std::vector<StationEvent> events = queue.Take();
  std::vector<std::string> seen;
  for (const StationEvent& e : events)
    seen.push_back(e.keyboard.path + std::to_string(e.keyboard.percent) + e.text);
  EXPECT_EQ(seen, (std::vector<std::string>{"a0", "a30", "b0", "a40", "0log line\n"}));
  queue.NextSerial("SN2");
  EXPECT_EQ(wakes, 2);
}

}  // namespace
}  // namespace veltrane::ui
