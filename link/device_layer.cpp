// SPDX-License-Identifier: MIT
#include "link/device_layer.h"

#include <cerrno>
#include <ctime>

#include "link/message_route.h"

namespace veltrane::link {

bool DeviceLayer::SerialString(DeviceHandle, ProductStringBuffer&) {
  return false;
}

LockTarget DeviceLayer::LockTargetOf(const std::string&) {
  return {};
}

std::string DeviceLayer::Location(const std::string&) {
  return {};
}

MonotonicTime DeviceLayer::Now() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// An absolute wait: a late wake-up is not carried into the next deadline.
void DeviceLayer::SleepUntil(MonotonicTime deadline) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(deadline);
  const timespec until{static_cast<std::time_t>(seconds.count()),
                       static_cast<long>((deadline - seconds).count())};
  while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

void DeviceLayer::Note(const char*) {}

void DeviceLayer::Message(const char* text, const char* caption) {
  ShowMessage(text, caption);
}

void DeviceLayer::Print(const char* text) {
  PrintDiagnostic(text);
}

}  // namespace veltrane::link
