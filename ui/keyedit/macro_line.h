// SPDX-License-Identifier: MIT
// One line of the string editor's list: a key's name and the modifier columns
// beside it. Lines are kept as records; their tab-separated text is made by
// RenderMacroLine alone, for the list to show.
#pragma once

#include <string>
#include <string_view>

namespace veltrane::ui {

// The string editor's ten check boxes.
struct ModifierFlags {
  bool alt = false;
  bool ctrlLeft = false;
  bool ctrlRight = false;
  bool shiftLeft = false;
  bool shiftRight = false;
  bool base = false;
  bool repeatOff = false;
  bool altGr = false;
  bool lightUp = false;
  bool lightDown = false;
  bool operator==(const ModifierFlags&) const = default;
};

// Who wrote the line, which decides the words of its columns: a captured key
// writes "Shift l " and "Alt Gr1", a stroke of a string "Alt Gr2", a key layer
// "Alt Gr3", a line rewritten by the check boxes "Alt Gr4". A bare line is all
// name, without columns.
enum class LineWriter { Bare, Captured, StringStroke, KeyLayer, Rewritten };

struct MacroLine {
  std::string name;
  ModifierFlags flags;  // as checked when the line was written; ShownFlags says what counts
  LineWriter writer = LineWriter::Captured;
};

// A line of the name alone with empty columns, as the buttons add them.
MacroLine PlainLine(std::string_view name);

// The flags the line's columns show: none for a bare line; left Ctrl or Shift
// before right, light up before down; a string stroke shows no Base, Repeat
// Off or light.
ModifierFlags ShownFlags(const MacroLine& line);

// The line's text: the name, then the seven columns (Alt, Ctrl, Shift, Base,
// Repeat off, Alt Gr, Light) each behind a tab, the light column closed by one
// more tab. A bare line is its name.
std::string RenderMacroLine(const MacroLine& line);

}  // namespace veltrane::ui
