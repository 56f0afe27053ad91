// SPDX-License-Identifier: MIT
#include "link/transfer_messages.h"

#include <cstdio>
#include <cstring>

namespace veltrane::link {

void ShowSetFeatureFailure(DeviceLayer& layer) {
  const int code = layer.LastError();
  char text[256];
  std::snprintf(text, sizeof text, "Setfeature returned: %d %s\n", code, std::strerror(code));
  layer.Message(text, kCaption);
}

void ShowCloseFailure(DeviceLayer& layer) {
  char text[64];
  std::snprintf(text, sizeof text, "CloseHandle failed %d\n", layer.LastError());
  layer.Message(text, kCaption);
}

void PrintRefused(DeviceLayer& layer, std::uint32_t address, std::uint32_t count) {
  char text[160];
  std::snprintf(text, sizeof text, "Transfer refused: address 0x%X, count %u\n", address, count);
  layer.Print(text);
}

}  // namespace veltrane::link
