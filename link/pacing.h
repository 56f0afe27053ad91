// SPDX-License-Identifier: MIT
// Pacing of write reports for the firmware that needs time after each one.
#pragma once

#include "link/device_layer.h"

namespace veltrane::link {

inline constexpr MonotonicTime kPacingPeriod = std::chrono::milliseconds(16);

// Each wait ends one period after the previous wait's end (the first one
// period after the pacer was made), on absolute deadlines: a late wake-up is
// not carried into the next one, so 768 reports take 768 periods and not 768
// periods plus 768 overshoots. A report that ends after its deadline is not
// waited for, and the next deadline counts from then, never from earlier.
class Pacer {
 public:
  Pacer(DeviceLayer& layer, bool paced);
  // After each accepted write report.
  void AfterWrite();

 private:
  DeviceLayer& layer_;
  bool paced_;
  MonotonicTime lastEnd_{};
};

}  // namespace veltrane::link
