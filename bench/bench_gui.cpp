// SPDX-License-Identifier: MIT
// The desktop program's start-up to its first paint (the whole process), with
// no file and with a full-size definition named on its command line, a full
// repaint of the key matrix, and a key dragged onto another position with
// its step recorded and the window repainted, under Qt's offscreen platform.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/dialogs/control_widgets.h"
#include "gui/main_window.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "ui/app/app_state.h"
#include "ui/main_window/main_window_controller.h"
#include "ui/main_window/main_window_model.h"

extern char** environ;

namespace {

using namespace veltrane;

class NoEvents : public ui::MainWindowEvents {
 public:
  void OnCommand(int) override {}
  void OnFieldCommitted(int, const std::string&) override {}
  void OnSelection(int, int) override {}
  void OnListTextCommitted(int, const std::string&) override {}
  void OnMainWindowKey(int) override {}
};

// A full-size keyboard: 104 keys on the base layer, an Fn layer on 24 of them,
// four macros of twelve strokes.
void FillFullDefinition(model::KeyboardDefinition& def) {
  for (std::size_t k = 0; k < 104; ++k) {
    model::KeyLayer& base = def.keys[k].layers[0];
    model::AssignTableKey(base, 1 + static_cast<int>(k));
    base.used = 1;
    if (k < 24) {
      model::KeyLayer& fn = def.keys[k].layers[1];
      model::AssignTableKey(fn, 110 + static_cast<int>(k));
      fn.used = 1;
    }
  }
  for (std::size_t s = 0; s < 4; ++s) {
    model::KeyLayer& layer = def.keys[110 + s].layers[0];
    layer.keytype = model::STRING_KEY;
    layer.ibmkey = static_cast<int>(s);
    layer.used = 1;
    for (std::size_t i = 0; i < 12; ++i)
      def.stringWorkBuffer[s][i] = {0x02, static_cast<std::uint8_t>(0x04 + i + s), 0x1C, 0};
  }
  model::FlattenStrings(def);
}

void WriteFullDefinition(const std::string& path) {
  ui::AppState app;
  ui::StartApplication(app);
  FillFullDefinition(app.doc.def);
  persist::WriteConfigFile(path, app.doc.def, app.doc.header);
}

// Argument 0: no file; 1: the full-size definition Board.DAT, loaded before the first paint.
void BM_StartUpToFirstPaint(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "veltrane-bench-gui";
  std::filesystem::create_directories(dir);
  const std::string board = (dir / "Board.DAT").string();
  WriteFullDefinition(board);
  // The log and the recovery copies in the bench's own state directory.
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "VELTRANE_EXIT_AFTER_FIRST_PAINT=1",
                                  "NIRVEX_DEVICE=sim:" + (dir / "keyboard.sim").string(),
                                  "XDG_STATE_HOME=" + dir.string()};
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (!entry.starts_with("QT_QPA_PLATFORM=") && !entry.starts_with("NIRVEX_DEVICE=") &&
        !entry.starts_with("XDG_STATE_HOME="))
      env.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = VELTRANE_GUI_PROGRAM;
  std::string file = board;
  char* argv[] = {program.data(), state.range(0) != 0 ? file.data() : nullptr, nullptr};
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
      state.SkipWithError("cannot start veltrane");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("veltrane did not end with status 0");
      break;
    }
  }
  std::filesystem::current_path(previous);
}
BENCHMARK(BM_StartUpToFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every matrix picture changes, the model is mirrored and the matrix (arg 0)
// or the whole client area (arg 1) is repainted at once.
void BM_Repaint(benchmark::State& state) {
  ui::AppState app;
  ui::StartApplication(app);
  ui::MainWindowModel view;
  ui::CreateMainWindowControls(view);
  ui::RefreshControls(app, view);
  NoEvents events;
  gui::MainWindow window(view, app.progress, events);
  window.show();
  QApplication::processEvents();
  const QRect matrix(0, 0, 200, 360);  // the key buttons and the corner lines
  const QRect area = state.range(0) == 0 ? matrix : window.surface()->rect();
  bool odd = false;
  for (auto _ : state) {
    view.keyPictures.fill(odd ? ui::KeyPicture::Complete : ui::KeyPicture::Incomplete);
    odd = !odd;
    window.Sync();
    window.surface()->repaint(area);
  }
  state.SetLabel(state.range(0) == 0 ? "matrix" : "client area");
}
BENCHMARK(BM_Repaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

class NoMessages : public model::MessageSink {
 public:
  void Show(std::string_view, std::string_view, model::MessageIcon) override {}
};

class NoKeyboard : public ui::KeyboardLink {
 public:
  std::string DetectKeyboard() override { return {}; }
  bool ProgramFirmWare(std::span<const std::uint8_t>, unsigned, unsigned,
                       const ui::ProgressStep&) override {
    return false;
  }
  bool ReadFirmWare(std::span<std::uint8_t>, unsigned, unsigned, const ui::ProgressStep&) override {
    return false;
  }
};

// The window's repaint as the program does it: mirror the model, paint at once.
class RepaintingHost : public ui::WindowHost {
 public:
  void Repaint() override {
    window->Sync();
    window->repaint();
  }
  void RunKeySettings(model::KeyboardDefinition&) override {}
  void RunKeyLed(model::Settings&) override {}
  void RunPointingDevice(model::Settings&) override {}
  std::optional<std::string> RunLoadFile() override { return std::nullopt; }
  std::string RunSaveFile(const AcceptName&) override { return {}; }
  void RunAbout() override {}
  void ShowTestWindow() override {}
  ui::SaveChoice AskSaveChanges(const std::string&) override { return ui::SaveChoice::Cancel; }
  void Exit() override {}
  bool AskReplace(const std::string&, const std::string&) override { return true; }

  gui::MainWindow* window = nullptr;
};

void Send(QWidget* button, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(button, &event);
}

// Over a full-size definition: a key pressed, dragged onto another position
// and dropped (back and forth), the move recorded as an undo step and the
// window mirrored and repainted.
void BM_DragMoveWithRepaint(benchmark::State& state) {
  ui::AppState app;
  ui::StartApplication(app);
  FillFullDefinition(app.doc.def);
  ui::MainWindowModel view;
  ui::CreateMainWindowControls(view);
  ui::RefreshControls(app, view);
  NoMessages messages;
  ui::NullLog log;
  const ui::Services io{messages, log};
  NoKeyboard link;
  RepaintingHost host;
  ui::MainWindowController controller(app, view, io, link, host);
  gui::MainWindow window(view, app.progress, controller);
  host.window = &window;
  window.show();
  QApplication::processEvents();
  int from = 29, to = 38;
  for (auto _ : state) {
    QWidget* source = window.keyButton(from);
    const QPoint end = source->mapFrom(window.surface(), window.keyButton(to)->geometry().center());
    Send(source, QEvent::MouseButtonPress, QPoint(8, 8), Qt::LeftButton);
    Send(source, QEvent::MouseMove, end, Qt::LeftButton);
    Send(source, QEvent::MouseButtonRelease, end, Qt::NoButton);
    QApplication::processEvents();  // the drop, queued behind the release
    std::swap(from, to);
  }
  if (app.history.UndoCount() == 0) state.SkipWithError("no key was moved");
}
BENCHMARK(BM_DragMoveWithRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
