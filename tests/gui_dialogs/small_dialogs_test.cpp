#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/dialogs/dialogs.h"
#include "ui/about_dialog_model.h"

namespace veltrane::gui {
namespace {

QRect QRectOf(const ui::Rect& r) {
  return QRect(r.x, r.y, r.width, r.height);
}

// Every control at its rectangle (a drop-down box only at its closed height),
// labels with their texts, the client area fixed at the layout's size.
void ExpectLayout(const SpecDialog& dialog, const ui::DialogSpec& spec) {
  EXPECT_EQ(dialog.windowTitle().toStdString(), spec.title);
  EXPECT_EQ(dialog.size(), QSize(spec.width, spec.height));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const ui::ControlSpec& control : spec.controls) {
    if (control.kind == ui::ControlKind::Label) {
      EXPECT_TRUE(labels.contains(ToQString(control.text))) << control.text;
      continue;
    }
    const QWidget* widget = dialog.Control(control.id);
    ASSERT_NE(widget, nullptr) << control.id;
    const QRect expected = QRectOf(control.rect);
    if (control.kind == ui::ControlKind::DropDownList) {
      EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft());
      EXPECT_EQ(widget->width(), expected.width());
    } else {
      EXPECT_EQ(widget->geometry(), expected) << control.id;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      EXPECT_EQ(button->text().toStdString(), control.text);
      EXPECT_EQ(button->isDefault(), control.kind == ui::ControlKind::DefaultButton);
    }
  }
}

TEST(LedDialogWidgets, PickStoredAtOnceAndKeptByCancel) {
  model::GlobalSettings settings;
  settings.Led3 = 5;
  const auto dialog = MakeLedDialog(nullptr, settings, 2);
  ExpectLayout(*dialog, ui::LedDialogLayout());
  dialog->show();
  QComboBox* combo = dialog->Combo(ui::kLedComboId);
  ASSERT_EQ(combo->count(), 6);
  EXPECT_EQ(combo->currentIndex(), 5);
  combo->setCurrentIndex(3);
  EXPECT_EQ(combo->currentText(), "Num Lock LED");
  EXPECT_EQ(settings.Led3, 3);
  QTest::mouseClick(dialog->Button(ui::kIdCancel), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_TRUE(dialog->Model().repaintMainWindow);
  EXPECT_EQ(settings.Led3, 3);
  EXPECT_EQ(settings.Led1 + settings.Led2 + settings.Led4, 0);
}

TEST(LedDialogWidgets, EnterIsOkAndEscapeIsCancel) {
  model::GlobalSettings settings;
  const auto ok = MakeLedDialog(nullptr, settings, 0);
  ok->show();
  QTest::keyClick(ok.get(), Qt::Key_Return);
  EXPECT_EQ(ok->result(), QDialog::Accepted);
  EXPECT_TRUE(ok->Model().finished);
  const auto cancel = MakeLedDialog(nullptr, settings, 1);
  cancel->show();
  QTest::keyClick(cancel.get(), Qt::Key_Escape);
  EXPECT_FALSE(cancel->isVisible());
  EXPECT_TRUE(cancel->Model().repaintMainWindow);
}

TEST(PointingDeviceWidgets, OkStoresLowBitsAndCancelNothing) {
  ui::PointDeviceParams params{};
  for (std::size_t i = 0; i < params.size(); ++i) params[i] = static_cast<std::uint8_t>(i * 10);
  const ui::PointDeviceParams before = params;
  const auto dialog = MakePointingDeviceDialog(nullptr, params);
  ExpectLayout(*dialog, ui::PointingDeviceDialogLayout());
  const ui::PointingField& gain = ui::PointingFields()[0];
  const ui::PointingField& inverseW = ui::PointingFields()[19];
  EXPECT_EQ(dialog->Edit(gain.id)->text(), QString::number(params[gain.param]));
  EXPECT_EQ(dialog->Edit(inverseW.id)->text(), QString::number(params[inverseW.param]));
  dialog->show();

  const auto cancelled = MakePointingDeviceDialog(nullptr, params);
  cancelled->show();
  cancelled->Edit(gain.id)->setText("7");
  QTest::mouseClick(cancelled->Button(ui::kIdCancel), Qt::LeftButton);
  EXPECT_EQ(params, before);

  dialog->Edit(gain.id)->clear();
  QTest::keyClicks(dialog->Edit(gain.id), "300");
  dialog->Edit(inverseW.id)->setText("x1");
  QTest::mouseClick(dialog->Button(ui::kIdOk), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(params[gain.param], 44);
  EXPECT_EQ(params[inverseW.param], 0);
  EXPECT_EQ(params[ui::PointingFields()[1].param], before[ui::PointingFields()[1].param]);
}

TEST(AboutWidgets, NameVersionAndOk) {
  const auto about = MakeAboutDialog(nullptr);
  ExpectLayout(*about, ui::AboutDialogLayout());
  about->show();
  QTest::keyClick(about.get(), Qt::Key_Escape);
  EXPECT_FALSE(about->isVisible());
  about->show();
  QTest::mouseClick(about->Button(ui::kIdOk), Qt::LeftButton);
  EXPECT_EQ(about->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace veltrane::gui
