// SPDX-License-Identifier: MIT
#include "ui/app/progress_bar.h"

namespace veltrane::ui {
void ProgressBar::SetRange(int low, int high) {
  minimum = low;
  maximum = high;
  if (position < minimum || position > maximum) position = minimum;
  if (changed) changed(*this);
}

void ProgressBar::SetPosition(int value) {
  position = value < minimum ? minimum : (value > maximum ? maximum : value);
  if (changed) changed(*this);
}

int ProgressBar::StepIt() {
  const int previous = position;
  position += step;
  if (position > maximum) position = minimum + (position - maximum);
  if (changed) changed(*this);
  return previous;
}

}  // namespace veltrane::ui
