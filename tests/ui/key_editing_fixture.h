// A definition, an edit target and a host that counts what the key editing
// models asked of the windows.
#pragma once

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "ui/key_editing_host.h"

namespace veltrane::ui {

class CountingHost : public KeyEditingHost {
 public:
  void RepaintMainWindow() override { ++repaints; }
  void ShowStringEditor() override { ++shows; }
  void HideStringEditor() override { ++hides; }
  void FocusStringEditor() override { ++focuses; }
  int repaints = 0;
  int shows = 0;
  int hides = 0;
  int focuses = 0;
};

class KeyEditingTest : public ::testing::Test {
 protected:
  KeyEditingTest() { model::InitialiseDefinition(def); }

  model::KeyDefinition& Key(int row, int column) {
    return def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))];
  }
  model::KeyLayer& Layer(int layer) {
    return Key(target.row, target.column).layers[static_cast<std::size_t>(layer)];
  }
  model::StringRow& String(int n) { return def.stringWorkBuffer[static_cast<std::size_t>(n)]; }
  // Puts a one-stroke string into string n, so that its number is in use.
  void UseString(int n) { String(n)[0] = {0, 0x04, 0x1C, 0}; }

  model::KeyboardDefinition def;
  EditTarget target{true, 2, 3};
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  CountingHost host;
  KeyEditingContext context{def, target, &log, messages, host};
};

}  // namespace veltrane::ui
