// The matrix position open in the Key Settings dialog.
#pragma once

namespace veltrane::ui {

struct EditTarget {
  bool editing = false;  // true while the Key Settings dialog runs
  int row = 0;           // 0..15
  int column = 0;        // 0..7
};

}  // namespace veltrane::ui
