// SPDX-License-Identifier: MIT
// The key editing widgets on the offscreen platform: the dialog run modally
// through KeyEditing, driven from inside its event loop.
#include "gui/keyedit/key_editing.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <functional>
#include <map>

#include "gui/dialogs/control_widgets.h"
#include "gui/keyedit/key_settings_dialog.h"
#include "gui/keyedit/string_editor_window.h"
#include "gui/keyedit/tabbed_line_delegate.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "support/recording_messages.h"

// Readable failures for lists of lines.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace veltrane::gui {
namespace {

// Native scan codes as X11 reports them: the evdev code + 8.
constexpr quint32 kNativeA = 38, kNativeB = 56, kNativeF = 41, kNativeS = 39, kNativeX = 53;
constexpr quint32 kNativeTab = 23, kNativeEscape = 9, kNativeCtrlLeft = 37, kNativeAltLeft = 64;
// Where X puts ISO_Level3_Shift for a layout without an AltGr key, and F13..F24's first.
constexpr quint32 kNativeLevel3 = 92, kNativeNumLock = 77, kNativePrint = 107, kNativeF13 = 191;

void SendKey(QWidget* to, QEvent::Type type, int key, quint32 native, const QString& text = {},
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(type, key, modifiers, native, 0, 0, text);
  QApplication::sendEvent(to, &event);
}

void TypeKey(QWidget* to, int key, quint32 native, const QString& text = {},
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  SendKey(to, QEvent::KeyPress, key, native, text, modifiers);
  SendKey(to, QEvent::KeyRelease, key, native, text, modifiers);
}

class KeyEditingWidgetsTest : public ::testing::Test {
 protected:
  KeyEditingWidgetsTest() {
    model::InitialiseDefinition(def);
    editing = std::make_unique<KeyEditing>(def);
  }

  // Runs the dialog; `steps` runs inside its modal loop and should end it.
  void RunDialog(const std::function<void(KeySettingsDialog&)>& steps) {
    QTimer::singleShot(0, [&] {
      if (KeySettingsDialog* dialog = editing->keySettingsDialog()) steps(*dialog);
      if (KeySettingsDialog* dialog = editing->keySettingsDialog()) dialog->done(0);
    });
    editing->RunKeySettings(&mainWindow, def, target, &log, messages, [&] { ++repaints; });
  }

  template <typename W>
  W* In(QWidget* window, int id) {
    return window->findChild<W*>(ControlObjectName(id));
  }
  template <typename W>
  W* Editor(int id) {
    return In<W>(editing->stringEditorWindow(), id);
  }
  QStringList EditorLines() {
    QStringList lines;
    auto* list = Editor<QListWidget>(ui::id::kStringEditorList);
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }
  model::KeyDefinition& Key() { return def.keys[static_cast<std::size_t>(KeyIndexOf(target))]; }

  model::KeyboardDefinition def;
  ui::EditTarget target{true, 2, 3};
  veltrane::testing::RecordingMessages messages;
  veltrane::testing::RecordingLog log;
  int repaints = 0;
  QWidget mainWindow;
  std::unique_ptr<KeyEditing> editing;
};

TEST_F(KeyEditingWidgetsTest, TypedKeyBecomesTheLayersKeyWhileTheDialogRuns) {
  bool ran = false;
  RunDialog([&](KeySettingsDialog& dialog) {
    ran = true;
    EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog.parentWidget(), &mainWindow);
    EXPECT_EQ(editing->stringEditorWindow()->parentWidget(), nullptr);
    EXPECT_EQ(In<QLabel>(&dialog, ui::id::kPosition)->text(), "3/2");
    In<QCheckBox>(&dialog, ui::id::kLayerUsedFirst)->click();
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst)->click();
    QWidget* editor = editing->stringEditorWindow();
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->windowTitle(), "Key Macro Tool");
    EXPECT_EQ(editor->size(), QSize(750, 520));
    TypeKey(editor, Qt::Key_A, kNativeA, "a");
    EXPECT_EQ(EditorLines(), QStringList{"IBM Key 31\t\t\t\t\t\t\t\t"});
    EXPECT_EQ(Editor<QLabel>(ui::id::kEcho)->text(), "a");
    Editor<QPushButton>(1)->click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Key().layers[0].ibmkey, 31);
    EXPECT_EQ(Key().layers[0].keytype, model::NORMAL_KEY);
    // The dialog shows what the editor assigned.
    EXPECT_EQ(In<QComboBox>(&dialog, ui::id::kIbmKeyListFirst)->currentIndex(), 31);
    EXPECT_EQ(In<QComboBox>(&dialog, ui::id::kKeyTypeListFirst)->currentText(), "Normal Key");
    const int before = repaints;
    In<QPushButton>(&dialog, 1)->click();
    EXPECT_GT(repaints, before);
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(editing->keySettingsDialog(), nullptr);
  EXPECT_EQ(Key().complete, 1);
  EXPECT_EQ(Key().layers[0].used, 1);
}

TEST_F(KeyEditingWidgetsTest, ModifiersFollowTheKeysAndTwoStrokesMakeAString) {
  RunDialog([&](KeySettingsDialog& dialog) {
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst + 1)->click();
    QWidget* editor = editing->stringEditorWindow();
    auto* ctrlLeft = Editor<QCheckBox>(ui::id::kCheckCtrlLeft);
    SendKey(editor, QEvent::KeyPress, Qt::Key_Control, kNativeCtrlLeft);
    EXPECT_TRUE(ctrlLeft->isChecked());
    TypeKey(editor, Qt::Key_B, kNativeB, "\x02", Qt::ControlModifier);
    SendKey(editor, QEvent::KeyRelease, Qt::Key_Control, kNativeCtrlLeft);
    EXPECT_FALSE(ctrlLeft->isChecked());
    // A key pressed while Alt is held: Alt in its line, the check box back off with Alt.
    SendKey(editor, QEvent::KeyPress, Qt::Key_Alt, kNativeAltLeft, {}, Qt::AltModifier);
    EXPECT_TRUE(Editor<QCheckBox>(ui::id::kCheckAlt)->isChecked());
    TypeKey(editor, Qt::Key_X, kNativeX, "x", Qt::AltModifier);
    SendKey(editor, QEvent::KeyRelease, Qt::Key_Alt, kNativeAltLeft);
    EXPECT_FALSE(Editor<QCheckBox>(ui::id::kCheckAlt)->isChecked());
    EXPECT_EQ(EditorLines(),
              (QStringList{"IBM Key 50\t\tCtrl l\t\t\t\t\t\t", "IBM Key 47\tAlt\t\t\t\t\t\t\t"}));
    auto* gauge = editing->stringEditorWindow()->findChild<QLabel*>("capacityGauge");
    EXPECT_EQ(gauge->text(), "Macro store: 3 of 192 entries");  // the list counts before OK
    EXPECT_TRUE(gauge->toolTip().startsWith("The keyboard's macro store"));
    Editor<QPushButton>(1)->click();
    In<QPushButton>(&dialog, 1)->click();
  });
  const model::KeyLayer& layer = Key().layers[1];
  ASSERT_EQ(layer.keytype, model::STRING_KEY);
  EXPECT_EQ(def.settings.NumberOfStrings, 1);
  EXPECT_EQ(model::StringLength(def.stringWorkBuffer[static_cast<std::size_t>(layer.ibmkey)]), 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KeyEditingWidgetsTest, StepsAndCheckBoxesWriteThroughAndCancelGivesTheKeyBack) {
  int result = -1;
  const std::string legend(model::FieldText(def.keys[model::KeyIndex(2, 2)].legend));
  RunDialog([&](KeySettingsDialog& dialog) {
    auto* position = In<QLabel>(&dialog, ui::id::kPosition);
    In<QPushButton>(&dialog, ui::id::kNext)->click();
    EXPECT_EQ(position->text(), "4/2");
    In<QPushButton>(&dialog, ui::id::kPrevious)->click();
    In<QPushButton>(&dialog, ui::id::kPrevious)->click();
    EXPECT_EQ(position->text(), "2/2");
    In<QCheckBox>(&dialog, ui::id::kKeyUsed)->click();
    EXPECT_FALSE(In<QCheckBox>(&dialog, ui::id::kKeyUsed)->isChecked());
    EXPECT_FALSE(In<QCheckBox>(&dialog, ui::id::kKeyEnabled)->isEnabled());
    EXPECT_EQ(Key().used, 0);  // at once, before any store
    In<QLineEdit>(&dialog, ui::id::kLegend)->setText("not stored");
    SendKey(&dialog, QEvent::KeyPress, Qt::Key_Escape, kNativeEscape);
    result = dialog.result();
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(target.column, 2);
  EXPECT_EQ(Key().used, 1);
  EXPECT_EQ(model::FieldText(Key().legend), legend);
}

TEST_F(KeyEditingWidgetsTest, LettersTypedIntoAListSelectItsKeyAndEnterStoresIt) {
  RunDialog([&](KeySettingsDialog& dialog) {
    auto* list = In<QComboBox>(&dialog, ui::id::kIbmKeyListFirst + 1);
    EXPECT_EQ(list->focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(list->isEnabled());
    TypeKey(list, Qt::Key_F, kNativeF, "f");
    EXPECT_EQ(list->currentText(), "Fn1 Button");
    TypeKey(list, Qt::Key_Down, 116);  // the list does not move by itself
    EXPECT_EQ(list->currentIndex(), 134);
    SendKey(list, QEvent::KeyPress, Qt::Key_Return, 36);  // on to the default button
  });
  EXPECT_EQ(Key().layers[1].ibmkey, 134);
}

TEST_F(KeyEditingWidgetsTest, EditorCapturesNavigationKeysOnlyWhenItHasTheFocus) {
  RunDialog([&](KeySettingsDialog& dialog) {
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst)->click();
    QWidget* editor = editing->stringEditorWindow();
    TypeKey(editor, Qt::Key_Tab, kNativeTab, "\t");
    TypeKey(editor, Qt::Key_Escape, kNativeEscape, "\x1b");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(EditorLines().size(), 2);
    EXPECT_EQ(Editor<QLabel>(ui::id::kEcho)->text(), "");  // control characters are not echoed
    // A click on a check box leaves the focus there: keys are not captured.
    auto* base = Editor<QCheckBox>(ui::id::kCheckBase);
    base->setFocus();
    base->click();
    TypeKey(base, Qt::Key_A, kNativeA, "a");
    EXPECT_EQ(EditorLines().size(), 2);
    Editor<QPushButton>(ui::id::kGetFocus)->click();
    TypeKey(editor, Qt::Key_A, kNativeA, "a");
    // Ticked by hand, Base goes into every stroke until it is unticked.
    EXPECT_EQ(EditorLines().last(), "IBM Key 31\t\t\t\tBase\t\t\t\t");
    EXPECT_TRUE(base->isChecked());
    // Selecting a line shows its flags; a check box then rewrites it.
    Editor<QListWidget>(ui::id::kStringEditorList)->setCurrentRow(0);
    EXPECT_FALSE(base->isChecked());
    Editor<QCheckBox>(ui::id::kCheckAlt)->click();
    EXPECT_EQ(EditorLines().first(), "IBM Key 16\tAlt\t\t\t\t\t\t\t");
    emit Editor<QComboBox>(ui::id::kExtraKeys)->activated(5);
    EXPECT_EQ(EditorLines().last(), "F17\t\t\t\t\t\t\t\t");
    EXPECT_EQ(Editor<QComboBox>(ui::id::kExtraKeys)->focusPolicy(), Qt::NoFocus);
    Editor<QPushButton>(2)->click();
    EXPECT_FALSE(editor->isVisible());
    // "Assign Macro" shows the layer afresh, with clear boxes.
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst + 3)->click();
    EXPECT_FALSE(Editor<QCheckBox>(ui::id::kCheckAlt)->isChecked());
    EXPECT_EQ(Editor<QComboBox>(ui::id::kExtraKeys)->currentText(), "F17");
    EXPECT_TRUE(EditorLines().isEmpty());
    Editor<QPushButton>(2)->click();
  });
  EXPECT_EQ(Key().layers[0].keytype, model::UNUSED_KEY);
}

TEST_F(KeyEditingWidgetsTest, HeldBoxesClearWhenTheFocusLeavesAndTickedBoxesStay) {
  RunDialog([&](KeySettingsDialog& dialog) {
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst)->click();
    QWidget* editor = editing->stringEditorWindow();
    auto* shiftLeft = Editor<QCheckBox>(ui::id::kCheckShiftLeft);
    auto* ctrlLeft = Editor<QCheckBox>(ui::id::kCheckCtrlLeft);
    shiftLeft->click();
    Editor<QPushButton>(ui::id::kGetFocus)->click();
    SendKey(editor, QEvent::KeyPress, Qt::Key_Control, kNativeCtrlLeft);
    EXPECT_TRUE(ctrlLeft->isChecked());
    // Its release goes to another window: the box must not stay checked.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(editor, &out);
    EXPECT_FALSE(ctrlLeft->isChecked());
    EXPECT_TRUE(shiftLeft->isChecked());
    Editor<QPushButton>(ui::id::kGetFocus)->click();
    TypeKey(editor, Qt::Key_S, kNativeS, "s");
    TypeKey(editor, Qt::Key_S, kNativeS, "s");
    EXPECT_EQ(EditorLines(), QStringList(2, "IBM Key 32\t\t\tShift l \t\t\t\t\t"));
    EXPECT_TRUE(shiftLeft->isChecked());
    Editor<QPushButton>(2)->click();
  });
}

// Every X keycode through the window's capture: a key lands on the row of a
// key that sends no E0 (letters, digits, punctuation, ...) only when it is
// that key; media keys land on their consumer rows, others on no key.
TEST(KeyCapture, EveryKeycodeIsItselfOrNoKey) {
  std::map<int, quint32> plainKeyOfRow;
  for (int evdev = 1; evdev <= 88; ++evdev)  // their evdev codes are their set 1 codes
    if (const int row = model::ScanToIbmKey[static_cast<std::size_t>(evdev)]; row != 0)
      plainKeyOfRow[row] = static_cast<quint32>(evdev + 8);
  // Except that the key messages give Num Lock E0 45 and Pause (evdev 119) the plain 45.
  plainKeyOfRow[model::ScanToIbmKey[0x45]] = 119 + 8;
  model::KeyboardDefinition def;
  model::InitialiseDefinition(def);
  std::map<quint32, std::string> names;
  for (quint32 keycode = 8; keycode <= 255; ++keycode) {
    ui::StringEditorModel editor;
    ui::CreateStringEditor(editor, def);
    const QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, keycode, 0, 0, {});
    ui::OnStringEditorKeyDown(editor, CapturedKeyOf(press));
    if (editor.lines.empty()) continue;  // a modifier
    const std::string& name = editor.lines[0].name;
    names[keycode] = name;
    const std::optional<int> row = model::FindRowByLegend(name);
    ASSERT_TRUE(row.has_value() || name == "IBM Key 0") << keycode << " " << name;
    if (!row) continue;
    const auto plain = plainKeyOfRow.find(*row);
    if (plain != plainKeyOfRow.end()) {
      EXPECT_EQ(plain->second, keycode) << name;
    }
  }
  // XF86AudioMute, XF86AudioLowerVolume, XF86AudioRaiseVolume, XF86Calculator,
  // XF86AudioNext, XF86AudioPlay, XF86AudioPrev, XF86AudioStop, XF86HomePage.
  const std::map<quint32, std::string> media = {
      {121, "Mute"},       {122, "Volume down"}, {123, "Volume up"},
      {148, "IBM Key 0"},  {171, "Next track"},  {172, "Play-Pause"},
      {173, "Prev track"}, {174, "Stop"},        {180, "IBM Key 0"}};
  for (const auto& [keycode, name] : media) EXPECT_EQ(names[keycode], name) << keycode;
  EXPECT_EQ(names[38], "IBM Key 31");  // a
}

TEST_F(KeyEditingWidgetsTest, AltGrNumLockPrintScreenAndF13AreCapturedAsTheirKeys) {
  RunDialog([&](KeySettingsDialog& dialog) {
    In<QPushButton>(&dialog, ui::id::kAssignMacroFirst)->click();
    QWidget* editor = editing->stringEditorWindow();
    auto* altGr = Editor<QCheckBox>(ui::id::kCheckAltGr);
    SendKey(editor, QEvent::KeyPress, Qt::Key_AltGr, kNativeLevel3);
    EXPECT_TRUE(altGr->isChecked());
    EXPECT_FALSE(Editor<QCheckBox>(ui::id::kCheckAlt)->isChecked());
    TypeKey(editor, Qt::Key_B, kNativeB, "b");
    SendKey(editor, QEvent::KeyRelease, Qt::Key_AltGr, kNativeLevel3);
    EXPECT_FALSE(altGr->isChecked());
    TypeKey(editor, Qt::Key_NumLock, kNativeNumLock);
    TypeKey(editor, Qt::Key_Print, kNativePrint);
    TypeKey(editor, Qt::Key_F13, kNativeF13);
    EXPECT_EQ(EditorLines(),
              (QStringList{"IBM Key 50\t\t\t\t\t\tAlt Gr1\t\t", "IBM Key 90\t\t\t\t\t\t\t\t",
                           "IBM Key 124\t\t\t\t\t\t\t\t", "F13\t\t\t\t\t\t\t\t"}));
  });
}

TEST_F(KeyEditingWidgetsTest, AKeyPickedInAListIsPendingUntilOk) {
  Key().layers[2] = {1, {}, 3, 0, model::STRING_KEY};
  RunDialog([&](KeySettingsDialog& dialog) {
    auto* keys = In<ChoiceList>(&dialog, ui::id::kIbmKeyListFirst + 1);
    auto* note = In<QLabel>(&dialog, ui::id::kLayerNoteFirst + 1);
    EXPECT_TRUE(note->text().isEmpty());
    auto* items = qobject_cast<QStandardItemModel*>(keys->model());
    EXPECT_FALSE(items->item(133)->isEnabled());  // "String"
    EXPECT_TRUE(items->item(147)->isEnabled());
    emit keys->activated(147);
    EXPECT_EQ(keys->currentText(), "F13");
    EXPECT_EQ(note->text(), QString::fromUtf8(ui::kChosenNote.data()));
    // A string layer's lists never open.
    auto* locked = In<ChoiceList>(&dialog, ui::id::kIbmKeyListFirst + 2);
    locked->showPopup();
    EXPECT_FALSE(locked->view()->isVisible());
    In<QPushButton>(&dialog, 1)->click();
  });
  EXPECT_EQ(Key().layers[1].usbcode, 0x68);
}

TEST_F(KeyEditingWidgetsTest, LegendsAreUtf8AndSurviveOkSaveAndReload) {
  const QString prix = QString::fromUtf8("Prix\u20AC");
  model::KeyDefinition& first = Key();
  model::KeyDefinition& next = def.keys[model::KeyIndex(2, 4)];
  model::SetFieldText(next.legend, "Caf\xE9");  // Latin-1, from a file written elsewhere
  RunDialog([&](KeySettingsDialog& dialog) {
    auto* legend = In<QLineEdit>(&dialog, ui::id::kLegend);
    legend->selectAll();
    for (const QChar c : prix) TypeKey(legend, 0, 0, QString(c));
    In<QPushButton>(&dialog, ui::id::kNext)->click();
    EXPECT_EQ(legend->text(), QString::fromUtf8("Caf\u00E9"));
    In<QPushButton>(&dialog, 1)->click();
  });
  EXPECT_EQ(model::FieldText(first.legend), "Prix\xE2\x82\xAC");
  EXPECT_EQ(model::FieldText(next.legend), "Caf\xE9");  // not edited: its bytes stay
  persist::HeaderImage header{};
  const auto file = persist::EncodeConfigFile(def, header);
  model::InitialiseDefinition(def);
  ASSERT_EQ(persist::DecodeConfigFile(file, def, header), persist::LoadOutcome::Loaded);
  EXPECT_EQ(ToQString(model::FieldText(first.legend)), prix);
}

TEST(TabbedTextPositions, ColumnsStartAtTheNextStopPastTheTextBefore) {
  const std::vector<int> stops = {45, 70, 100};
  // A name past the first stop pushes its column to the next; empty columns keep their stops.
  EXPECT_EQ(TabbedTextPositions(std::vector{50, 0, 0}, stops, 3), (std::vector{0, 70, 100}));
  EXPECT_EQ(TabbedTextPositions(std::vector{10, 10, 0}, stops, 3), (std::vector{0, 45, 70}));
  // Past the last stop a blank separates the texts.
  EXPECT_EQ(TabbedTextPositions(std::vector{10, 0, 0, 20, 5}, stops, 3),
            (std::vector{0, 45, 70, 100, 123}));
}

}  // namespace
}  // namespace veltrane::gui
