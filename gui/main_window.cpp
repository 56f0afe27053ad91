// SPDX-License-Identifier: MIT
#include "gui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>

#include "gui/dialogs/control_widgets.h"
#include "gui/key_codes.h"
#include "gui/main_window_widgets.h"
#include "gui/matrix_drag.h"
#include "ui/main_window/control_table.h"
#include "ui/main_window/matrix_view.h"

namespace veltrane::gui {
namespace {

QString KeyName(int index, ui::KeyPicture picture) {
  return ToQString(
      ui::KeyAccessibleName(index / model::kColumns, index % model::kColumns, picture));
}

}  // namespace

MainWindow::MainWindow(ui::MainWindowModel& model, ui::ProgressBar& progress,
                       ui::MainWindowEvents& events)
    : model_(model), progressModel_(progress), events_(events) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  surface_ = new ControlSurface(this);
  surface_->setFixedSize(kClientWidth, kClientHeight);
  // Scrolls only where the window is larger than the screen (a HiDPI scale on a small one).
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidget(surface_);
  setCentralWidget(scroll_);
  CreateMenus();
  CreateMatrix();
  CreateControls();
  CreateShortcuts();

  progress_ = new QProgressBar(surface_);
  progress_->setTextVisible(false);
  const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  progress_->setGeometry(0, kClientHeight - barHeight, kClientWidth, barHeight);
  progressModel_.changed = [this](const ui::ProgressBar& bar) { ShowProgress(bar); };

  FitToScreen(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  Sync();
}

void MainWindow::FitToScreen(const QSize& available) {
  QSize natural(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  if (natural.width() <= available.width() && natural.height() <= available.height()) {
    setFixedSize(natural);
    return;
  }
  // A scroll bar on one side takes room from the other.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (natural.height() > available.height()) natural.rwidth() += bar;
  if (natural.width() > available.width()) natural.rheight() += bar;
  setMinimumSize(QSize(160, 120).boundedTo(available));
  setMaximumSize(natural);
  resize(natural.boundedTo(available));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (fittedToScreen_ || screen() == nullptr) return;
  fittedToScreen_ = true;
  // The frame is not known before the window manager adds it: a title bar's worth.
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  FitToScreen(screen()->availableGeometry().size() - QSize(0, title));
}

MainWindow::~MainWindow() {
  progressModel_.changed = nullptr;
  // Closing and deleting the widgets takes the focus from a field, which then
  // reports itself finished: nothing may reach the model or this window any more.
  for (QObject* child : findChildren<QObject*>())
    QObject::disconnect(child, nullptr, this, nullptr);
}

void MainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  connect(file->addAction(QString::fromUtf8("&Export as text\u2026")), &QAction::triggered, this,
          CommandOf(ui::id::kExportText));
  importText_ = file->addAction(QString::fromUtf8("&Import text\u2026"));
  connect(importText_, &QAction::triggered, this, CommandOf(ui::id::kImportText));
  file->addSeparator();
  connect(file->addAction(QString::fromUtf8("Export &picture\u2026")), &QAction::triggered, this,
          CommandOf(ui::id::kExportPicture));
  QAction* print = file->addAction(QString::fromUtf8("&Print\u2026"));
  print->setShortcut(QKeySequence::Print);
  connect(print, &QAction::triggered, this, CommandOf(ui::id::kPrint));
  file->addSeparator();
  connect(file->addAction(QString::fromUtf8("&Production line\u2026")), &QAction::triggered, this,
          CommandOf(ui::id::kProductionLine));
  file->addSeparator();
  connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, this,
          CommandOf(ui::id::kExit));
  CreateEditMenu();
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  connect(help->addAction(QStringLiteral("&About ...")), &QAction::triggered, this,
          CommandOf(ui::id::kAbout));
}

void MainWindow::CreateEditMenu() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  const auto add = [&](int id, const char* text, QList<QKeySequence> keys = {}) {
    QAction* action = edit->addAction(QString::fromUtf8(text));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, CommandOf(id));
    editActions_[id] = action;
  };
  add(ui::id::kUndo, "&Undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
  add(ui::id::kRedo, "&Redo",
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  add(ui::id::kCutKey, "Cu&t key", {QKeySequence(Qt::CTRL | Qt::Key_X)});
  add(ui::id::kCopyKey, "&Copy key", {QKeySequence(Qt::CTRL | Qt::Key_C)});
  add(ui::id::kPasteKey, "&Paste key", {QKeySequence(Qt::CTRL | Qt::Key_V)});
  add(ui::id::kSwapKey, "S&wap with cut or copied key");
  edit->addSeparator();
  add(ui::id::kCopyLayer, "Copy &layer\u2026");
  add(ui::id::kSwapLayers, "Swap la&yers\u2026");
  add(ui::id::kClearLayer, "Clear l&ayer\u2026");
}

QAction* MainWindow::editAction(int id) const {
  const auto found = editActions_.find(id);
  return found == editActions_.end() ? nullptr : found->second;
}

void MainWindow::ShowKeyMenu(int key, const QPoint& globalPosition) {
  Forward([this, key] { events_.OnKeySelected(key); });
  QMenu menu(this);
  for (const int id : {ui::id::kCutKey, ui::id::kCopyKey, ui::id::kPasteKey, ui::id::kSwapKey})
    menu.addAction(editActions_.at(id));
  menu.exec(globalPosition);
}

void MainWindow::CreateShortcuts() {
  // Alt with "?" (typed with Shift on most layouts) or with "/", while this window is active.
  // One shortcut holds every form, so a press that matches two of them still runs About once.
  auto* about = new QShortcut(this);
  about->setKeys({QKeySequence(Qt::ALT | Qt::Key_Question),
                  QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Question),
                  QKeySequence(Qt::ALT | Qt::Key_Slash)});
  about->setContext(Qt::WindowShortcut);
  const auto runAbout = CommandOf(ui::id::kAbout);
  connect(about, &QShortcut::activated, this, runAbout);
  connect(about, &QShortcut::activatedAmbiguously, this, runAbout);
}

void MainWindow::CreateMatrix() {
  for (int row = 0; row < model::kRows; ++row) {
    for (int column = 0; column < model::kColumns; ++column) {
      const ui::Control place = ui::KeyButtonAt(row, column);
      auto* button = static_cast<PictureButton*>(CreateControl(surface_, place));
      connect(button, &QAbstractButton::clicked, this, CommandOf(place.id));
      keys_[static_cast<std::size_t>(model::KeyIndex(row, column))] = button;
    }
  }
  gestures_ = new MatrixGestures(
      surface_, keys_,
      [this](int from, int to, model::KeyMove how) {
        Forward([this, from, to, how] { events_.OnKeyDropped(from, to, how); });
      },
      [this](int key, const QPoint& at) { ShowKeyMenu(key, at); });
}

std::function<void()> MainWindow::CommandOf(int id) {
  // A field being typed in is handed over first: the command (a save, the
  // question before a way out) sees what the window shows.
  return [this, id] {
    Forward([this, id] {
      CommitTyping();
      events_.OnCommand(id);
    });
  };
}

void MainWindow::CommitTyping() {
  for (const std::function<void()>& commit : commits_) commit();
}

void MainWindow::CreateControls() {
  std::size_t led = 0;
  for (const ui::Control& entry : ui::ControlTable()) {
    QWidget* widget = CreateControl(surface_, entry);
    Connect(entry.id, widget);
    if (auto* picture = qobject_cast<PictureButton*>(widget); picture && led < leds_.size())
      leds_[led++] = picture;
    if (entry.id != ui::id::kNone) controls_[entry.id] = widget;
  }
}

// What the user finished typing in `field` (Enter, leaving it, or a command),
// once: reported while `typed` says the field holds text not yet reported.
template <typename Typed, typename Report>
void MainWindow::OnFinished(QLineEdit* field, Typed typed, Report report) {
  const auto commit = [field, typed, report] {
    if (!typed()) return;
    field->setModified(false);
    report(ToBytes(field->text()));
  };
  commits_.push_back(commit);
  connect(field, &QLineEdit::editingFinished, this, [this, commit] { Forward(commit); });
  // A list's field gets its keys through the list, which has the focus.
  QWidget* focused = qobject_cast<QComboBox*>(field->parentWidget());
  (focused != nullptr ? focused : field)->installEventFilter(this);
}

void MainWindow::Connect(int id, QWidget* widget) {
  if (auto* list = qobject_cast<QComboBox*>(widget)) {
    connect(list, &QComboBox::activated, this, [this, id](int index) {
      Forward([this, id, index] { events_.OnSelection(id, index); });
    });
    // Typed text is offered to the list once it is finished; the list then shows its choice.
    // A completed entry clears the line's modified mark: what differs from the choice is typed.
    OnFinished(
        list->lineEdit(),
        [list] {
          return list->lineEdit()->isModified() ||
                 list->currentText() != list->itemText(list->currentIndex());
        },
        [this, id](const std::string& typed) { events_.OnListTextCommitted(id, typed); });
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // The text reaches the settings once it is finished.
    OnFinished(
        edit, [edit] { return edit->isModified(); },
        [this, id](const std::string& typed) { events_.OnFieldCommitted(id, typed); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, CommandOf(id));
  }
}

QWidget* MainWindow::control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

template <typename Call>
void MainWindow::Forward(Call call) {
  call();
  Sync();
}

void MainWindow::SetTitleSuffix(const QString& suffix) {
  titleSuffix_ = suffix;
  Sync();
}

void MainWindow::Sync(const ui::MainWindowModel& model) {
  setWindowTitle(ToQString(model.title) + (model.modified ? QStringLiteral(" *") : QString()) +
                 titleSuffix_);
  for (const auto& [id, state] : model.checkBoxes) Show(controls_.at(id), state);
  for (const auto& [id, state] : model.fields) Show(controls_.at(id), state);
  for (const auto& [id, state] : model.lists) Show(controls_.at(id), state);
  controls_.at(ui::id::kGenerate)->setEnabled(model.generateEnabled);
  surface_->setEnabled(!model.locked);  // the production line runs over the definition
  importText_->setEnabled(!model.locked);
  static_cast<QLabel*>(controls_.at(ui::id::kProgramVersionLabel))
      ->setText(ToQString(model.programVersion));
  SyncMatrix(model);
  SyncEditMenu(model);
  ShowProgress(progressModel_);
}

void MainWindow::SyncEditMenu(const ui::MainWindowModel& model) {
  // A name is the user's text (a file name): its "&" is no mnemonic.
  const auto caption = [](const std::string& text) {
    QString shown = ToQString(text);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
  };
  const bool free = !model.busy && !model.locked;
  QAction* undo = editActions_.at(ui::id::kUndo);
  undo->setText(caption(model.undoCaption));
  undo->setEnabled(free && model.undoEnabled);
  QAction* redo = editActions_.at(ui::id::kRedo);
  redo->setText(caption(model.redoCaption));
  redo->setEnabled(free && model.redoEnabled);
  const bool selected = model.selectedKey >= 0;
  const bool marked = model.markedKey >= 0 && selected && model.markedKey != model.selectedKey;
  editActions_.at(ui::id::kCutKey)->setEnabled(free && selected);
  editActions_.at(ui::id::kCopyKey)->setEnabled(free && selected);
  editActions_.at(ui::id::kPasteKey)->setEnabled(free && marked);
  editActions_.at(ui::id::kSwapKey)->setEnabled(free && marked);
  for (const int id : {ui::id::kCopyLayer, ui::id::kSwapLayers, ui::id::kClearLayer})
    editActions_.at(id)->setEnabled(free);
  gestures_->ShowSelection(model.selectedKey, model.markedKey);
}

void MainWindow::SyncMatrix(const ui::MainWindowModel& model) {
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    PictureButton* button = keys_[i];
    const ui::KeyPicture picture = model.keyPictures[i];
    if (button->picture() != picture || button->accessibleName().isEmpty()) {
      button->SetPicture(picture);
      button->setAccessibleName(KeyName(static_cast<int>(i), picture));
    }
    if (const QString tip = ToQString(model.keyTooltips[i]); button->toolTip() != tip)
      button->setToolTip(tip);
  }
  for (std::size_t i = 0; i < leds_.size(); ++i) {
    leds_[i]->SetPicture(model.ledPictures[i]);
    leds_[i]->setAccessibleName(QStringLiteral("Led %1: %2")
                                    .arg(i + 1)
                                    .arg(ToQString(ui::KeyPictureName(model.ledPictures[i]))));
  }
}

void MainWindow::ShowProgress(const ui::ProgressBar& bar) {
  if (progress_ == nullptr) return;
  if (progress_->minimum() != bar.minimum || progress_->maximum() != bar.maximum)
    progress_->setRange(bar.minimum, bar.maximum);
  progress_->setValue(bar.position);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Alt and the keys pressed with it are system keys, outside the shortcut's count.
  if (event->key() == Qt::Key_Alt || (event->modifiers() & Qt::AltModifier)) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  const int virtualKey = VirtualKeyOf(*event);
  Forward([this, virtualKey] { events_.OnMainWindowKey(virtualKey); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* list = qobject_cast<QComboBox*>(watched);
  auto* field = list != nullptr ? list->lineEdit() : qobject_cast<QLineEdit*>(watched);
  if (field == nullptr || event->type() != QEvent::ShortcutOverride)
    return QMainWindow::eventFilter(watched, event);
  const QKeyCombination keys = static_cast<QKeyEvent*>(event)->keyCombination();
  const bool undo = keys == (Qt::CTRL | Qt::Key_Z);
  const bool redo = keys == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) || keys == (Qt::CTRL | Qt::Key_Y);
  // Not taken by the field: the window's shortcut runs.
  return (undo && !field->isUndoAvailable()) || (redo && !field->isRedoAvailable());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The close box is "E&xit": it asks about unsaved changes and ends the program itself.
  event->ignore();
  if (!model_.busy) CommandOf(ui::id::kExit)();
}

}  // namespace veltrane::gui
