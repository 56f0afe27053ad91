// SPDX-License-Identifier: MIT
// The library's messages about a transfer, as the user sees them.
#pragma once

#include <cstdint>

#include "link/device_layer.h"

namespace veltrane::link {

inline constexpr const char* kCaption = "nirvex";

// "Setfeature returned: %d %s\n" with the last error and its text.
void ShowSetFeatureFailure(DeviceLayer& layer);
// "CloseHandle failed %d\n" with the last error.
void ShowCloseFailure(DeviceLayer& layer);
// A diagnostic line for an address range refused before any report.
void PrintRefused(DeviceLayer& layer, std::uint32_t address, std::uint32_t count);

}  // namespace veltrane::link
