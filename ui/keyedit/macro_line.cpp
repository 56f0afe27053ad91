// SPDX-License-Identifier: MIT
#include "ui/keyedit/macro_line.h"

namespace veltrane::ui {
namespace {

// The words that differ between the writers of lines.
struct ColumnTexts {
  std::string_view shiftLeft;
  std::string_view altGr;
  std::string_view lightUp;
  std::string_view lightDown;
};

ColumnTexts TextsOf(LineWriter writer) {
  switch (writer) {
    case LineWriter::Captured:
      return {"Shift l ", "Alt Gr1", "Light1Up", "Light1Down"};
    case LineWriter::StringStroke:
      return {"Shift l", "Alt Gr2", "", ""};
    case LineWriter::KeyLayer:
      return {"Shift l", "Alt Gr3", "Light3Up", "Light3Down"};
    default:
      return {"Shift l", "Alt Gr4", "Light4Up", "Light4Down"};
  }
}

}  // namespace

MacroLine PlainLine(std::string_view name) {
  return {std::string(name), {}, LineWriter::Captured};
}

ModifierFlags ShownFlags(const MacroLine& line) {
  if (line.writer == LineWriter::Bare) return {};
  ModifierFlags f = line.flags;
  f.ctrlRight = f.ctrlRight && !f.ctrlLeft;
  f.shiftRight = f.shiftRight && !f.shiftLeft;
  f.lightDown = f.lightDown && !f.lightUp;
  if (line.writer == LineWriter::StringStroke)
    f.base = f.repeatOff = f.lightUp = f.lightDown = false;
  return f;
}

std::string RenderMacroLine(const MacroLine& line) {
  if (line.writer == LineWriter::Bare) return line.name;
  const ModifierFlags f = ShownFlags(line);
  const ColumnTexts texts = TextsOf(line.writer);
  const auto column = [](bool set, std::string_view text) {
    return "\t" + std::string(set ? text : "");
  };
  std::string s = line.name;
  s += column(f.alt, "Alt");
  s += column(f.ctrlLeft || f.ctrlRight, f.ctrlLeft ? "Ctrl l" : "Ctrl r");
  s += column(f.shiftLeft || f.shiftRight, f.shiftLeft ? texts.shiftLeft : "Shift r");
  s += column(f.base, "Base");
  s += column(f.repeatOff, "Rep Off");
  s += column(f.altGr, texts.altGr);
  s += column(f.lightUp || f.lightDown, f.lightUp ? texts.lightUp : texts.lightDown);
  return s + "\t";
}

}  // namespace veltrane::ui
