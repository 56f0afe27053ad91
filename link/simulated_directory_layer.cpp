// SPDX-License-Identifier: MIT
#include "link/simulated_directory_layer.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "fileaccess/read_file.h"
#include "link/device_choice.h"

namespace veltrane::link {
namespace {

constexpr std::size_t kMaxOptionsFile = 4096;

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<std::string> SimulatedKeyboardNames(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() > 4 && name.ends_with(kSimulatedExtension)) names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

SimulatedDirectoryLayer::SimulatedDirectoryLayer(std::string directory, SimulatedOptions options)
    : directory_(std::move(directory)), options_(std::move(options)) {
  while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
}

InterfaceEntry SimulatedDirectoryLayer::Interface(int index) {
  if (index == 0) names_ = SimulatedKeyboardNames(directory_);
  if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) return InterfaceEntry{};
  return InterfaceEntry{InterfaceStatus::Present,
                        directory_ + "/" + names_[static_cast<std::size_t>(index)],
                        DeviceAttributes{options_.vendor, options_.productId}};
}

// The directory's options, then the keyboard's own file of them when it has one.
bool SimulatedDirectoryLayer::OptionsFor(const std::string& path, SimulatedOptions& options) {
  options = options_;
  options.path = path;
  options.pluggedByFile = true;
  const std::string own = path + kOwnOptionsExtension;
  const fileaccess::ReadResult file = fileaccess::ReadFile(own, kMaxOptionsFile);
  if (file.error == fileaccess::ReadError::NotFound) return true;
  std::string error = file.reason;
  const std::string text(file.bytes.begin(), file.bytes.end());
  if (file.ok() && (Trimmed(text).empty() || ParseSimulatedOptions(Trimmed(text), options, error)))
    return true;
  Print((own + ": " + error + "\n").c_str());
  return false;
}

OpenStatus SimulatedDirectoryLayer::Open(const std::string& path, DeviceHandle& handle) {
  handle = kNoDevice;
  const std::string prefix = directory_ + "/";
  const bool inDirectory = path.starts_with(prefix) && path.ends_with(kSimulatedExtension) &&
                           path.find('/', prefix.size()) == std::string::npos;
  SimulatedOptions options;
  if (!inDirectory || !OptionsFor(path, options)) {
    lastError_ = inDirectory ? EINVAL : ENOENT;
    return OpenStatus::Failed;
  }
  auto keyboard = std::make_unique<SimulatedLayer>(std::move(options));
  DeviceHandle inner = kNoDevice;
  const OpenStatus status = keyboard->Open(path, inner);
  if (status != OpenStatus::Opened) {
    lastError_ = keyboard->LastError();
    return status;
  }
  handle = nextHandle_++;
  open_.emplace(handle, OpenKeyboard{std::move(keyboard), inner});
  return status;
}

LockTarget SimulatedDirectoryLayer::LockTargetOf(const std::string& path) {
  return LockTarget{path + ".lock", true};
}

template <typename Call>
bool SimulatedDirectoryLayer::OnKeyboard(DeviceHandle handle, Call call) {
  const auto found = open_.find(handle);
  if (found == open_.end()) {
    lastError_ = EBADF;
    return false;
  }
  if (call(*found->second.layer, found->second.inner)) return true;
  lastError_ = found->second.layer->LastError();
  return false;
}

bool SimulatedDirectoryLayer::Attributes(DeviceHandle handle, DeviceAttributes& attributes) {
  return OnKeyboard(handle,
                    [&](SimulatedLayer& k, DeviceHandle h) { return k.Attributes(h, attributes); });
}

bool SimulatedDirectoryLayer::Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) {
  return OnKeyboard(
      handle, [&](SimulatedLayer& k, DeviceHandle h) { return k.Capabilities(h, capabilities); });
}

bool SimulatedDirectoryLayer::ProductString(DeviceHandle handle, ProductStringBuffer& text) {
  return OnKeyboard(handle,
                    [&](SimulatedLayer& k, DeviceHandle h) { return k.ProductString(h, text); });
}

bool SimulatedDirectoryLayer::SetFeature(DeviceHandle handle, const FeatureReport& report) {
  return OnKeyboard(handle,
                    [&](SimulatedLayer& k, DeviceHandle h) { return k.SetFeature(h, report); });
}

bool SimulatedDirectoryLayer::GetFeature(DeviceHandle handle, FeatureReport& report) {
  return OnKeyboard(handle,
                    [&](SimulatedLayer& k, DeviceHandle h) { return k.GetFeature(h, report); });
}

bool SimulatedDirectoryLayer::Close(DeviceHandle handle) {
  const bool closed =
      OnKeyboard(handle, [](SimulatedLayer& k, DeviceHandle h) { return k.Close(h); });
  open_.erase(handle);
  return closed;
}

MonotonicTime SimulatedDirectoryLayer::Now() {
  if (open_.size() == 1) return open_.begin()->second.layer->Now();
  return DeviceLayer::Now();
}

void SimulatedDirectoryLayer::SleepUntil(MonotonicTime deadline) {
  if (open_.size() == 1) {
    open_.begin()->second.layer->SleepUntil(deadline);
  } else if (!options_.virtualTime) {
    DeviceLayer::SleepUntil(deadline);
  }
}

}  // namespace veltrane::link
