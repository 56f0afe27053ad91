// SPDX-License-Identifier: MIT
// Pages as one SVG document, stacked top to bottom, with every text as SVG
// text (so that it can be searched, copied and read aloud) stretched to the
// width the layout measured, whatever font the viewer has.
#pragma once

#include <span>
#include <string>

#include "picture/page.h"

namespace veltrane::picture {

std::string WriteSvg(std::span<const Page> pages);

}  // namespace veltrane::picture
