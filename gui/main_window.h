// SPDX-License-Identifier: MIT
// The main window: the key matrix, the settings controls at their fixed
// places, the menu and the progress bar. It mirrors the view model through
// Sync and forwards every widget signal to one MainWindowEvents call.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <vector>

#include "ui/app/progress_bar.h"
#include "ui/main_window/control_table.h"
#include "ui/main_window/main_window_events.h"
#include "ui/main_window/main_window_model.h"

class QAction;
class QLineEdit;
class QProgressBar;
class QScrollArea;

namespace veltrane::gui {

class MatrixGestures;
class PictureButton;

// The client area: every control fits, the progress bar along the bottom.
inline constexpr int kClientWidth = 800;
inline constexpr int kClientHeight = 580;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Shows `progress` through its changed callback for the window's lifetime.
  MainWindow(ui::MainWindowModel& model, ui::ProgressBar& progress, ui::MainWindowEvents& events);
  ~MainWindow() override;

  // Mirrors the whole model into the widgets; no widget signal is emitted. A
  // field the user is typing in keeps the text being typed.
  void Sync(const ui::MainWindowModel& model);
  void Sync() { Sync(model_); }
  // Text added to the model's title, e.g. that the keyboard is simulated.
  void SetTitleSuffix(const QString& suffix);
  // Fits the window to a screen's free area: its own fixed size where that
  // fits, else as much of it as fits, with the client area scrolling. Shown,
  // the window fits itself to its screen.
  void FitToScreen(const QSize& available);
  QScrollArea* scrollArea() const { return scroll_; }

  QWidget* surface() const { return surface_; }
  QProgressBar* progressBar() const { return progress_; }
  PictureButton* keyButton(int index) const { return keys_[static_cast<std::size_t>(index)]; }
  // The widget of a table control by its id (labels without id excluded), or nullptr.
  QWidget* control(int id) const;
  // Reports every field that holds typed text not yet reported.
  void CommitTyping();
  // An Edit menu item by its command id (kUndo ... kClearLayer), or nullptr.
  QAction* editAction(int id) const;
  MatrixGestures* matrixGestures() const { return gestures_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A field with nothing of its own to undo or redo leaves those keys to the Edit menu.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateMenus();
  void CreateEditMenu();
  void SyncEditMenu(const ui::MainWindowModel& model);
  // The key's menu on a right click: its position selected, then Cut, Copy, Paste and Swap.
  void ShowKeyMenu(int key, const QPoint& globalPosition);
  void CreateControls();
  // Forwards what a control's widget reports to the events by its id.
  void Connect(int id, QWidget* widget);
  template <typename Typed, typename Report>
  void OnFinished(QLineEdit* field, Typed typed, Report report);
  // A widget signal that reports command `id`, then mirrors the model again.
  std::function<void()> CommandOf(int id);
  void CreateMatrix();
  void CreateShortcuts();
  void ShowProgress(const ui::ProgressBar& bar);
  void SyncMatrix(const ui::MainWindowModel& model);
  template <typename Call>
  void Forward(Call call);

  ui::MainWindowModel& model_;
  ui::ProgressBar& progressModel_;
  ui::MainWindowEvents& events_;
  QWidget* surface_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  bool fittedToScreen_ = false;
  QProgressBar* progress_ = nullptr;
  std::map<int, QWidget*> controls_;
  std::vector<std::function<void()>> commits_;  // one per field: report it if typed in
  std::array<PictureButton*, 128> keys_{};
  std::array<PictureButton*, 4> leds_{};
  QString titleSuffix_;
  QAction* importText_ = nullptr;
  std::map<int, QAction*> editActions_;
  MatrixGestures* gestures_ = nullptr;
};

}  // namespace veltrane::gui
