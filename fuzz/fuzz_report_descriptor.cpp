// SPDX-License-Identifier: MIT
// Arbitrary HID report descriptors, as a hidraw node of any device may hand them over.
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/hid_nodes.h"
#include "link/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto summary = veltrane::link::ParseReportDescriptor(std::span(data, size));
  if (summary) veltrane::link::NodeCapabilities(*summary);
  return 0;
}
