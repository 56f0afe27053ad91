// SPDX-License-Identifier: MIT
// The progress bar along the bottom of the main window.
#pragma once

#include <functional>

namespace veltrane::ui {

struct ProgressBar {
  int minimum = 0;
  int maximum = 2048;
  int position = 0;
  int step = 1;
  std::function<void(const ProgressBar&)> changed;  // how a front end shows it

  void SetRange(int low, int high);
  void SetPosition(int value);
  // Advances by one step, wrapping to the bottom past the top; returns the previous position.
  int StepIt();
};

}  // namespace veltrane::ui
