// SPDX-License-Identifier: MIT
// The outcome of the calling thread's last keyboard call, kept per thread so
// that calls on several threads (one keyboard each) do not see each other's.
#pragma once

namespace veltrane::link {

// The values of NirvexStatus in nirvex.h; new ones are added at the end.
enum class LinkStatus {
  Ok = 0,
  NoKeyboard = 1,
  RangeRefused = 2,
  ReportFailed = 3,
  CloseFailed = 4,
  VerifyFailed = 5,
  Busy = 6,
};

void SetLastStatus(LinkStatus status);
LinkStatus LastStatus();

}  // namespace veltrane::link
