// The progress bar along the bottom of the main window, and the callback the
// keyboard link calls during a transfer.
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

// The bar that ProgressStep advances; set while a window or a run owns one.
void SetActiveProgressBar(ProgressBar* bar);

// The transfer callback: ignores its argument and steps the active bar.
extern "C" int ProgressStep(int ignored);

}  // namespace veltrane::ui
