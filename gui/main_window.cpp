#include "gui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QStyle>

#include "gui/key_codes.h"
#include "gui/main_window_widgets.h"
#include "ui/control_table.h"

namespace veltrane::gui {
namespace {

using ui::MainControl;
using ui::MainControlKind;

constexpr int kComboHeight = 20;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyName(int index, ui::KeyPicture picture) {
  return QStringLiteral("Row %1, column %2: %3")
      .arg(index / ui::kMatrixColumns)
      .arg(index % ui::kMatrixColumns)
      .arg(Text(ui::KeyPictureName(picture)));
}

bool SameItems(const QComboBox& box, const std::vector<std::string>& items) {
  if (box.count() != static_cast<int>(items.size())) return false;
  for (int i = 0; i < box.count(); ++i)
    if (box.itemText(i) != Text(items[static_cast<std::size_t>(i)])) return false;
  return true;
}

}  // namespace

MainWindow::MainWindow(ui::MainWindowModel& model, ui::MainWindowEvents& events)
    : model_(model), events_(events) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  surface_ = new ControlSurface(this);
  surface_->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(surface_);
  CreateMenus();
  CreateMatrix();
  CreateControls();
  CreateShortcuts();

  progress_ = new QProgressBar(surface_);
  progress_->setTextVisible(false);
  const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  progress_->setGeometry(0, kClientHeight - barHeight, kClientWidth, barHeight);
  model_.progress.changed = [this](const ui::ProgressBar& bar) { ShowProgress(bar); };

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  Sync();
}

MainWindow::~MainWindow() {
  model_.progress.changed = nullptr;
}

void MainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  connect(file->addAction(QString::fromUtf8("&Export as text\u2026")), &QAction::triggered, this,
          CommandOf(ui::id::kExportText));
  importText_ = file->addAction(QString::fromUtf8("&Import text\u2026"));
  connect(importText_, &QAction::triggered, this, CommandOf(ui::id::kImportText));
  file->addSeparator();
  connect(file->addAction(QString::fromUtf8("&Production line\u2026")), &QAction::triggered, this,
          CommandOf(ui::id::kProductionLine));
  file->addSeparator();
  connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, this,
          CommandOf(ui::kCommandExit));
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  connect(help->addAction(QStringLiteral("&About ...")), &QAction::triggered, this,
          CommandOf(ui::kCommandAbout));
}

void MainWindow::CreateShortcuts() {
  // Alt with "?" (typed with Shift on most layouts) or with "/", while this window is active.
  // One shortcut holds every form, so a press that matches two of them still runs About once.
  auto* about = new QShortcut(this);
  about->setKeys({QKeySequence(Qt::ALT | Qt::Key_Question),
                  QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Question),
                  QKeySequence(Qt::ALT | Qt::Key_Slash)});
  about->setContext(Qt::WindowShortcut);
  const auto runAbout = CommandOf(ui::kCommandAbout);
  connect(about, &QShortcut::activated, this, runAbout);
  connect(about, &QShortcut::activatedAmbiguously, this, runAbout);
}

void MainWindow::CreateMatrix() {
  for (int row = 0; row < ui::kMatrixRows; ++row) {
    for (int column = 0; column < ui::kMatrixColumns; ++column) {
      const ui::KeyButtonPlace place = ui::KeyButtonAt(row, column);
      auto* button = new PictureButton(surface_);
      button->setGeometry(place.x, place.y, place.width, place.height);
      connect(button, &QAbstractButton::clicked, this, CommandOf(place.id));
      keys_[static_cast<std::size_t>(row * ui::kMatrixColumns + column)] = button;
    }
  }
}

std::function<void()> MainWindow::CommandOf(int id) {
  return [this, id] { Forward([this, id] { events_.OnCommand(id); }); };
}

void MainWindow::CreateControls() {
  std::size_t led = 0;
  for (const MainControl& entry : ui::ControlTable()) {
    QWidget* widget = CreateControl(entry);
    // A drop-down combo box is as high as an edit field; the table's height is its open list.
    const int height = entry.kind == MainControlKind::ComboBox ? kComboHeight : entry.height;
    widget->setGeometry(entry.x, entry.y, entry.width, height);
    widget->setEnabled(!entry.createdDisabled);
    if (entry.kind == MainControlKind::LedButton && led < leds_.size())
      leds_[led++] = static_cast<PictureButton*>(widget);
    if (entry.id != 0) controls_[entry.id] = widget;
  }
}

QWidget* MainWindow::CreateControl(const MainControl& entry) {
  const QString text = Text(entry.text);
  switch (entry.kind) {
    case MainControlKind::PushButton: {
      auto* button = new QPushButton(text, surface_);
      connect(button, &QPushButton::clicked, this, CommandOf(entry.id));
      return button;
    }
    case MainControlKind::CheckBox: {
      auto* box = new ModelCheckBox(text, surface_);
      connect(box, &QCheckBox::clicked, this, CommandOf(entry.id));
      return box;
    }
    case MainControlKind::Label:
      return new QLabel(text, surface_);
    case MainControlKind::ComboBox:
      return CreateComboBox(entry);
    case MainControlKind::Edit:
      return CreateEdit(entry);
    case MainControlKind::LedButton: {
      auto* button = new PictureButton(surface_);
      connect(button, &QAbstractButton::clicked, this, CommandOf(entry.id));
      return button;
    }
    case MainControlKind::ListBox: {
      auto* list = new QListWidget(surface_);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return list;
    }
  }
  return new QWidget(surface_);
}

QWidget* MainWindow::CreateComboBox(const MainControl& entry) {
  auto* box = new QComboBox(surface_);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMaxVisibleItems((entry.height - kComboHeight) / 16);
  connect(box, &QComboBox::activated, this, [this, id = entry.id](int index) {
    Forward([this, id, index] { events_.OnSelection(id, index); });
  });
  return box;
}

QWidget* MainWindow::CreateEdit(const MainControl& entry) {
  auto* edit = new QLineEdit(Text(entry.text), surface_);
  if (entry.digitsOnly)
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  connect(edit, &QLineEdit::textEdited, this, [this, id = entry.id](const QString& typed) {
    Forward([this, id, typed] { events_.OnFieldEdited(id, typed.toStdString()); });
  });
  return edit;
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
  setWindowTitle(Text(model.title) + (model.modified ? QStringLiteral(" *") : QString()) +
                 titleSuffix_);
  for (const auto& binding : ui::kCheckBoxBindings) {
    auto* box = static_cast<QCheckBox*>(controls_.at(binding.id));
    const ui::CheckBox& value = model.*binding.field;
    const QSignalBlocker blocker(box);
    box->setChecked(value.checked);
    box->setEnabled(value.enabled);
  }
  for (const auto& binding : ui::kEditFieldBindings) {
    auto* edit = static_cast<QLineEdit*>(controls_.at(binding.id));
    const ui::EditField& value = model.*binding.field;
    const QSignalBlocker blocker(edit);
    if (const QString text = Text(value.text); edit->text() != text) edit->setText(text);
    edit->setEnabled(value.enabled);
  }
  for (const auto& binding : ui::kComboBoxBindings) {
    auto* box = static_cast<QComboBox*>(controls_.at(binding.id));
    const ui::ComboBox& value = model.*binding.field;
    const QSignalBlocker blocker(box);
    if (!SameItems(*box, value.items)) {
      box->clear();
      for (const std::string& item : value.items) box->addItem(Text(item));
    }
    if (box->currentIndex() != value.selection) box->setCurrentIndex(value.selection);
    box->setEnabled(value.enabled);
  }
  controls_.at(ui::kGenerateButtonId)->setEnabled(model.generateEnabled);
  surface_->setEnabled(!model.locked);  // the production line runs over the definition
  importText_->setEnabled(!model.locked);
  static_cast<QLabel*>(controls_.at(ui::kProgramVersionLabelId))
      ->setText(Text(model.programVersion));
  SyncMatrix(model);
  ShowProgress(model.progress);
}

void MainWindow::SyncMatrix(const ui::MainWindowModel& model) {
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    PictureButton* button = keys_[i];
    const ui::KeyPicture picture = model.keyPictures[i];
    if (button->picture() != picture || button->accessibleName().isEmpty()) {
      button->SetPicture(picture);
      button->setAccessibleName(KeyName(static_cast<int>(i), picture));
    }
    if (const QString tip = Text(model.keyTooltips[i]); button->toolTip() != tip)
      button->setToolTip(tip);
  }
  for (std::size_t i = 0; i < leds_.size(); ++i) {
    leds_[i]->SetPicture(model.ledPictures[i]);
    leds_[i]->setAccessibleName(QStringLiteral("Led %1: %2")
                                    .arg(i + 1)
                                    .arg(Text(ui::KeyPictureName(model.ledPictures[i]))));
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

void MainWindow::closeEvent(QCloseEvent* event) {
  // The close box is "E&xit": it asks about unsaved changes and ends the program itself.
  event->ignore();
  if (!model_.busy) Forward([this] { events_.OnCommand(ui::kCommandExit); });
}

}  // namespace veltrane::gui
