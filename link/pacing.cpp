// SPDX-License-Identifier: MIT
#include "link/pacing.h"

#include <algorithm>

namespace veltrane::link {

Pacer::Pacer(DeviceLayer& layer, bool paced) : layer_(layer), paced_(paced) {
  if (paced_) lastEnd_ = layer_.Now();
}

void Pacer::AfterWrite() {
  if (!paced_) return;
  const MonotonicTime now = layer_.Now();
  lastEnd_ = std::max(lastEnd_ + kPacingPeriod, now);
  if (lastEnd_ > now) layer_.SleepUntil(lastEnd_);
}

}  // namespace veltrane::link
