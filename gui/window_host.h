// What the main window's commands ask of the Qt front end: repaints, the
// dialogs and the other top-level windows.
#pragma once

#include <QWidget>
#include <memory>

#include "ui/log_file.h"
#include "ui/window_host.h"

namespace veltrane::gui {

class MainWindow;
class MessageBoxes;

inline constexpr const char* kAboutCaption = "About";

class QtWindowHost : public ui::WindowHost {
 public:
  QtWindowHost(MessageBoxes& boxes, ui::LogFile& log);
  ~QtWindowHost() override;

  void SetMainWindow(MainWindow* window) { window_ = window; }
  // The test window and the string editor window, created hidden.
  void CreateHiddenWindows();
  QWidget* testWindow() const { return testWindow_.get(); }
  QWidget* stringEditorWindow() const { return stringEditor_.get(); }

  void Repaint() override;
  void RunKeySettings() override;
  void RunKeyLed() override;
  void RunPointingDevice() override;
  std::optional<std::string> RunLoadFile() override;
  std::string RunSaveFile() override;
  void RunAbout() override;
  void ShowTestWindow() override;
  void Exit() override;

 private:
  void RunPlaceholder(const QString& title);

  MessageBoxes& boxes_;
  ui::LogFile& log_;
  MainWindow* window_ = nullptr;
  std::unique_ptr<QWidget> testWindow_;
  std::unique_ptr<QWidget> stringEditor_;
};

}  // namespace veltrane::gui
