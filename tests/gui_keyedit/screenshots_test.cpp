// Writes the pictures of the key editing windows that the README shows:
//   gui_keyedit_tests --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "gui/keyedit/control_widgets.h"
#include "gui/keyedit/key_editing.h"
#include "gui/keyedit/key_settings_dialog.h"
#include "support/recording_messages.h"

namespace veltrane::gui {
namespace {

void Key(QWidget* to, QEvent::Type type, int key, quint32 native, const QString& text,
         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(type, key, modifiers, native, 0, 0, text);
  QApplication::sendEvent(to, &event);
}

void Press(QWidget* window, int id) {
  window->findChild<QAbstractButton*>(ControlObjectName(id))->click();
}

TEST(Screenshots, DISABLED_KeySettingsDialogAndStringEditor) {
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  ui::EditTarget target{true, 2, 3};
  model::SetFieldText(def.keys[model::KeyIndex(2, 3)].legend, "Copy");
  veltrane::testing::RecordingMessages messages;
  KeyEditing editing(def);
  QWidget mainWindow;
  const QString docs = QStringLiteral(VELTRANE_TEST_DATA "/../../docs/");
  QTimer::singleShot(0, [&] {
    KeySettingsDialog* dialog = editing.keySettingsDialog();
    ASSERT_NE(dialog, nullptr);
    QWidget* editor = editing.stringEditorWindow();
    for (const int layer : {0, 1}) Press(dialog, ui::kIdLayerUsedFirst + layer);
    Press(dialog, ui::kIdAssignMacroFirst + 1);  // Ctrl+C on layer 1
    Key(editor, QEvent::KeyPress, Qt::Key_Control, 37, {});
    Key(editor, QEvent::KeyPress, Qt::Key_C, 54, "\x03", Qt::ControlModifier);
    Key(editor, QEvent::KeyRelease, Qt::Key_Control, 37, {});
    Press(editor, 1);
    Press(dialog, ui::kIdAssignMacroFirst);  // a macro on layer 0
    Key(editor, QEvent::KeyPress, Qt::Key_Shift, 50, {});
    Key(editor, QEvent::KeyPress, Qt::Key_H, 43, "H", Qt::ShiftModifier);
    Key(editor, QEvent::KeyRelease, Qt::Key_Shift, 50, {});
    for (const auto& [key, native, text] :
         {std::tuple{Qt::Key_I, 31, "i"}, {Qt::Key_Space, 65, " "}, {Qt::Key_F5, 71, ""}})
      Key(editor, QEvent::KeyPress, key, static_cast<quint32>(native), text);
    Key(editor, QEvent::KeyPress, Qt::Key_Alt, 64, {}, Qt::AltModifier);
    Key(editor, QEvent::KeyPress, Qt::Key_Tab, 23, "\t", Qt::AltModifier);
    Key(editor, QEvent::KeyRelease, Qt::Key_Alt, 64, {});
    Press(editor, ui::kIdLeftMouse);
    Key(editor, QEvent::KeyPress, Qt::Key_Exclam, 10, "!", Qt::ShiftModifier);
    editor->findChild<QListWidget*>(ControlObjectName(ui::kIdStringEditorList))->setCurrentRow(0);
    EXPECT_TRUE(editor->grab().save(docs + "string-editor.png"));
    Press(editor, 1);
    EXPECT_TRUE(dialog->grab().save(docs + "key-settings-dialog.png"));
    Press(dialog, 2);
  });
  editing.RunKeySettings(&mainWindow, def, target, nullptr, messages, [] {});
}

}  // namespace
}  // namespace veltrane::gui
