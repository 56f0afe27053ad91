// SPDX-License-Identifier: MIT
// The fourteen pictures of the main window's matrix and LED buttons, numbered
// as the program's picture resources.
#pragma once

#include <string_view>

namespace veltrane::ui {

enum class KeyPicture {
  Unused = 131,        // grey circle: enabled, not used
  Disabled = 133,      // zZZ
  Incomplete = 138,    // red cross: used, not complete
  Complete = 140,      // green tick
  Illumination = 142,  // yellow bulb; also an assigned LED
  LedOff = 143,        // grey bulb: an LED with "No LED"
  Mouse = 149,         // grey mouse
  String = 158,        // "Str"
  System = 161,        // green power symbol
  Consumer = 162,      // musical note
  Editing = 164,       // question mark: open in the Key Settings dialog
  LightUp = 165,       // bulb with a plus
  LightDown = 166,     // bulb with a minus
  Stop = 167,          // "Stop"
};

// A short name for a picture, as a screen reader or a tooltip says it.
constexpr std::string_view KeyPictureName(KeyPicture picture) {
  switch (picture) {
    case KeyPicture::Unused:
      return "Unused";
    case KeyPicture::Disabled:
      return "Disabled";
    case KeyPicture::Incomplete:
      return "Incomplete";
    case KeyPicture::Complete:
      return "Complete";
    case KeyPicture::Illumination:
      return "Illumination";
    case KeyPicture::LedOff:
      return "No LED";
    case KeyPicture::Mouse:
      return "Mouse";
    case KeyPicture::String:
      return "Str";
    case KeyPicture::System:
      return "System";
    case KeyPicture::Consumer:
      return "Consumer";
    case KeyPicture::Editing:
      return "Editing";
    case KeyPicture::LightUp:
      return "Light up";
    case KeyPicture::LightDown:
      return "Light down";
    case KeyPicture::Stop:
      return "Stop";
  }
  return "";
}

}  // namespace veltrane::ui
