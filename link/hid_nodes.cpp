#include "link/hid_nodes.h"

#include <algorithm>

namespace veltrane::link {
namespace {

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

}  // namespace veltrane::link
