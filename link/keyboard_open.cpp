// SPDX-License-Identifier: MIT
#include "link/keyboard_open.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/link_status.h"

namespace veltrane::link {
namespace {

constexpr std::uint16_t kGenericDesktopPage = 0x01;
constexpr std::uint16_t kKeyboardUsage = 0x06;

void NoteDenied(DeviceLayer& layer, LinkState& state, const InterfaceEntry& entry) {
  if (state.openDenied) return;  // one explanation per walk
  state.openDenied = true;
  std::snprintf(state.accessProblem.data(), state.accessProblem.size(),
                "Keyboard %04x:%04x at %.200s cannot be opened: permission denied.\n"
                "The udev rule 70-veltrane.rules gives the user at the seat access: the "
                "veltrane package installs it, \"sudo ./dev udev\" does from a source tree. "
                "Then unplug and re-plug the keyboard.\n",
                entry.listed->vendor, entry.listed->product, entry.path.c_str());
  layer.Print(state.accessProblem.data());
}

void ReadProductText(DeviceLayer& layer, LinkState& state, DeviceHandle handle,
                     const DeviceCapabilities& capabilities) {
  if (capabilities.inputReportLength == 0 || capabilities.outputReportLength == 0) {
    SetProductText(state, kNoReportsText);
    return;
  }
  ProductStringBuffer chars{};
  if (!layer.ProductString(handle, chars)) {
    SetProductText(state, kNoProductStringText);
    return;
  }
  state.ProductText.fill('\0');
  // Only the low byte of each 16-bit character is kept.
  for (std::size_t k = 0; k < kProductTextChars && chars[k] != 0; ++k)
    state.ProductText[k] = static_cast<char>(chars[k] & 0xFF);
}

}  // namespace

DeviceHandle OpenInterface(DeviceLayer& layer, LinkState& state, int index, std::string& path) {
  InterfaceEntry entry = layer.Interface(index);
  if (entry.status == InterfaceStatus::NoDeviceSet) {
    layer.Print("No HDEVINFO available for this GUID\n");
    return kNoDevice;
  }
  if (entry.status != InterfaceStatus::Present) return kNoDevice;
  CutAtKbd(entry.path);
  DeviceHandle handle = kNoDevice;
  const OpenStatus opened = layer.Open(entry.path, handle);
  if (opened == OpenStatus::Denied && entry.listed && IsKeyboardVendorProduct(*entry.listed))
    NoteDenied(layer, state, entry);
  if (opened != OpenStatus::Opened) return kNoDevice;
  DeviceAttributes attributes;
  DeviceCapabilities capabilities;
  if (!layer.Attributes(handle, attributes) || !layer.Capabilities(handle, capabilities) ||
      !PassesIdentityTest(attributes, capabilities)) {
    layer.Close(handle);
    return kNoDevice;
  }
  layer.Print("Found keyboard\n\n");
  ReadProductText(layer, state, handle, capabilities);
  path = std::move(entry.path);
  return handle;
}

void SetProductText(LinkState& state, std::string_view text) {
  state.ProductText.fill('\0');
  std::copy_n(text.begin(), std::min(text.size(), kProductTextChars), state.ProductText.begin());
}

std::string_view ProductTextOf(const LinkState& state) {
  return std::string_view(state.ProductText.data(), std::strlen(state.ProductText.data()));
}

bool IsKeyboardVendorProduct(const DeviceAttributes& attributes) {
  const bool vendor = attributes.vendor == 0x7A31 || attributes.vendor == 0x6C4E;
  const bool product = attributes.product >= 0xFF02 || attributes.product == 0xB5A0;
  return vendor && product;
}

bool PassesIdentityTest(const DeviceAttributes& attributes,
                        const DeviceCapabilities& capabilities) {
  return capabilities.usagePage == kGenericDesktopPage && capabilities.usage == kKeyboardUsage &&
         IsKeyboardVendorProduct(attributes);
}

void CutAtKbd(std::string& path) {
  const std::size_t at = path.find("\\kbd");
  if (at != std::string::npos) path.resize(at);
}

DeviceHandle OpenKeyboard(DeviceLayer& layer, LinkState& state) {
  state.openDenied = false;
  state.accessProblem.fill('\0');
  // No early stop: an absent interface does not end the walk.
  std::string path;
  for (int index = 0; index < kInterfaceAttempts; ++index) {
    const DeviceHandle handle = OpenInterface(layer, state, index, path);
    if (handle != kNoDevice) return handle;
  }
  SetProductText(state, kNotFoundText);
  return kNoDevice;
}

int DetectKeyboard(DeviceLayer& layer, LinkState& state, char* text) {
  const DeviceHandle handle = OpenKeyboard(layer, state);
  const bool found = handle != kNoDevice;
  if (found) layer.Close(handle);
  if (text != nullptr) std::memcpy(text, state.ProductText.data(), ProductTextOf(state).size() + 1);
  SetLastStatus(found ? LinkStatus::Ok : LinkStatus::NoKeyboard);
  return found ? 1 : 0;
}

}  // namespace veltrane::link
