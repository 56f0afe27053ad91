#include "gui/window_host.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "ui/main_window_model.h"

namespace veltrane::gui {
namespace {

const QString kConfigurationFilter = QStringLiteral("Configuration files (*.dat *.DAT)");

std::unique_ptr<QWidget> HiddenWindow(const QString& title, QRect place) {
  auto window = std::make_unique<QWidget>();
  window->setWindowTitle(title);
  window->setGeometry(place);
  window->setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with the main window
  return window;
}

}  // namespace

QtWindowHost::QtWindowHost(MessageBoxes& boxes, ui::LogFile& log) : boxes_(boxes), log_(log) {}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::CreateHiddenWindows() {
  testWindow_ = HiddenWindow(QStringLiteral("Test Window"), QRect(600, 50, 900, 300));
  stringEditor_ = HiddenWindow(QStringLiteral("Key Macro Tool"), QRect(0, 0, 750, 520));
}

void QtWindowHost::Repaint() {
  if (window_ == nullptr) return;
  window_->Sync();
  window_->repaint();
}

// Stands in for a dialog that has not been built yet: its title and an OK button.
void QtWindowHost::RunPlaceholder(const QString& title) {
  QDialog dialog(window_);
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(title, &dialog));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.exec();
}

void QtWindowHost::RunKeySettings() {
  RunPlaceholder(QStringLiteral("Key Settings"));
}
void QtWindowHost::RunKeyLed() {
  RunPlaceholder(QStringLiteral("Key LED"));
}
void QtWindowHost::RunPointingDevice() {
  RunPlaceholder(QStringLiteral("Pointing Device"));
}

std::optional<std::string> QtWindowHost::RunLoadFile() {
  const QString path =
      QFileDialog::getOpenFileName(window_, QStringLiteral("Load File"), QString(),
                                   kConfigurationFilter, nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::string QtWindowHost::RunSaveFile() {
  return QFileDialog::getSaveFileName(window_, QStringLiteral("Save File"), QString(),
                                      kConfigurationFilter, nullptr,
                                      QFileDialog::DontUseNativeDialog)
      .toStdString();
}

void QtWindowHost::RunAbout() {
  const std::string text = std::string(kApplicationName) + "\n" + std::string(ui::kProgramVersion);
  boxes_.Show(text, kAboutCaption, model::MessageIcon::Information);
}

void QtWindowHost::ShowTestWindow() {
  if (testWindow_ == nullptr) return;
  testWindow_->show();
  testWindow_->raise();
}

void QtWindowHost::Exit() {
  log_.Close();
  QCoreApplication::exit(0);
}

}  // namespace veltrane::gui
