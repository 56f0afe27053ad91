// SPDX-License-Identifier: MIT
// Pages drawn through cairo: as a PDF document (a page each) and as a PNG
// image (the pages stacked top to bottom).
#pragma once

#include <cairo.h>

#include <span>
#include <string>

#include "picture/page.h"

namespace veltrane::picture {

// Draws `page` on `cr`, in points from the current origin.
void DrawPage(cairo_t* cr, const Page& page);

// The bytes of the document, or empty when cairo failed.
std::string WritePdf(std::span<const Page> pages);
std::string WritePng(std::span<const Page> pages, double pixelsPerPoint);

}  // namespace veltrane::picture
