// SPDX-License-Identifier: MIT
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdlib>

#include "gui/dialogs/key_pictures.h"
#include "gui/main_window_widgets.h"
#include "gui_fixture.h"
#include "support/temp_dir.h"
#include "ui/main_window/control_table.h"

namespace veltrane::testing {
namespace {

using ui::KeyPicture;

TEST_F(StartedWindow, ControlsSitAtTheirTablePlacesInAFixedWindow) {
  EXPECT_EQ(window->windowTitle(), "Veltrane");
  EXPECT_EQ(window->surface()->size(), QSize(gui::kClientWidth, gui::kClientHeight));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  for (const ui::Control& entry : ui::ControlTable()) {
    if (entry.id == ui::id::kNone) continue;
    const QRect place = window->control(entry.id)->geometry();
    EXPECT_EQ(place.topLeft(), QPoint(entry.rect.x, entry.rect.y)) << entry.id;
    EXPECT_GE(place.width(), entry.rect.width) << entry.id;  // wider only where its text needs it
  }
  const QRect key = window->keyButton(3 * 8 + 5)->geometry();
  EXPECT_EQ(key, QRect(140, 100, 16, 16));
  EXPECT_EQ(window->keyButton(3 * 8 + 5)->accessibleName(), "Row 3, column 5: Incomplete");
  EXPECT_EQ(Control<QLabel>(35097)->text(), "V05.27");
  EXPECT_EQ(Control<QComboBox>(35083)->currentText(), "60 mS");
  EXPECT_EQ(Control<QComboBox>(35090)->currentText(), "14");
  EXPECT_FALSE(Control<QPushButton>(ui::id::kGenerate)->isEnabled());
  EXPECT_TRUE(Control<QCheckBox>(35101)->isChecked());  // keyboard enabled after start-up
  EXPECT_FALSE(Control<QCheckBox>(35101)->isEnabled());
  EXPECT_FALSE(Control<QLineEdit>(35149)->isEnabled());
  EXPECT_EQ(window->progressBar()->maximum(), 2048);
  EXPECT_EQ(window->progressBar()->geometry().bottom(), gui::kClientHeight - 1);
}

TEST_F(StartedWindow, OnAScreenTooSmallForItTheClientAreaScrolls) {
  EXPECT_FALSE(window->scrollArea()->verticalScrollBar()->isVisible());
  window->FitToScreen(QSize(640, 450));  // 1280 x 900 at a scale factor of 2
  QCoreApplication::processEvents();
  EXPECT_LE(window->width(), 640);
  EXPECT_LE(window->height(), 450);
  QScrollArea* scroll = window->scrollArea();
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
  EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
  // Every control can be brought into view: "Point Dev Set." at the bottom right.
  QWidget* button = window->control(35166);
  scroll->ensureWidgetVisible(button, 0, 0);
  const QRect shown(button->mapTo(scroll->viewport(), QPoint(0, 0)), button->size());
  EXPECT_TRUE(scroll->viewport()->rect().contains(shown)) << shown.x() << "," << shown.y();
}

TEST_F(StartedWindow, ClicksReachTheEventsOnceAndTheModelDecidesTheCheckState) {
  QTest::mouseClick(window->keyButton(3 * 8 + 5), Qt::LeftButton);
  auto* bin = Control<QCheckBox>(35194);
  QTest::mouseClick(bin, Qt::LeftButton);
  QTest::mouseClick(window->control(ui::id::kLedButtons[2]), Qt::LeftButton);
  EXPECT_EQ(events.commands, (std::vector<int>{34560 + 29, 35194, 35095}));
  EXPECT_FALSE(bin->isChecked());

  view.Box(ui::id::kWriteBin).checked = true;
  view.generateEnabled = true;
  view.keyPictures[29] = KeyPicture::Stop;
  view.ledPictures[0] = KeyPicture::Illumination;
  view.keyTooltips[29] = "Esc";
  view.Field(ui::id::kBeepLength) = {"100", true, "a note"};
  window->Sync();
  EXPECT_TRUE(bin->isChecked());
  EXPECT_TRUE(Control<QPushButton>(ui::id::kGenerate)->isEnabled());
  EXPECT_EQ(window->keyButton(29)->picture(), KeyPicture::Stop);
  EXPECT_EQ(window->keyButton(29)->accessibleName(), "Row 3, column 5: Stop");
  EXPECT_EQ(window->keyButton(29)->toolTip(), "Esc");
  EXPECT_EQ(qobject_cast<gui::PictureButton*>(window->control(35093))->picture(),
            KeyPicture::Illumination);
  EXPECT_EQ(Control<QLineEdit>(35149)->text(), "100");
  EXPECT_TRUE(Control<QLineEdit>(35149)->isEnabled());
  EXPECT_EQ(Control<QLineEdit>(35149)->toolTip(), "a note");  // why a text was refused

  view.Box(ui::id::kWriteBin).checked = false;
  view.generateEnabled = false;
  window->Sync();
  EXPECT_FALSE(bin->isChecked());
  EXPECT_FALSE(Control<QPushButton>(ui::id::kGenerate)->isEnabled());
  EXPECT_EQ(events.commands.size(), 3u);  // syncing emits nothing
}

TEST_F(StartedWindow, FieldsReportWhatWasTypedOnceItIsFinished) {
  auto* gain = Control<QLineEdit>(35193);
  gain->setFocus();
  gain->end(false);
  QTest::keyClicks(gain, "7x");       // the letter is refused by the digits-only field
  EXPECT_TRUE(events.edits.empty());  // nothing while typing
  EXPECT_TRUE(events.keys.empty());
  view.Field(ui::id::kGain).text = "5";
  window->Sync();
  EXPECT_EQ(gain->text(), "17");  // a repaint leaves the text being typed alone
  QTest::keyClick(gain, Qt::Key_Return);
  ASSERT_EQ(events.edits.size(), 1u);
  EXPECT_EQ(events.edits[0], std::make_pair(35193, std::string("17")));
  EXPECT_EQ(gain->text(), "5");  // then it shows what the model holds

  auto* serial = Control<QLineEdit>(35119);
  serial->setFocus();
  QTest::keyClicks(serial, "A");
  gain->setFocus();  // leaving the field finishes it too
  EXPECT_EQ(events.edits.back(), std::make_pair(35119, std::string("A")));
  EXPECT_EQ(events.edits.size(), 2u);

  auto* delay = Control<QComboBox>(35082);
  delay->setFocus();
  QTest::keyClick(delay, Qt::Key_Down);
  ASSERT_EQ(events.selections.size(), 1u);
  EXPECT_EQ(events.selections[0], std::make_pair(35082, 2));
  EXPECT_EQ(delay->currentIndex(), 1);  // the model still says "Faster"
  delay->lineEdit()->selectAll();
  QTest::keyClicks(delay->lineEdit(), "foo");
  QTest::keyClick(delay->lineEdit(), Qt::Key_Return);
  ASSERT_EQ(events.listTexts.size(), 1u);
  EXPECT_EQ(events.listTexts[0], std::make_pair(35082, std::string("foo")));
  EXPECT_EQ(delay->currentText(), "Faster");  // a list shows only its own entries
}

TEST_F(StartedWindow, KeysOfTheMainWindowAndTheAboutAccelerators) {
  window->setFocus();
  QTest::keyClick(window.get(), Qt::Key_Apostrophe);
  QTest::keyClick(window.get(), Qt::Key_P);
  QTest::keyClick(window.get(), Qt::Key_H);
  QTest::keyClick(window.get(), Qt::Key_5);
  QTest::keyClick(window.get(), Qt::Key_F1);
  QTest::keyClick(window.get(), Qt::Key_A, Qt::AltModifier);  // a system key: not counted
  EXPECT_EQ(events.keys, (std::vector<int>{222, 80, 72, 53, 0}));

  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_Question, Qt::AltModifier);
  QTest::keyClick(window.get(), Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier);
  QTest::keyClick(window.get(), Qt::Key_Slash, Qt::AltModifier);
  EXPECT_EQ(events.commands, (std::vector<int>(3, ui::id::kAbout)));
  QTest::keyClick(window.get(), Qt::Key_Question);  // without Alt it is a plain key
  EXPECT_EQ(events.commands.size(), 3u);
}

// Pictures and screenshots: VELTRANE_SCREENSHOT_DIR keeps the PNGs for a look.
TEST_F(StartedWindow, ScreenshotsAfterStartUpAndWithEveryPicture) {
  TempDir temp;
  const char* kept = std::getenv("VELTRANE_SCREENSHOT_DIR");
  const QString dir = QString::fromStdString(kept != nullptr ? std::string(kept) : temp.path());
  QDir().mkpath(dir);
  const QImage startUp = window->grab().toImage();
  ASSERT_TRUE(startUp.save(dir + "/main-window.png"));

  constexpr KeyPicture kinds[] = {
      KeyPicture::Unused,       KeyPicture::Disabled, KeyPicture::Incomplete, KeyPicture::Complete,
      KeyPicture::Illumination, KeyPicture::LedOff,   KeyPicture::Mouse,      KeyPicture::String,
      KeyPicture::System,       KeyPicture::Consumer, KeyPicture::Editing,    KeyPicture::LightUp,
      KeyPicture::LightDown,    KeyPicture::Stop};
  for (std::size_t i = 0; i < view.keyPictures.size(); ++i)
    view.keyPictures[i] = kinds[i % std::size(kinds)];
  view.ledPictures = {KeyPicture::Illumination, KeyPicture::LedOff, KeyPicture::Illumination,
                      KeyPicture::LedOff};
  window->Sync();
  const QImage loaded = window->grab().toImage();
  ASSERT_TRUE(loaded.save(dir + "/main-window-pictures.png"));

  // Every picture looks different from every other at 16 x 16.
  std::vector<QImage> seen;
  for (std::size_t i = 0; i < std::size(kinds); ++i) {
    const QImage picture = window->keyButton(static_cast<int>(i))->grab().toImage();
    for (const QImage& other : seen) EXPECT_NE(picture, other) << "picture " << i;
    seen.push_back(picture);
  }
  EXPECT_NE(startUp, loaded);

  // The pictures scale with the screen.
  EXPECT_EQ(gui::KeyPicturePixmap(KeyPicture::Stop, QSize(48, 48), 2).size(), QSize(96, 96));
}

}  // namespace
}  // namespace veltrane::testing

namespace veltrane::testing {
namespace {

TEST_F(StartedWindow, TitleSaysSimulatedAndTheCloseBoxIsExitOnceATransferEnded) {
  window->SetTitleSuffix(QStringLiteral(" — simulated keyboard"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Veltrane — simulated keyboard"));
  view.modified = true;
  window->Sync();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Veltrane * — simulated keyboard"));
  view.busy = true;
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(events.commands.empty());
  view.busy = false;
  // The command decides (unsaved changes are asked about) and ends the program itself.
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(events.commands, std::vector<int>{ui::id::kExit});
}

}  // namespace
}  // namespace veltrane::testing
