// SPDX-License-Identifier: MIT
// The packed macro store holds 192 entries, and a configuration file or an
// image holds only what is packed: a definition whose macros do not fit is
// told when it is loaded and refused before anything is written, instead of
// being cut short.
#pragma once

#include <string>
#include <string_view>

#include "model/definition.h"
#include "ui/app/app_state.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

// The caption of the boxes that tell of macros that do not fit.
inline constexpr std::string_view kMacroStoreCaption = "Macro store";

// What does not fit, naming each macro that would lose strokes, its keys and
// how many strokes: "The macros need 202 entries; ... macro 6 (row 3,
// column 5, fn1): 10 of its 40 strokes." Empty when the macros fit.
std::string MacroStoreOverflowText(const model::KeyboardDefinition& def);

// Ok when the macros fit; MacrosDoNotFit (with its text) when writing the
// definition would lose strokes.
Outcome CheckMacrosFit(const model::KeyboardDefinition& def);

// Before a configuration file, report or image is made from the document:
// the strings packed into the store (stringcharcount following them) when
// they fit; otherwise MacrosDoNotFit and nothing changed.
Outcome PackStringsThatFit(AppState& app);

// After a file or text named `path` was loaded: tells the user when its
// macros do not fit, and that Save, Generate and Program refuse it until they do.
void TellMacroStoreAtLoad(const model::KeyboardDefinition& def, const Services& io,
                          const std::string& path);

}  // namespace veltrane::ui
