// SPDX-License-Identifier: MIT
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

// The USB port of a device from its resolved sysfs path: the interface
// component "1-1.4:1.0" of ".../usb1/1-1/1-1.4/1-1.4:1.0/0003:7A31:FF02.0005"
// gives "1-1.4" (bus 1, ports 1 then 4). Empty when the path has none.
std::string UsbPortOfSysfsPath(std::string_view sysfsPath);

// The USB port of /dev/hidrawN, where its sysfs device leads; empty when unknown.
std::string UsbPortOfNode(std::string_view devicePath);

}  // namespace veltrane::link
