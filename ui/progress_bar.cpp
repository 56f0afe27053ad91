#include "ui/progress_bar.h"

namespace veltrane::ui {
namespace {
ProgressBar* active = nullptr;
}

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

void SetActiveProgressBar(ProgressBar* bar) {
  active = bar;
}

extern "C" int ProgressStep(int) {
  return active != nullptr ? active->StepIt() : 0;
}

}  // namespace veltrane::ui
