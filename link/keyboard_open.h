// SPDX-License-Identifier: MIT
// Finding and opening the keyboard among the HID devices, and the
// identification text that every open attempt leaves behind.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/device_layer.h"

namespace veltrane::link {

inline constexpr int kInterfaceAttempts = 40;
inline constexpr std::size_t kProductTextSize = 64;
inline constexpr std::size_t kProductTextChars = kProductTextSize - 1;

inline constexpr std::size_t kAccessProblemSize = 512;

inline constexpr const char* kNotFoundText = "Not found";
inline constexpr const char* kNoReportsText = "Error 1";
inline constexpr const char* kNoProductStringText = "Error 2";

// The library's state between calls: one instance per process.
struct LinkState {
  std::array<char, kProductTextSize> ProductText{};  // always NUL-terminated
  bool openDenied = false;  // the last walk met a matching keyboard it may not open
  // What was wrong and how to fix it when openDenied is set, else empty.
  std::array<char, kAccessProblemSize> accessProblem{};
};

void SetProductText(LinkState& state, std::string_view text);
std::string_view ProductTextOf(const LinkState& state);

bool IsKeyboardVendorProduct(const DeviceAttributes& attributes);
bool PassesIdentityTest(const DeviceAttributes& attributes, const DeviceCapabilities& capabilities);

// Cuts the path at its first "\kbd", so that it names the HID collection.
void CutAtKbd(std::string& path);

// Interface `index` when it holds a keyboard that passes the identity test:
// open, with ProductText read and its path (cut at "\kbd") in `path`.
// kNoDevice otherwise; ProductText is then left as it was.
DeviceHandle OpenInterface(DeviceLayer& layer, LinkState& state, int index, std::string& path);

// Walks all interface indices and returns the first keyboard that passes the
// identity test, open; kNoDevice when there is none. Rewrites ProductText.
DeviceHandle OpenKeyboard(DeviceLayer& layer, LinkState& state);

// 1 when a keyboard was found (and closed again), else 0. `text` receives
// ProductText with its NUL (at most 64 bytes); a null `text` receives nothing.
int DetectKeyboard(DeviceLayer& layer, LinkState& state, char* text);

}  // namespace veltrane::link
