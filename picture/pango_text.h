// SPDX-License-Identifier: MIT
// The one way a text becomes a Pango layout, shared by measuring and drawing.
#pragma once

#include <pango/pangocairo.h>

namespace veltrane::picture {

// Unhinted metrics and unrounded glyph positions on `context`, so that a
// text is as wide on a printer, a PDF page and a PNG of any scale.
void UseExactMetrics(PangoContext* context);

// Sets the family, `size` in points (user units) and weight on `layout`.
void SetLayoutFont(PangoLayout* layout, double size, bool bold);

}  // namespace veltrane::picture
