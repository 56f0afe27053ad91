// SPDX-License-Identifier: MIT
// A keyboard read back and programmed again holds what it held, byte for
// byte: random definitions built for every firmware range and put on a
// keyboard, then "Read Keyboard EEProm" and "Program Keyboard" in a freshly
// started window, with no edit between them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "eeprom/random_definitions.h"
#include "model/macro_store.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "tests/ui/main_window/scripted_host.h"
#include "ui/app/image_commands.h"
#include "ui/controls/control_ids.h"
#include "ui/main_window/main_window_controller.h"

namespace veltrane::ui {
namespace {

// Random keys and strings, and random values for every setting a user can give.
std::unique_ptr<AppState> RandomWindow(eeprom::test::RandomDefinitions& random) {
  auto app = std::make_unique<AppState>();
  StartApplication(*app);
  random.Fill(app->doc.def);
  // Macros that would not fit the store are refused before any image is made,
  // so the last strings go until they fit.
  for (int n = model::kStringCount - 1; !model::MeasureMacroStore(app->doc.def).fits(); --n)
    app->doc.def.stringWorkBuffer[static_cast<std::size_t>(n)][0] = model::StringChar{};
  model::Settings& s = app->doc.def.settings;
  for (std::uint8_t* flag : {&s.GlobalRepeatDisable, &s.AnyKeyRelease, &s.PrefixMakeBreak})
    *flag = static_cast<std::uint8_t>(random.Int(0, 1));
  s.EnableBits = static_cast<std::uint8_t>(random.Int(0, 3));
  s.BeepLength = static_cast<std::uint8_t>(random.Int(0, 200));
  for (std::int32_t* led : {&s.Leds[0], &s.Leds[1], &s.Leds[2], &s.Leds[3]})
    *led = random.Int(0, 5);
  for (std::uint8_t& p : app->doc.def.settings.PointDeviceParams)
    p = static_cast<std::uint8_t>(random.Int(0, 255));
  s.ScrollWheelGain = static_cast<std::int8_t>(random.Int(0, 16));
  s.DefRepDelay = random.Int(0, 3);
  s.DefRepRate = random.Int(0, 31);
  s.MaxScanRow = random.Int(1, 16);
  s.PointDevice = random.Int(0, 2);
  s.DebounceTime = static_cast<std::uint32_t>(random.Int(0, 255));
  s.ConfigFileName = model::FormatText("board-%d.v%d.DAT", random.Int(0, 999), random.Int(0, 9));
  s.SerialNumber.clear();
  for (int n = random.Int(0, 31); n > 0; --n)
    s.SerialNumber += static_cast<char>(random.Int(32, 126));
  return app;
}

// A window as the program starts it, on the test's keyboard.
struct Window {
  explicit Window(FakeLink& link) : controller{app, view, io, link, host} {
    StartApplication(app);
    CreateMainWindowControls(view);
    RefreshControls(app, view);
  }
  testing::RecordingMessages messages;
  NullLog log;
  Services io{messages, log};
  ScriptedHost host;
  AppState app;
  MainWindowModel view;
  MainWindowController controller;
};

TEST(ReadRoundTrip, ReadingAndProgrammingAgainLeavesEveryByte) {
  const testing::TempDir dir;  // where a read's copy would go
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  eeprom::test::RandomDefinitions random(20250114);
  testing::RecordingMessages messages;
  NullLog log;
  const Services io{messages, log};
  int checked = 0;
  for (int iteration = 0; iteration < 150; ++iteration) {
    const std::unique_ptr<AppState> built = RandomWindow(random);
    // A keyboard always has a version: firmware 0 (none) stands for the lowest one.
    const std::string version = model::FormatText("V%04d", std::max(random.Firmware(), 5));
    SetVersionText(*built, version);
    if (!BuildImageForUse(*built, io)) continue;
    FakeLink link;
    link.version = version;
    link.keyboard.assign(built->doc.image.begin(), built->doc.image.begin() + 3072);
    const std::vector<unsigned char> before = link.keyboard;

    auto window = std::make_unique<Window>(link);
    window->controller.OnCommand(id::kRead);
    ASSERT_FALSE(window->view.modified);
    window->controller.OnCommand(id::kProgram);
    ASSERT_GE(link.transfers.size(), 2u);
    ASSERT_EQ(link.transfers[1].kind, "program");
    SCOPED_TRACE(::testing::Message() << "iteration " << iteration << " " << version);
    for (std::size_t at = 0; at < before.size(); ++at)
      ASSERT_EQ(link.keyboard[at], before[at]) << "byte 0x" << std::hex << at;
    ++checked;
  }
  std::filesystem::current_path(home);
  EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace veltrane::ui
