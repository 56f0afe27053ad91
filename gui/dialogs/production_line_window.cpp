// SPDX-License-Identifier: MIT
#include "gui/dialogs/production_line_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/dialogs/layout_dialog.h"
#include "station/store/open_store.h"

namespace veltrane::gui {
namespace {

using ui::ProductionLineField;

QLabel* CountLabel(const QString& colour, QWidget* parent) {
  auto* label = new QLabel(parent);
  QFont font = label->font();
  font.setPointSize(28);
  font.setBold(true);
  label->setFont(font);
  label->setStyleSheet(QStringLiteral("color: %1").arg(colour));
  return label;
}

void SetText(QTableWidget* table, int row, int column, const std::string& text) {
  QTableWidgetItem* item = table->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    table->setItem(row, column, item);
  }
  if (const QString shown = ToQString(text); item->text() != shown) item->setText(shown);
}

// Green for a pass, red for a failure, the table's own for the rest.
QVariant OutcomeBackground(ui::RowOutcome outcome) {
  switch (outcome) {
    case ui::RowOutcome::Passed:
      return QColor(0xc8, 0xf0, 0xc8);
    case ui::RowOutcome::Failed:
      return QColor(0xf8, 0xc8, 0xc8);
    case ui::RowOutcome::Skipped:
      return QColor(0xd8, 0xe4, 0xf4);
    case ui::RowOutcome::Running:
      break;
  }
  return {};
}

}  // namespace

ProductionLineWindow::ProductionLineWindow(ui::AppState& app, const ui::Services& io,
                                           station::KeyboardPort& port,
                                           std::function<void()> mainWindowChanged,
                                           ui::ProductionLineOptions options) {
  setWindowTitle(ToQString(ui::kProductionLineCaption));
  CreateWidgets();
  // Called on the station's threads: the events are shown on this window's thread.
  const auto wake = [this] {
    QMetaObject::invokeMethod(
        this, [this] { Deliver(); }, Qt::QueuedConnection);
  };
  if (!options.openStore) options.openStore = station::store::OpenStore;
  line_ = std::make_unique<ui::ProductionLine>(app, io, port, wake, std::move(mainWindowChanged),
                                               options);
  Sync();
}

ProductionLineWindow::~ProductionLineWindow() {
  line_.reset();
}

void ProductionLineWindow::CreateWidgets() {
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("First serial:"), CreateField(ProductionLineField::FirstSerial));
  form->addRow(QStringLiteral("Count:"), CreateField(ProductionLineField::Count));
  form->addRow(QStringLiteral("Store:"), CreateField(ProductionLineField::Store));
  form->addRow(QStringLiteral("Log file:"), CreateField(ProductionLineField::LogFile));
  Field(ProductionLineField::Count)->setPlaceholderText(QStringLiteral("until Stop"));
  Field(ProductionLineField::Store)
      ->setToolTip(QStringLiteral("An SQLite file, or postgresql://host/db for a line of "
                                  "stations that share one record"));

  start_ = new QPushButton(QStringLiteral("Start"), this);
  stop_ = new QPushButton(QStringLiteral("Stop"), this);
  connect(start_, &QPushButton::clicked, this, [this] {
    line_->OnStart();
    Sync();
  });
  connect(stop_, &QPushButton::clicked, this, [this] {
    line_->OnStop();
    Sync();
  });
  again_ = new QPushButton(QStringLiteral("Program again…"), this);
  again_->setToolTip(QStringLiteral(
      "Program the selected keyboard, which holds a serial already, with a new one"));
  connect(again_, &QPushButton::clicked, this, [this] { ProgramAgain(); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  buttons->addWidget(again_);
  buttons->addStretch();

  passed_ = CountLabel(QStringLiteral("#1a7f1a"), this);
  failed_ = CountLabel(QStringLiteral("#b01c1c"), this);
  nextSerial_ = new QLabel(this);
  QFont serialFont = nextSerial_->font();
  serialFont.setPointSize(serialFont.pointSize() + 4);
  nextSerial_->setFont(serialFont);
  auto* counts = new QVBoxLayout;
  auto* big = new QHBoxLayout;
  big->addWidget(passed_);
  big->addSpacing(24);
  big->addWidget(failed_);
  big->addStretch();
  counts->addLayout(big);
  counts->addWidget(nextSerial_);

  auto* top = new QHBoxLayout;
  top->addLayout(form, 3);
  top->addLayout(buttons);
  top->addSpacing(16);
  top->addLayout(counts, 2);

  table_ = new QTableWidget(0, 4, this);
  table_->setHorizontalHeaderLabels({QStringLiteral("Keyboard"), QStringLiteral("Serial"),
                                     QStringLiteral("Progress"), QStringLiteral("Result")});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setVisible(false);
  table_->setColumnWidth(0, 260);
  table_->setColumnWidth(1, 110);
  table_->setColumnWidth(2, 190);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);

  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { Sync(); });
  reservations_ = new QLabel(this);
  reservations_->setWordWrap(true);
  reservations_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  reservations_->setStyleSheet(QStringLiteral("color: #8a5a00"));
  notices_ = new QPlainTextEdit(this);
  notices_->setReadOnly(true);
  notices_->setMaximumHeight(90);
  clear_ = new QPushButton(QStringLiteral("Clear notices"), this);
  connect(clear_, &QPushButton::clicked, this, [this] {
    line_->OnClearNotices();
    Sync();
  });
  auto* noticeRow = new QHBoxLayout;
  noticeRow->addWidget(notices_, 1);
  noticeRow->addWidget(clear_, 0, Qt::AlignTop);

  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addWidget(table_, 1);
  all->addWidget(status_);
  all->addWidget(reservations_);
  all->addLayout(noticeRow);
  resize(820, 520);
}

QLineEdit* ProductionLineWindow::CreateField(ProductionLineField field) {
  auto* edit = new QLineEdit(this);
  fields_[static_cast<std::size_t>(field)] = edit;
  connect(edit, &QLineEdit::textEdited, this,
          [this, field](const QString& typed) { line_->OnFieldEdited(field, ToBytes(typed)); });
  return edit;
}

QLineEdit* ProductionLineWindow::Field(ProductionLineField field) const {
  return fields_[static_cast<std::size_t>(field)];
}

void ProductionLineWindow::ShowProductionLine() {
  line_->Open();
  Sync();
  show();
  raise();
  activateWindow();
}

void ProductionLineWindow::Deliver() {
  line_->DeliverEvents();
  Sync();
}

void ProductionLineWindow::Sync() {
  const ui::ProductionLineView& view = line_->view();
  const ui::EditField* values[] = {&view.firstSerial, &view.count, &view.store, &view.logFile};
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (const QString text = ToQString(values[i]->text); fields_[i]->text() != text)
      fields_[i]->setText(text);
    fields_[i]->setEnabled(values[i]->enabled);
  }
  start_->setEnabled(view.startEnabled);
  stop_->setEnabled(view.stopEnabled);
  passed_->setText(QStringLiteral("%1 PASS").arg(view.counts.passed));
  failed_->setText(QStringLiteral("%1 FAIL").arg(view.counts.failed));
  QString next =
      QStringLiteral("Next serial: %1")
          .arg(view.nextSerial.empty() ? QStringLiteral("—") : ToQString(view.nextSerial));
  if (view.counts.skipped > 0)
    next += QStringLiteral("\n%1 skipped: programmed already").arg(view.counts.skipped);
  nextSerial_->setText(next);
  status_->setText(ToQString(view.status));
  QStringList notices;
  for (const std::string& notice : view.notices) notices << ToQString(notice);
  if (const QString text = notices.join('\n'); notices_->toPlainText() != text)
    notices_->setPlainText(text);
  notices_->setVisible(!view.notices.empty());
  clear_->setVisible(!view.notices.empty());
  QStringList reserved;
  for (const std::string& line : view.reservations) reserved << ToQString(line);
  reservations_->setText(reserved.join('\n'));
  reservations_->setVisible(!reserved.isEmpty());
  SyncTable();
  const int selected = table_->currentRow();
  again_->setEnabled(
      view.running && selected >= 0 && selected < static_cast<int>(view.rows.size()) &&
      view.rows[static_cast<std::size_t>(selected)].outcome == ui::RowOutcome::Skipped);
}

void ProductionLineWindow::ProgramAgain() {
  const int row = table_->currentRow();
  if (row < 0) return;
  bool given = false;
  const QString why = QInputDialog::getText(
      this, ToQString(ui::kProductionLineCaption),
      QStringLiteral("Why is this keyboard programmed again? (recorded with its new serial)"),
      QLineEdit::Normal, QString(), &given);
  if (!given) return;
  line_->OnReprogram(static_cast<std::size_t>(row), ToBytes(why));
  Sync();
}

void ProductionLineWindow::SyncTable() {
  const std::vector<ui::ProductionLineRow>& rows = line_->view().rows;
  const int before = table_->rowCount();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const ui::ProductionLineRow& row = rows[static_cast<std::size_t>(r)];
    SetText(table_, r, 0, row.identity);
    SetText(table_, r, 1, row.serial);
    SetText(table_, r, 2, row.progress);
    SetText(table_, r, 3, row.result);
    table_->item(r, 3)->setData(Qt::BackgroundRole, OutcomeBackground(row.outcome));
  }
  if (table_->rowCount() > before) table_->scrollToBottom();
}

void ProductionLineWindow::closeEvent(QCloseEvent* event) {
  if (line_->OnCloseRequested())
    event->accept();
  else
    event->ignore();
}

}  // namespace veltrane::gui
