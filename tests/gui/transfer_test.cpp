// SPDX-License-Identifier: MIT
#include <QProgressBar>
#include <QThread>
#include <chrono>
#include <thread>

#include "gui/background_link.h"
#include "gui/message_boxes.h"
#include "gui_fixture.h"
#include "support/temp_dir.h"
#include "ui/app/nirvex_link.h"

namespace veltrane::testing {
namespace {

// A keyboard that takes its time: 100 progress steps and the library's
// "Done" box, all from the thread the call runs on.
class SlowKeyboard : public ui::KeyboardLink {
 public:
  explicit SlowKeyboard(model::MessageSink& messages) : messages_(messages) {}

  std::string DetectKeyboard() override {
    callThread = std::this_thread::get_id();
    return "V0527X Simulated keyboard";
  }
  bool ProgramFirmWare(std::span<const std::uint8_t>, unsigned, unsigned,
                       const ui::ProgressStep& step) override {
    callThread = std::this_thread::get_id();
    for (int i = 0; i < 100; ++i) {
      step();
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    messages_.Show("Done", "nirvex", model::MessageIcon::None);
    return true;
  }
  bool ReadFirmWare(std::span<std::uint8_t>, unsigned, unsigned, const ui::ProgressStep&) override {
    return false;
  }

  std::thread::id callThread;

 private:
  model::MessageSink& messages_;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

struct AnsweredBox {
  std::string text, caption;
  bool onGuiThread = false;
  bool busy = false;
  int barValue = -1;
};

class TransferTest : public StartedWindow {
 protected:
  TransferTest() {
    boxes.SetParentWindow(window.get());
    boxes.SetAnswer(
        [this](const std::string& text, const std::string& caption, model::MessageIcon) {
          answered.push_back({text, caption, QThread::currentThread() == qApp->thread(), view.busy,
                              window->progressBar()->value()});
          // A click while the transfer runs must not start a command.
          QTest::mouseClick(window->keyButton(0), Qt::LeftButton);
        });
  }

  gui::MessageBoxes boxes;
  SlowKeyboard keyboard{boxes};
  gui::BackgroundLink link{keyboard, view.busy};
  std::vector<AnsweredBox> answered;
};

TEST_F(TransferTest, DownloadRunsOffTheGuiThreadWhileTheWindowPaintsAndTakesNoInput) {
  PaintCounter counter;
  window->progressBar()->installEventFilter(&counter);
  app.progress.SetRange(0, 100);
  app.progress.SetPosition(0);
  const ui::ProgressStep step = [this] { app.progress.StepIt(); };
  const std::uint8_t image[4] = {};

  EXPECT_TRUE(link.ProgramFirmWare(image, 0, 4, step));

  EXPECT_NE(keyboard.callThread, std::this_thread::get_id());
  ASSERT_EQ(answered.size(), 1u);
  EXPECT_EQ(answered[0].text, "Done");
  EXPECT_EQ(answered[0].caption, "nirvex");
  EXPECT_TRUE(answered[0].onGuiThread);
  EXPECT_TRUE(answered[0].busy);
  EXPECT_EQ(answered[0].barValue, 100);  // every step shown before the library's box
  EXPECT_EQ(window->progressBar()->value(), 100);
  EXPECT_GT(counter.paints, 0);
  EXPECT_TRUE(events.commands.empty());
  EXPECT_FALSE(view.busy);

  // Input reaches the window again afterwards.
  QTest::mouseClick(window->keyButton(0), Qt::LeftButton);
  EXPECT_EQ(events.commands, std::vector<int>{34560});
}

TEST_F(TransferTest, DetectionAndFailuresComeBackUnchanged) {
  EXPECT_EQ(link.DetectKeyboard(), "V0527X Simulated keyboard");
  EXPECT_NE(keyboard.callThread, std::this_thread::get_id());
  std::uint8_t image[4] = {};
  EXPECT_FALSE(link.ReadFirmWare(image, 0, 4, [] {}));
  EXPECT_TRUE(answered.empty());
  EXPECT_FALSE(view.busy);
}

}  // namespace
}  // namespace veltrane::testing

namespace veltrane::testing {
namespace {

// The library itself on its simulated keyboard: its steps and its own boxes
// come back to the GUI thread.
TEST_F(TransferTest, LibraryTransfersOnTheSimulatedKeyboard) {
  TempDir temp;
  ::setenv("NIRVEX_DEVICE", ("sim:" + temp.File("kb.sim") + ",time=virtual").c_str(), 1);
  ui::NirvexLink nirvex(boxes);
  gui::BackgroundLink libraryLink(nirvex, view.busy);
  app.progress.SetRange(0, 100);
  app.progress.SetPosition(0);
  int steps = 0;
  const ui::ProgressStep step = [&] {
    EXPECT_EQ(QThread::currentThread(), qApp->thread());
    ++steps;
    app.progress.StepIt();
  };
  std::vector<std::uint8_t> image(3072);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);

  EXPECT_EQ(libraryLink.DetectKeyboard().substr(0, 6), "V0527X");
  EXPECT_TRUE(libraryLink.ProgramFirmWare(image, 0, 3072, step));
  EXPECT_EQ(steps, 100);
  EXPECT_EQ(window->progressBar()->value(), 100);
  ASSERT_FALSE(answered.empty());
  EXPECT_EQ(answered.back().caption, "nirvex");
  EXPECT_TRUE(answered.back().onGuiThread);

  std::vector<std::uint8_t> back(3072);
  app.progress.SetPosition(0);
  EXPECT_TRUE(libraryLink.ReadFirmWare(back, 0, 3072, step));
  EXPECT_EQ(back, image);
  EXPECT_EQ(steps, 200);
  EXPECT_TRUE(events.commands.empty());
  ::unsetenv("NIRVEX_DEVICE");
}

}  // namespace
}  // namespace veltrane::testing
