#include "link/device_layer.h"

#include <chrono>
#include <thread>

#include "link/message_route.h"

namespace veltrane::link {

bool DeviceLayer::SerialString(DeviceHandle, ProductStringBuffer&) {
  return false;
}

std::string DeviceLayer::Location(const std::string&) {
  return {};
}

void DeviceLayer::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void DeviceLayer::Message(const char* text, const char* caption) {
  ShowMessage(text, caption);
}

void DeviceLayer::Print(const char* text) {
  PrintDiagnostic(text);
}

}  // namespace veltrane::link
