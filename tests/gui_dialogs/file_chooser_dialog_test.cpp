// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/dialogs/dialogs.h"
#include "tests/gui_dialogs/grab.h"

namespace veltrane::gui {
namespace {

QStringList Entries(const QListWidget* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
  return entries;
}

// As the platform delivers it: a click, then the double click.
void DoubleClick(QListWidget* list, int row) {
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// A temporary tree the choosers open on; the process's current directory is never touched.
class FileChooserWidgets : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.isValid());
    QDir root(root_);
    for (const char* dir : {"sub", "dotted.dir", "empty"}) ASSERT_TRUE(root.mkdir(dir));
    for (const char* file : {"b.DAT", "a.dat", "notes.txt", "README", "sub/c.Dat"}) {
      ASSERT_TRUE(QFile(root.filePath(file)).open(QIODevice::WriteOnly));
    }
  }
  void TearDown() override { EXPECT_EQ(QDir::currentPath(), previous_); }

  std::unique_ptr<FileChooserDialog> Open(ui::ChooserKind kind) {
    auto dialog =
        std::make_unique<FileChooserDialog>(nullptr, kind, files_, root_.toStdString(), nullptr);
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    return dialog;
  }

  const QString previous_ = QDir::currentPath();
  fileaccess::RealFileSystem files_;
  QTemporaryDir tree_;
  const QString root_ = QDir(tree_.path()).canonicalPath();
};

TEST_F(FileChooserWidgets, LoadBrowsesAndReturnsTheAbsolutePath) {
  const auto dialog = Open(ui::ChooserKind::Load);
  QListWidget* dirs = dialog->List(ui::id::kLoadDirectories);
  QListWidget* files = dialog->List(ui::id::kLoadFiles);
  EXPECT_EQ(Entries(dirs), (QStringList{"..", "empty", "sub"}));
  EXPECT_EQ(Entries(files), (QStringList{"a.dat", "b.DAT"}));
  EXPECT_TRUE(root_.startsWith(dialog->Combo(ui::id::kLoadPlaces)->currentText()));
  const auto* path = qobject_cast<QLabel*>(dialog->Control(ui::id::kChooserDirectory));
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->toolTip(), root_);
  Grab(*dialog, "load-file-dialog.png");
  DoubleClick(dirs, 2);
  EXPECT_EQ(dialog->Model().directory, (root_ + "/sub").toStdString());
  EXPECT_EQ(path->toolTip(), root_ + "/sub");
  EXPECT_EQ(Entries(dirs), (QStringList{".."}));
  EXPECT_EQ(Entries(files), (QStringList{"c.Dat"}));
  QTest::mouseClick(dialog->Button(ui::id::kOk), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->LoadedPath(), (root_ + "/sub/c.Dat").toStdString());

  const auto again = Open(ui::ChooserKind::Load);
  DoubleClick(again->List(ui::id::kLoadFiles), 1);
  EXPECT_EQ(again->LoadedPath(), (root_ + "/b.DAT").toStdString());
}

TEST_F(FileChooserWidgets, SaveListsFilesWithoutExtensionAndReturnsTheTypedName) {
  const auto dialog = Open(ui::ChooserKind::Save);
  EXPECT_EQ(Entries(dialog->List(ui::id::kSaveDirectories)),
            (QStringList{"..", "empty", "README", "sub"}));
  EXPECT_EQ(Entries(dialog->List(ui::id::kSaveFiles)), (QStringList{"a.dat", "b.DAT"}));
  QLineEdit* name = dialog->Edit(ui::id::kSaveName);
  EXPECT_TRUE(name->text().isEmpty());  // picking a file does not fill it
  QTest::keyClicks(name, "keys.DAT");
  Grab(*dialog, "save-file-dialog.png");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(dialog->SaveName(), (root_ + "/keys.DAT").toStdString());

  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", (root_ + "/sub").toUtf8());  // the second place
  const auto cancelled = Open(ui::ChooserKind::Save);
  qputenv("HOME", home);
  QTest::keyClicks(cancelled->Edit(ui::id::kSaveName), "other.DAT");
  QTest::keyClick(cancelled->Combo(ui::id::kSavePlaces), Qt::Key_Down);
  EXPECT_EQ(cancelled->Model().directory, (root_ + "/sub").toStdString());
  EXPECT_EQ(Entries(cancelled->List(ui::id::kSaveFiles)), (QStringList{"c.Dat"}));
  QTest::mouseClick(cancelled->Button(ui::id::kCancel), Qt::LeftButton);
  EXPECT_EQ(cancelled->SaveName(), "");

  // A name longer than the field is cut between characters, not inside one.
  const auto longName = Open(ui::ChooserKind::Save);
  longName->Edit(ui::id::kSaveName)->setText(QString(200, QChar(0x00E9)));
  QTest::mouseClick(longName->Button(ui::id::kOk), Qt::LeftButton);
  EXPECT_EQ(longName->SaveName(), (root_ + "/" + QString(127, QChar(0x00E9))).toStdString());
}

}  // namespace
}  // namespace veltrane::gui
