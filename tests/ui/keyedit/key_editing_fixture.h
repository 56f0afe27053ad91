// SPDX-License-Identifier: MIT
// A definition, an edit target and a host that counts what the key editing
// models asked of the windows.
#pragma once

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "ui/keyedit/key_editing_host.h"
#include "ui/keyedit/macro_line.h"

namespace veltrane::ui {

class CountingHost : public KeyEditingHost {
 public:
  void RepaintMainWindow() override { ++repaints; }
  void ShowStringEditor() override { ++shows; }
  void HideStringEditor() override { ++hides; }
  void FocusStringEditor() override { ++focuses; }
  int repaints = 0, shows = 0, hides = 0, focuses = 0;
};

inline std::string Named(std::string_view name) {
  return std::string(name) + "\t\t\t\t\t\t\t\t";
}

// The texts the list shows for the lines.
inline std::vector<std::string> Texts(const std::vector<MacroLine>& lines) {
  std::vector<std::string> texts;
  for (const MacroLine& line : lines) texts.push_back(RenderMacroLine(line));
  return texts;
}

class KeyEditingTest : public ::testing::Test {
 protected:
  KeyEditingTest() { model::InitialiseDefinition(def); }
  model::KeyDefinition& Key() { return def.keys[static_cast<std::size_t>(KeyIndexOf(target))]; }
  model::KeyLayer& Layer(int layer) { return Key().layers[static_cast<std::size_t>(layer)]; }
  model::StringRow& String(int n) { return def.stringWorkBuffer[static_cast<std::size_t>(n)]; }

  model::KeyboardDefinition def;
  EditTarget target{true, 2, 3};
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  CountingHost host;
  KeyEditingContext context{def, target, &log, messages, host};
};

}  // namespace veltrane::ui
