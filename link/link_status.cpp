// SPDX-License-Identifier: MIT
#include "link/link_status.h"

namespace veltrane::link {
namespace {

thread_local LinkStatus t_lastStatus = LinkStatus::Ok;

}  // namespace

void SetLastStatus(LinkStatus status) {
  t_lastStatus = status;
}

LinkStatus LastStatus() {
  return t_lastStatus;
}

}  // namespace veltrane::link
