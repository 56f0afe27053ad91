// SPDX-License-Identifier: MIT
// The window commands' own costs: the refresh that every repaint runs (with
// its comparison against the kept definition), a build whose log goes to
// vtlog.txt a line at a time, the string editor's capture of one stroke with
// its macro store gauge, and the recovery copy of a full definition.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "eeprom/image_builder.h"
#include "model/key_tables.h"
#include "ui/app/app_state.h"
#include "ui/app/log_file.h"
#include "ui/keyedit/string_editor_model.h"
#include "ui/app/recovery_copy.h"
#include "ui/app/recovery_keeper.h"
#include "ui/main_window/main_window_model.h"

namespace {

namespace eeprom = veltrane::eeprom;
namespace model = veltrane::model;
namespace ui = veltrane::ui;

// Every layer used and every string row holding strokes: the comparison
// with the kept definition has to look at all of it.
std::unique_ptr<ui::AppState> FullWindow() {
  auto app = std::make_unique<ui::AppState>();
  ui::StartApplication(*app);
  for (int v = 0; v < model::kKeyCount * model::kLayerCount; ++v) {
    model::KeyLayer& layer =
        app->doc.def.keys[static_cast<std::size_t>(v / 4)].layers[static_cast<std::size_t>(v % 4)];
    model::AssignTableKey(layer, 1 + v % 158);
    layer.used = 1;
  }
  for (model::StringRow& row : app->doc.def.stringWorkBuffer) {
    for (std::size_t i = 0; i < 40; ++i) row[i] = {0x02, 0x04, 0x1C, 0};
    row[40] = model::StringChar{};
  }
  ui::MarkKept(*app);
  return app;
}

void BM_RefreshControls(benchmark::State& state) {
  const auto app = FullWindow();
  ui::MainWindowModel view;
  ui::CreateMainWindowControls(view);
  for (auto _ : state) {
    ui::RefreshControls(*app, view);
    benchmark::DoNotOptimize(view.modified);
  }
}
BENCHMARK(BM_RefreshControls)->Unit(benchmark::kMicrosecond);

// A full build logs about a thousand lines.
void BM_BuildWithLogFile(benchmark::State& state) {
  const auto app = FullWindow();
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("veltrane-bench-" + std::to_string(::getpid()) + ".txt"))
                               .string();
  ui::LogFile log;
  if (!log.Open(path, 0)) state.SkipWithError("no log file");
  eeprom::EepromImage image{};
  for (auto _ : state) {
    const eeprom::BuildResult result = eeprom::BuildImage(app->doc.def, "V0600", 600, image, &log);
    benchmark::DoNotOptimize(result);
  }
  log.Close();
  std::filesystem::remove(path);
}
BENCHMARK(BM_BuildWithLogFile)->Unit(benchmark::kMicrosecond);

// One captured stroke and the gauge it refreshes, with all 128 strings in use
// (each named by a key) and the editor on one of them: the gauge measures
// every string and plans the list's assignment, as OK would make it.
void BM_CaptureStrokeWithGauge(benchmark::State& state) {
  const auto app = FullWindow();
  model::KeyboardDefinition& def = app->doc.def;
  for (int n = 0; n < model::kStringCount; ++n) {
    model::KeyLayer& layer = def.keys[static_cast<std::size_t>(n)].layers[0];
    layer = {1, {}, n, 0, model::STRING_KEY};
  }
  ui::StringEditorModel editor;
  ui::CreateStringEditor(editor, def);
  editor.editKey = 127;  // string 127, the last one
  const ui::EditorKeyEvent a{0x1E, false, false, false, "a"};
  for (auto _ : state) {
    ui::OnStringEditorKeyDown(editor, a);
    if (editor.lines.size() == 60) editor.lines.resize(2);
    benchmark::DoNotOptimize(editor.capacityText);
  }
}
BENCHMARK(BM_CaptureStrokeWithGauge)->Unit(benchmark::kMicrosecond);
// Arg 0: the copy made on the window's thread (encoded, strings packed);
// arg 1: made and written through the writer thread as once a period (a safe
// replace, unsynced); arg 2: the same synced, as at a signal.
void BM_RecoveryCopy(benchmark::State& state) {
  const auto app = FullWindow();
  app->doc.loadedFile = "/boards/full.DAT";
  const std::string directory = (std::filesystem::temp_directory_path() /
                                 ("veltrane-bench-recovery-" + std::to_string(::getpid())))
                                    .string() +
                                "/";
  {
    ui::RecoveryKeeper keeper(directory);
    std::uint32_t debounce = 0;
    for (auto _ : state) {
      app->doc.def.settings.DebounceTime = ++debounce % 256;  // a new copy each time
      if (state.range(0) == 0) {
        benchmark::DoNotOptimize(ui::EncodeRecoveryCopy(app->doc));
      } else {
        keeper.Follow(*app, state.range(0) == 1 ? veltrane::fileaccess::Durability::Unsynced
                                                : veltrane::fileaccess::Durability::Synced);
        keeper.Flush();
      }
    }
    keeper.Discard();
    if (const std::string problem = keeper.TakeProblem(); !problem.empty())
      state.SkipWithError(problem.c_str());
  }
  std::filesystem::remove_all(directory);
  static const char* const kLabels[] = {"encoded", "written", "written and synced"};
  state.SetLabel(kLabels[state.range(0)]);
}
BENCHMARK(BM_RecoveryCopy)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
