// SPDX-License-Identifier: MIT
#include "link/hidapi_layer.h"

#include <hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <mutex>

#include "fileaccess/read_file.h"

namespace veltrane::link {
namespace {

// The raw report descriptor of a hidraw node, from sysfs (readable by everyone).
std::optional<DescriptorSummary> ReadDescriptor(const std::string& devicePath) {
  const std::string path = ReportDescriptorPath(devicePath);
  if (path.empty()) return std::nullopt;
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kMaxDescriptorSize);
  if (!file.ok()) return std::nullopt;
  return ParseReportDescriptor(file.bytes);
}

// hidapi keeps its start-up and its last open or listing error in globals:
// layers on several threads take turns for those calls. Calls on one open
// device touch only that device.
std::mutex& GlobalCalls() {
  static std::mutex calls;
  return calls;
}
int g_liveLayers = 0;  // under GlobalCalls(): hid_exit waits for the last one

// The low 16 bits of each wide character, as the product string is kept.
bool CopyWide(const std::array<wchar_t, kProductStringChars>& wide, ProductStringBuffer& text) {
  text.fill(0);
  for (std::size_t k = 0; k + 1 < text.size() && wide[k] != 0; ++k)
    text[k] = static_cast<char16_t>(static_cast<std::uint32_t>(wide[k]) & 0xFFFF);
  return true;
}

bool AccessDenied(const std::string& path) {
  if (::access(path.c_str(), R_OK | W_OK) == 0) return false;
  return errno == EACCES || errno == EPERM;
}

}  // namespace

HidapiLayer::HidapiLayer() {
  const std::lock_guard lock(GlobalCalls());
  initialised_ = hid_init() == 0;
  if (initialised_) ++g_liveLayers;
}

HidapiLayer::~HidapiLayer() {
  for (OpenDevice& slot : open_) {
    if (slot.device != nullptr) hid_close(slot.device);
    if (slot.locked) ReleaseKeyboardLock(slot.path);
  }
  const std::lock_guard lock(GlobalCalls());
  if (initialised_ && --g_liveLayers == 0) hid_exit();
}

void HidapiLayer::ListNodes() {
  std::vector<ListedCollection> listed;
  const std::lock_guard lock(GlobalCalls());
  hid_device_info* devices = hid_enumerate(0, 0);
  for (const hid_device_info* d = devices; d != nullptr; d = d->next)
    if (d->path != nullptr)
      listed.push_back(ListedCollection{d->path, DeviceAttributes{d->vendor_id, d->product_id}});
  hid_free_enumeration(devices);
  nodes_ = DistinctNodes(listed);
  listed_ = true;
}

InterfaceEntry HidapiLayer::Interface(int index) {
  if (!initialised_) return InterfaceEntry{InterfaceStatus::NoDeviceSet, {}, std::nullopt};
  if (index == 0 || !listed_) ListNodes();
  if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) return InterfaceEntry{};
  const HidNode& node = nodes_[static_cast<std::size_t>(index)];
  return InterfaceEntry{InterfaceStatus::Present, node.path, node.attributes};
}

OpenStatus HidapiLayer::Open(const std::string& path, DeviceHandle& handle) {
  handle = kNoDevice;
  int slot = 0;
  while (slot < kOpenSlots && open_[slot].device != nullptr) ++slot;
  if (slot == kOpenSlots) {
    Fail(EMFILE);
    return OpenStatus::Failed;
  }
  std::unique_lock lock(GlobalCalls());
  hid_device* device = hid_open_path(path.c_str());
  const int code = errno;
  lock.unlock();
  if (device == nullptr) {
    const bool denied = AccessDenied(path);
    Fail(denied ? EACCES : code);
    return denied ? OpenStatus::Denied : OpenStatus::Failed;
  }
  open_[slot] = OpenDevice{device, path};
  handle = slot;
  return OpenStatus::Opened;
}

HidapiLayer::OpenDevice* HidapiLayer::Find(DeviceHandle handle) {
  if (handle < 0 || handle >= kOpenSlots || open_[handle].device == nullptr) return nullptr;
  return &open_[handle];
}

bool HidapiLayer::Fail(int code) {
  lastError_ = code != 0 ? code : EIO;
  return false;
}

bool HidapiLayer::Attributes(DeviceHandle handle, DeviceAttributes& attributes) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return Fail(EBADF);
  const hid_device_info* info = hid_get_device_info(open->device);
  if (info == nullptr) return Fail(errno);
  attributes = DeviceAttributes{info->vendor_id, info->product_id};
  return true;
}

bool HidapiLayer::Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return Fail(EBADF);
  const std::optional<DescriptorSummary> summary = ReadDescriptor(open->path);
  const std::optional<DeviceCapabilities> found =
      summary ? NodeCapabilities(*summary) : std::nullopt;
  if (!found) return Fail(EIO);
  capabilities = *found;
  return true;
}

bool HidapiLayer::ProductString(DeviceHandle handle, ProductStringBuffer& text) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return Fail(EBADF);
  std::array<wchar_t, kProductStringChars> wide{};
  if (hid_get_product_string(open->device, wide.data(), wide.size()) != 0) return Fail(errno);
  return CopyWide(wide, text);
}

bool HidapiLayer::SerialString(DeviceHandle handle, ProductStringBuffer& text) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return Fail(EBADF);
  std::array<wchar_t, kProductStringChars> wide{};
  if (hid_get_serial_number_string(open->device, wide.data(), wide.size()) != 0) return Fail(errno);
  return CopyWide(wide, text) && text[0] != 0;
}

std::string HidapiLayer::Location(const std::string& path) {
  return UsbPortOfNode(path);
}

bool HidapiLayer::TakeNode(OpenDevice& open) {
  if (open.locked) return true;
  std::string reason;
  if (TakeKeyboardLock(LockTargetOf(open.path), true, reason) != LockOutcome::Taken)
    return Fail(EBUSY);
  open.locked = true;
  return true;
}

// Without report IDs the 7 bytes go out with byte 0 = 0, and hidraw counts that byte.
bool HidapiLayer::SetFeature(DeviceHandle handle, const FeatureReport& report) {
  OpenDevice* open = Find(handle);
  if (open == nullptr || !TakeNode(*open)) return open == nullptr ? Fail(EBADF) : false;
  const int sent = hid_send_feature_report(open->device, report.data(), report.size());
  if (sent < 0) return Fail(errno);
  if (static_cast<std::size_t>(sent) != report.size()) return Fail(EIO);
  return true;
}

bool HidapiLayer::GetFeature(DeviceHandle handle, FeatureReport& report) {
  OpenDevice* open = Find(handle);
  if (open == nullptr || !TakeNode(*open)) return open == nullptr ? Fail(EBADF) : false;
  FeatureReport reply{};
  reply[0] = report[0];
  const int received = hid_get_feature_report(open->device, reply.data(), reply.size());
  if (received < 0) return Fail(errno);
  if (static_cast<std::size_t>(received) != reply.size()) return Fail(EIO);
  report = reply;
  return true;
}

bool HidapiLayer::Close(DeviceHandle handle) {
  OpenDevice* open = Find(handle);
  if (open == nullptr) return Fail(EBADF);
  hid_close(open->device);
  if (open->locked) ReleaseKeyboardLock(open->path);
  *open = OpenDevice{};
  return true;
}

}  // namespace veltrane::link
