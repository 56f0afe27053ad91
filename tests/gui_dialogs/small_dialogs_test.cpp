// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/dialogs/dialogs.h"
#include "tests/gui_dialogs/grab.h"
#include "ui/dialogs/about_dialog_model.h"

namespace veltrane::gui {
namespace {

// Every control at its rectangle (a drop-down box at its closed height), the
// labels' and buttons' texts, the client area fixed at the layout's size.
void ExpectLayout(const LayoutDialog& dialog, const ui::DialogLayout& layout) {
  EXPECT_EQ(dialog.windowTitle().toStdString(), layout.title);
  EXPECT_EQ(dialog.size(), QSize(layout.width, layout.height));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const ui::Control& control : layout.controls) {
    if (control.kind == ui::ControlKind::Static) {
      EXPECT_TRUE(labels.contains(ToQString(control.text))) << control.text;
      continue;
    }
    const QWidget* widget = dialog.Control(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    const ui::Rect& r = control.rect;
    const bool dropDown = control.kind == ui::ControlKind::DropDownList;
    EXPECT_EQ(widget->geometry(), QRect(r.x, r.y, r.width, dropDown ? widget->height() : r.height));
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      EXPECT_EQ(button->text().toStdString(), control.text);
      EXPECT_EQ(button->isDefault(), control.kind == ui::ControlKind::DefaultButton);
    }
  }
}

TEST(LedDialogWidgets, PickStoredAtOnceKeptByCancelEnterIsOk) {
  model::Settings settings;
  settings.Leds[2] = 5;
  const auto dialog = MakeLedDialog(nullptr, settings, 2);
  ExpectLayout(*dialog, ui::LedDialogLayout());
  dialog->show();
  QComboBox* combo = dialog->Combo(ui::id::kLedList);
  ASSERT_EQ(combo->count(), 6);
  EXPECT_EQ(combo->currentIndex(), 5);
  combo->setCurrentIndex(3);
  EXPECT_EQ(combo->currentText(), "Num Lock LED");
  EXPECT_EQ(settings.Leds[2], 3);
  Grab(*dialog, "key-led-dialog.png");
  QTest::mouseClick(dialog->Button(ui::id::kCancel), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(dialog->Model().repaintMainWindow);
  EXPECT_EQ(settings.Leds[2], 3);
  EXPECT_EQ(settings.Leds[0] + settings.Leds[1] + settings.Leds[3], 0);

  const auto ok = MakeLedDialog(nullptr, settings, 0);
  ok->show();
  QTest::keyClick(ok.get(), Qt::Key_Return);
  EXPECT_EQ(ok->result(), QDialog::Accepted);
  EXPECT_TRUE(ok->Model().repaintMainWindow);
}

TEST(PointingDeviceWidgets, OkRefusesBadFieldsThenStoresAndCancelStoresNothing) {
  ui::PointDeviceParams params = model::kPointDeviceStartValues;
  const ui::PointDeviceParams before = params;
  const ui::PointingField& gain = ui::PointingFields()[0];
  const ui::PointingField& inverseW = ui::PointingFields()[19];
  const auto cancelled = MakePointingDeviceDialog(nullptr, params);
  cancelled->show();
  cancelled->Edit(gain.id)->setText("7");
  QTest::keyClick(cancelled.get(), Qt::Key_Escape);
  EXPECT_FALSE(cancelled->isVisible());
  EXPECT_EQ(params, before);

  const auto dialog = MakePointingDeviceDialog(nullptr, params);
  ExpectLayout(*dialog, ui::PointingDeviceDialogLayout());
  EXPECT_EQ(dialog->Edit(inverseW.id)->text(), QString::number(params[inverseW.param]));
  dialog->show();
  Grab(*dialog, "pointing-device-dialog.png");
  dialog->Edit(gain.id)->clear();
  QTest::keyClicks(dialog->Edit(gain.id), "300");
  dialog->Edit(inverseW.id)->setText("x1");
  QTest::mouseClick(dialog->Button(ui::id::kOk), Qt::LeftButton);
  EXPECT_TRUE(dialog->isVisible());  // refused: the stored values again, and why
  EXPECT_EQ(params, before);
  EXPECT_EQ(dialog->Edit(gain.id)->text(), "13");
  EXPECT_EQ(dialog->Edit(gain.id)->toolTip(), "300 is outside 0..255: iGain1N stays 13");
  dialog->Edit(gain.id)->setText("44");
  QTest::mouseClick(dialog->Button(ui::id::kOk), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(params[gain.param], 44);
  EXPECT_EQ(params[inverseW.param], before[inverseW.param]);
  EXPECT_EQ(params[1], before[1]);
}

TEST(AboutWidgets, NameVersionAndOk) {
  const auto about = MakeAboutDialog(nullptr);
  ExpectLayout(*about, ui::AboutDialogLayout());
  about->show();
  Grab(*about, "about-dialog.png");
  QTest::mouseClick(about->Button(ui::id::kOk), Qt::LeftButton);
  EXPECT_EQ(about->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace veltrane::gui
