// SPDX-License-Identifier: MIT
// The "Production line" window: shows ui::ProductionLine and forwards its
// fields and buttons to it. The station's events are posted to this window's
// thread and shown as they arrive.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "ui/dialogs/production_line_model.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace veltrane::gui {

class ProductionLineWindow : public QWidget {
 public:
  // A top-level window, created hidden.
  ProductionLineWindow(ui::AppState& app, const ui::Services& io, station::KeyboardPort& port,
                       std::function<void()> mainWindowChanged,
                       ui::ProductionLineOptions options = {});
  // Waits for the keyboards still running.
  ~ProductionLineWindow() override;

  // "Production line…": the fields filled where empty, the window shown and raised.
  void ShowProductionLine();

  ui::ProductionLine& Model() { return *line_; }
  QLineEdit* Field(ui::ProductionLineField field) const;
  QPushButton* StartButton() const { return start_; }
  QPushButton* ProgramAgainButton() const { return again_; }
  QTableWidget* Table() const { return table_; }
  QLabel* PassedLabel() const { return passed_; }
  QLabel* NextSerialLabel() const { return nextSerial_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateWidgets();
  QLineEdit* CreateField(ui::ProductionLineField field);
  void Deliver();
  void Sync();
  void SyncTable();

  void ProgramAgain();

  std::array<QLineEdit*, 4> fields_{};
  QPushButton* start_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* again_ = nullptr;
  QPushButton* clear_ = nullptr;
  QLabel* reservations_ = nullptr;
  QLabel* passed_ = nullptr;
  QLabel* failed_ = nullptr;
  QLabel* nextSerial_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* status_ = nullptr;
  QPlainTextEdit* notices_ = nullptr;
  std::unique_ptr<ui::ProductionLine> line_;  // last: it stops before the widgets go
};

}  // namespace veltrane::gui
