// SPDX-License-Identifier: MIT
#include "gui/keyedit/string_editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "gui/dialogs/auto_repeat.h"
#include "gui/dialogs/control_widgets.h"
#include "gui/keyedit/tabbed_line_delegate.h"
#include "ui/dialogs/key_mapping.h"

namespace veltrane::gui {
namespace {

constexpr int kAltScanCode = 0x38;
constexpr int kF10ScanCode = 0x44;

std::string PrintableCharacters(const QString& text) {
  QString shown;
  for (const QChar c : text.left(2))  // the echo shows at most two UTF-16 code units
    if (c.isSurrogate() || c.isPrint()) shown += c;
  return ToBytes(shown);
}

}  // namespace

ui::EditorKeyEvent CapturedKeyOf(const QKeyEvent& event) {
  ui::EditorKeyEvent key;
  const ui::ScanCode scan =
      ui::ScanCodeOfEvdev(ui::EvdevFromNativeScanCode(event.nativeScanCode()));
  key.scanCode = scan.code;
  key.extended = scan.extended;
  if (event.key() == Qt::Key_AltGr) {
    key.scanCode = kAltScanCode;
    key.extended = true;
  }
  const bool press = event.type() == QEvent::KeyPress;
  // An Alt key counts as held from its own press to its release, whatever
  // the platform reports as the modifiers of these two events.
  key.altHeld = key.scanCode == kAltScanCode ? press : (event.modifiers() & Qt::AltModifier) != 0;
  key.systemKey = press && (key.altHeld || (key.scanCode == kF10ScanCode && !key.extended));
  key.characters = PrintableCharacters(event.text());
  return key;
}

StringEditorWindow::StringEditorWindow(ui::StringEditorModel& model)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), model_(model) {
  setWindowTitle(ToQString(ui::kStringEditorTitle));
  setFixedSize(ui::kStringEditorWidth, ui::kStringEditorHeight);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_QuitOnClose, false);  // the main window's close ends the program
  UseTableFont(*this);
  for (const ui::Control& entry : ui::StringEditorControls()) {
    QWidget* widget = CreateControl(this, entry);
    controls_[entry.id] = widget;
    Connect(entry.id, widget);
  }
  gauge_ = CreateControl(this, ui::CapacityGaugeControl());
  gauge_->setObjectName(QStringLiteral("capacityGauge"));
  if (auto* list = qobject_cast<QListWidget*>(control(ui::id::kStringEditorList))) {
    list->setItemDelegate(new TabbedLineDelegate(ui::kStringEditorTabStops, list));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
  }
  if (auto* extraKeys = qobject_cast<QComboBox*>(control(ui::id::kExtraKeys))) {
    extraKeys->setMaxVisibleItems(static_cast<int>(model_.extraKeys.items.size()));
    extraKeys->setFocusPolicy(Qt::NoFocus);  // a pick leaves the keys with the window
  }
  UseDetectableAutoRepeat();
  Sync();
}

void StringEditorWindow::SetContext(ui::KeyEditingContext* context) {
  context_ = context;
}

QWidget* StringEditorWindow::control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void StringEditorWindow::Connect(int id, QWidget* widget) {
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    const auto select = [this](int row) {
      ui::OnStringEditorListSelect(model_, row);
      Sync();
    };
    connect(list, &QListWidget::currentRowChanged, this, select);
    connect(list, &QListWidget::clicked, this,
            [select](const QModelIndex& at) { select(at.row()); });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this, [this](int entry) {
      const bool focusBack = ui::OnExtraKeySelected(model_, entry);
      Sync();
      // After the popup has closed and handed the focus back.
      if (focusBack) QTimer::singleShot(0, this, [this] { TakeKeys(); });
    });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
  }
}

void StringEditorWindow::RunCommand(int id) {
  if (context_ == nullptr) return;
  ui::OnStringEditorCommand(model_, *context_, id);
  Sync();
  emit changed();
}

void StringEditorWindow::SyncList() {
  auto* list = qobject_cast<QListWidget*>(control(ui::id::kStringEditorList));
  if (list == nullptr) return;
  const QSignalBlocker blocker(list);
  const int shown = list->count();
  const int wanted = static_cast<int>(model_.lines.size());
  const auto line = [&](int i) {
    return ToQString(ui::RenderMacroLine(model_.lines[static_cast<std::size_t>(i)]));
  };
  int same = 0;
  while (same < shown && same < wanted && list->item(same)->text() == line(same)) ++same;
  for (int i = shown - 1; i >= same; --i) delete list->takeItem(i);
  for (int i = same; i < wanted; ++i) list->addItem(line(i));
  if (same == shown && wanted > shown) list->scrollToBottom();  // lines were added at the end
  if (model_.selection < 0) {
    list->clearSelection();
    list->setCurrentRow(-1);
  } else {
    list->setCurrentRow(model_.selection);
  }
}

void StringEditorWindow::Sync() {
  ui::RefreshCapacityGauge(model_);  // the definition may have changed in another window
  SyncList();
  for (const auto& [id, widget] : controls_) {
    if (qobject_cast<QCheckBox*>(widget) != nullptr)
      Show(widget, ui::CheckBox{ui::IsCheckBoxChecked(model_, id), widget->isEnabled()});
  }
  Show(control(ui::id::kExtraKeys), model_.extraKeys);
  if (auto* echo = qobject_cast<QLabel*>(control(ui::id::kEcho)))
    echo->setText(ToQString(model_.echoText));
  if (auto* gauge = qobject_cast<QLabel*>(gauge_)) {
    gauge->setText(ToQString(model_.capacityText));
    gauge->setToolTip(ToQString(model_.capacityTooltip));
    // The warning of dropped strokes runs on into the free room to the right.
    const ui::Control& entry = ui::CapacityGaugeControl();
    gauge->resize(std::max(entry.rect.width, gauge->sizeHint().width()), entry.rect.height);
  }
}

void StringEditorWindow::TakeKeys() {
  if (!isVisible()) return;
  if (context_ != nullptr) {
    context_->host.FocusStringEditor();
  } else {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
  }
}

void StringEditorWindow::focusOutEvent(QFocusEvent* event) {
  ui::OnStringEditorFocusLost(model_);
  Sync();
  QWidget::focusOutEvent(event);
}

bool StringEditorWindow::OwnsKeys() const {
  const QWidget* focus = focusWidget();
  return focus == nullptr || focus == this;
}

bool StringEditorWindow::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (OwnsKeys()) {
    // Tab, arrows, Enter, Escape and shortcuts are keys to capture here.
    if (type == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    if (type == QEvent::KeyPress) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
    if (type == QEvent::KeyRelease) {
      keyReleaseEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QWidget::event(event);
}

void StringEditorWindow::keyPressEvent(QKeyEvent* event) {
  if (!OwnsKeys()) {  // a key a focused control left over
    event->ignore();
    return;
  }
  ui::OnStringEditorKeyDown(model_, CapturedKeyOf(*event));
  Sync();
}

void StringEditorWindow::keyReleaseEvent(QKeyEvent* event) {
  // Repeated presses come in pairs with releases on some platforms; a held key is one release.
  if (!OwnsKeys() || event->isAutoRepeat()) {
    event->ignore();
    return;
  }
  ui::OnStringEditorKeyUp(model_, CapturedKeyOf(*event));
  Sync();
}

void StringEditorWindow::closeEvent(QCloseEvent* event) {
  // The window has no close box; a close the window manager forces is "Cancel".
  event->ignore();
  if (context_ != nullptr) {
    RunCommand(2);
  } else {
    hide();
  }
}

}  // namespace veltrane::gui
