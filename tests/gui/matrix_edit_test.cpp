// SPDX-License-Identifier: MIT
// The key matrix's drag and drop and key menu, and the Edit menu in the real
// program: undo and redo by their shortcuts, the keys cut, copied and pasted.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "gui/dialogs/layer_dialog.h"
#include "gui/matrix_drag.h"
#include "gui/program.h"
#include "gui_fixture.h"
#include "modal_dialog.h"
#include "model/key_tables.h"
#include "simulated_desk.h"
#include "ui/app/undo_commands.h"
#include "ui/controls/control_ids.h"

namespace veltrane::testing {
namespace {

using Drop = RecordingEvents::Drop;

// Presses on `source`, moves over `surface` by way of `via` to `to`, releases there.
void DragKey(QWidget* surface, QWidget* source, QPoint to, QPoint via,
             Qt::KeyboardModifiers atDrop = {}) {
  QTest::mousePress(source, Qt::LeftButton, {}, source->rect().center());
  const QPoint end = source->mapFrom(surface, to);
  QTest::mouseMove(source, source->mapFrom(surface, via));
  QTest::mouseMove(source, end);
  QTest::mouseRelease(source, Qt::LeftButton, atDrop, end);
  QCoreApplication::processEvents();
}

class MatrixDrag : public StartedWindow {
 protected:
  QWidget* Key(int index) { return window->keyButton(index); }
  void Drag(int from, QPoint to, Qt::KeyboardModifiers atDrop = {}) {
    DragKey(window->surface(), Key(from), to, to, atDrop);
  }
  QPoint CenterOf(int index) { return Key(index)->geometry().center(); }
};

TEST_F(MatrixDrag, ADropMovesCtrlCopiesAndShiftSwapsAndOneOutsideOrOntoItselfDoesNothing) {
  Drag(29, QPoint(600, 300));                                       // over the settings
  Drag(29, QPoint(30, 30));                                         // beside the matrix
  DragKey(window->surface(), Key(29), CenterOf(29), CenterOf(38));  // away and back onto itself
  Drag(29, QPoint(158, 108));                                       // between two buttons
  EXPECT_TRUE(events.drops.empty());
  Drag(29, CenterOf(38));
  Drag(29, CenterOf(0), Qt::ControlModifier);
  Drag(127, CenterOf(29), Qt::ShiftModifier);
  EXPECT_EQ(events.drops, (std::vector<Drop>{{29, 38, model::KeyMove::Move},
                                             {29, 0, model::KeyMove::Copy},
                                             {127, 29, model::KeyMove::Swap}}));
  EXPECT_TRUE(events.commands.empty());        // a drag is no click: Key Settings does not open
  QTest::mouseClick(Key(29), Qt::LeftButton);  // a click still opens the position
  EXPECT_EQ(events.commands, std::vector<int>{ui::id::kFirstKeyButton + 29});
}

TEST_F(MatrixDrag, FramesShowTheSelectedPositionAndTheKeyCutOrCopied) {
  view.selectedKey = 29;
  view.markedKey = 38;
  window->Sync();
  const auto frames = window->surface()->findChildren<QFrame*>(Qt::FindDirectChildrenOnly);
  int shown = 0;
  for (const QFrame* frame : frames) {
    if (!frame->isVisible() || !frame->testAttribute(Qt::WA_TransparentForMouseEvents)) continue;
    ++shown;
    EXPECT_TRUE(frame->geometry().contains(Key(29)->geometry()) ||
                frame->geometry().contains(Key(38)->geometry()));
  }
  EXPECT_EQ(shown, 2);
}

TEST_F(MatrixDrag, TheEditMenuNamesItsStepsAndWaitsForATransfer) {
  QAction* undo = window->editAction(ui::id::kUndo);
  view.undoCaption = "Undo Load R&D.DAT";
  view.undoEnabled = true;
  view.busy = true;
  window->Sync();
  EXPECT_EQ(undo->text(), "Undo Load R&&D.DAT");
  EXPECT_FALSE(undo->isEnabled());  // no undo while a transfer runs
  view.busy = false;
  window->Sync();
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(window->editAction(ui::id::kPasteKey)->isEnabled());  // nothing cut or copied
}

// The whole program: the controller behind the window.
class EditMenu : public SimulatedDesk {
 protected:
  EditMenu() {
    program = std::make_unique<gui::Program>("");
    program->boxes.SetAnswer([this](const std::string& text, const std::string& caption,
                                    model::MessageIcon) { boxes.push_back(caption + "|" + text); });
    program->boxes.SetChoice([](const std::string&) { return ui::SaveChoice::Discard; });
    program->Start(0, dir.File("vtlog.txt"));
    gui::MainWindow& w = program->window;
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  }
  gui::MainWindow& window() { return program->window; }
  model::KeyDefinition& Key(int index) {
    return program->app.doc.def.keys[static_cast<std::size_t>(index)];
  }
  // Runs the key menu of a position and picks `item` in it.
  void KeyMenu(int key, const QString& item) {
    QTimer::singleShot(20, [item] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction* action : menu->actions())
        if (action->text() == item) {
          menu->close();
          return action->trigger();
        }
      ADD_FAILURE() << "no item " << item.toStdString();
      menu->close();
    });
    QWidget* button = window().keyButton(key);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(8, 8),
                            button->mapToGlobal(QPoint(8, 8)));
    QApplication::sendEvent(button, &event);
  }

  std::vector<std::string> boxes;
  std::unique_ptr<gui::Program> program;
};

// A field undoes its own typing and leaves the rest to the Edit menu, whose steps the title
// follows.
TEST_F(EditMenu, TheStepsAreUndoneAndRedoneByTheirShortcutsAndTheTitleFollows) {
  auto* debounce = qobject_cast<QLineEdit*>(window().control(ui::id::kDebounce));
  auto* serial = qobject_cast<QLineEdit*>(window().control(ui::id::kSerial));
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  debounce->setFocus();
  debounce->selectAll();
  QTest::keyClicks(debounce, "12");
  serial->setFocus();  // Tab: the debounce time is committed, the serial field has nothing to undo
  EXPECT_EQ(window().editAction(ui::id::kUndo)->text(), "Undo DebounceTime 28 \u2192 12");
  EXPECT_TRUE(window().windowTitle().contains(" *"));
  QTest::keyClick(serial, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(program->app.doc.def.settings.DebounceTime, 28u);
  EXPECT_EQ(debounce->text(), "28");
  EXPECT_FALSE(window().windowTitle().contains(" *"));
  QTest::keyClicks(serial, "SN");
  QTest::keyClick(serial, Qt::Key_Z, Qt::ControlModifier);  // the typing, not a step
  EXPECT_EQ(serial->text(), "");
  EXPECT_EQ(window().editAction(ui::id::kRedo)->text(), "Redo DebounceTime 28 \u2192 12");
  // The same from a list with a field of its own, which gets its keys through the list.
  auto* rows = qobject_cast<QComboBox*>(window().control(ui::id::kMaxScanRow));
  rows->setFocus();
  QTest::keyClick(rows, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(program->app.doc.def.settings.DebounceTime, 12u);
}

TEST_F(EditMenu, KeysAreCopiedAndPastedByTheKeyMenu) {
  model::AssignTableKey(Key(29).layers[0], 31);
  KeyMenu(29, "&Copy key");
  EXPECT_EQ(program->view.selectedKey, 29);
  KeyMenu(38, "&Paste key");
  EXPECT_EQ(Key(38).layers[0].ibmkey, 31);
  EXPECT_EQ(window().editAction(ui::id::kUndo)->text(), "Undo Copy 3/5 to 4/6");
}

TEST_F(EditMenu, ADragInTheRealWindowIsOneStepAndUndoGivesTheKeyBack) {
  model::AssignTableKey(Key(29).layers[0], 31);
  ui::ForgetSteps(program->app);
  const QPoint to = window().keyButton(38)->geometry().center();
  DragKey(window().surface(), window().keyButton(29), to, to);
  EXPECT_EQ(Key(38).layers[0].ibmkey, 31);
  EXPECT_EQ(Key(29).layers[0].keytype, model::UNUSED_KEY);
  EXPECT_EQ(window().editAction(ui::id::kUndo)->text(), "Undo Move 3/5 to 4/6");
  TriggerMenu(window(), "Undo Move 3/5 to 4/6");
  EXPECT_EQ(Key(29).layers[0].ibmkey, 31);
}

TEST_F(EditMenu, CopyLayerAsksWhatItChangesAndIsOneStep) {
  for (int k = 0; k < 37; ++k) model::AssignTableKey(Key(k).layers[1], 1 + k);
  WithModalDialog([&] { TriggerMenu(window(), QString::fromUtf8("Copy &layer\u2026")); },
                  [](QDialog& dialog) {
                    auto& layers = static_cast<gui::LayerDialog&>(dialog);
                    QComboBox* from = layers.Combo(ui::id::kLayerFrom);
                    from->setCurrentIndex(1);
                    emit from->activated(1);
                    EXPECT_FALSE(layers.Button(ui::id::kOk)->isEnabled());  // onto itself
                    QComboBox* to = layers.Combo(ui::id::kLayerTo);
                    to->setCurrentIndex(2);
                    emit to->activated(2);
                    EXPECT_EQ(qobject_cast<QLabel*>(layers.Control(ui::id::kLayerQuestion))->text(),
                              "Copy Fn1 to Fn2: 37 keys change");
                    layers.Button(ui::id::kOk)->click();
                  });
  EXPECT_EQ(Key(36).layers[2].ibmkey, 37);
  EXPECT_EQ(window().editAction(ui::id::kUndo)->text(), "Undo Copy Fn1 to Fn2");
}

}  // namespace
}  // namespace veltrane::testing
