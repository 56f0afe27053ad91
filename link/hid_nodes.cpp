// SPDX-License-Identifier: MIT
#include "link/hid_nodes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace veltrane::link {
namespace {

bool AllDigits(std::string_view text, std::string_view also = {}) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return (c >= '0' && c <= '9') || also.find(c) != std::string_view::npos;
  });
}

// "1-1.4:1.0": bus, '-', port chain, ':', configuration '.' interface.
bool IsUsbInterfaceName(std::string_view name) {
  const std::size_t dash = name.find('-');
  const std::size_t colon = name.find(':');
  if (dash == std::string_view::npos || colon == std::string_view::npos || colon < dash)
    return false;
  return AllDigits(name.substr(0, dash)) &&
         AllDigits(name.substr(dash + 1, colon - dash - 1), ".") &&
         AllDigits(name.substr(colon + 1), ".");
}

DeviceCapabilities CapabilitiesOf(const TopCollection& collection) {
  return DeviceCapabilities{collection.usagePage, collection.usage,
                            collection.Length(ReportType::Input),
                            collection.Length(ReportType::Output)};
}

}  // namespace

std::vector<HidNode> DistinctNodes(std::span<const ListedCollection> listed) {
  std::vector<HidNode> nodes;
  for (const ListedCollection& entry : listed) {
    const bool seen = std::any_of(nodes.begin(), nodes.end(),
                                  [&](const HidNode& node) { return node.path == entry.path; });
    if (!seen) nodes.push_back(HidNode{entry.path, entry.attributes});
  }
  return nodes;
}

std::optional<DeviceCapabilities> NodeCapabilities(const DescriptorSummary& summary) {
  if (summary.collectionCount == 0) return std::nullopt;
  for (int k = 0; k < summary.collectionCount; ++k) {
    const TopCollection& collection = summary.collections[k];
    if (collection.usagePage == 0x01 && collection.usage == 0x06) return CapabilitiesOf(collection);
  }
  return CapabilitiesOf(summary.collections[0]);
}

std::string ReportDescriptorPath(std::string_view devicePath) {
  const std::size_t slash = devicePath.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? devicePath : devicePath.substr(slash + 1);
  if (!name.starts_with("hidraw") || name.size() == 6) return {};
  if (!std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {};
  return "/sys/class/hidraw/" + std::string(name) + "/device/report_descriptor";
}

std::string UsbPortOfSysfsPath(std::string_view sysfsPath) {
  std::string port;
  std::size_t start = 0;
  while (start <= sysfsPath.size()) {
    const std::size_t end = std::min(sysfsPath.find('/', start), sysfsPath.size());
    const std::string_view name = sysfsPath.substr(start, end - start);
    if (IsUsbInterfaceName(name)) port = std::string(name.substr(0, name.find(':')));
    start = end + 1;
  }
  return port;
}

std::string UsbPortOfNode(std::string_view devicePath) {
  std::string descriptor = ReportDescriptorPath(devicePath);
  if (descriptor.empty()) return {};
  descriptor.resize(descriptor.rfind('/'));  // .../hidrawN/device
  char resolved[PATH_MAX];
  if (::realpath(descriptor.c_str(), resolved) == nullptr) return {};
  return UsbPortOfSysfsPath(resolved);
}

}  // namespace veltrane::link
