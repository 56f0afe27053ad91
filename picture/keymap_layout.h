// SPDX-License-Identifier: MIT
// The keymap picture of one layer as a page: the 16 x 8 matrix as the window
// lays it out (rows 0..15 down, columns 0..7 across, the corner split into
// "Sns" and "Drv" as in the window), each key with its legend, its meaning and
// the modifiers it is sent with, grey where the keyboard gets nothing, and the
// macros the page names listed under the grid with their strokes.
#pragma once

#include <array>
#include <string_view>

#include "model/definition.h"
#include "picture/page.h"
#include "picture/text_fit.h"

namespace veltrane::picture {

// A4 portrait; a long macro list makes the page taller.
inline constexpr double kPageWidth = 595.276;
inline constexpr double kPageHeight = 841.89;

// The layers by the names the definition text uses: base, fn1, fn2, fn1+fn2.
inline constexpr std::array<std::string_view, model::kLayerCount> kLayerNames = {"base", "fn1",
                                                                                 "fn2", "fn1+fn2"};

// The page of `layer` (0..3) of `def`, whose macros are in its string work
// buffer; `name` (the configuration's file name) heads it.
Page LayoutLayerPage(const model::KeyboardDefinition& def, int layer, std::string_view name,
                     TextFit& fit);

}  // namespace veltrane::picture
