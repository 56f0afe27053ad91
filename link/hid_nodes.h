// From hidapi's device list to the interfaces the open walk visits: one
// per hidraw node, standing for its keyboard collection when it has one.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_layer.h"
#include "link/report_descriptor.h"

namespace veltrane::link {

// One entry of the device list; a node with several collections appears once per collection.
struct ListedCollection {
  std::string path;
  DeviceAttributes attributes;
};

struct HidNode {
  std::string path;
  DeviceAttributes attributes;
};

// Each path once, in the order of its first entry.
std::vector<HidNode> DistinctNodes(std::span<const ListedCollection> listed);

// The keyboard collection (usage page 1, usage 6) when the node has one, else
// its first top-level collection; empty when it has none.
std::optional<DeviceCapabilities> NodeCapabilities(const DescriptorSummary& summary);

// /dev/hidrawN -> /sys/class/hidraw/hidrawN/device/report_descriptor; empty
// for a path that does not name a hidraw node.
std::string ReportDescriptorPath(std::string_view devicePath);

}  // namespace veltrane::link
