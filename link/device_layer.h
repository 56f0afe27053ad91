// SPDX-License-Identifier: MIT
// The platform operations the keyboard link runs on. One logic drives real
// keyboards (hidapi), the simulated keyboard and the test fakes through them.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/keyboard_lock.h"

namespace veltrane::link {

// Every feature report is 7 bytes; byte 0 is the report ID (always 0).
inline constexpr std::size_t kReportSize = 7;
using FeatureReport = std::array<std::uint8_t, kReportSize>;

using DeviceHandle = int;
inline constexpr DeviceHandle kNoDevice = -1;

struct DeviceAttributes {
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
};

// Of the device's top-level collection; lengths in bytes, 0 when it has no such report.
struct DeviceCapabilities {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint16_t inputReportLength = 0;
  std::uint16_t outputReportLength = 0;
};

enum class InterfaceStatus { Present, Absent, NoDeviceSet };

struct InterfaceEntry {
  InterfaceStatus status = InterfaceStatus::Absent;
  std::string path;  // any length; nothing cuts or limits it
  // Vendor and product as the device list shows them without opening, when it does.
  std::optional<DeviceAttributes> listed;
};

enum class OpenStatus { Opened, Failed, Denied };

// A point on the monotonic clock, as nanoseconds since its (arbitrary) start.
using MonotonicTime = std::chrono::nanoseconds;

// 512 bytes of 16-bit characters, as the product string query fills them.
inline constexpr std::size_t kProductStringChars = 256;
using ProductStringBuffer = std::array<char16_t, kProductStringChars>;

class DeviceLayer {
 public:
  virtual ~DeviceLayer() = default;

  // Interface number `index` of the HID devices present now.
  virtual InterfaceEntry Interface(int index) = 0;
  // Denied: the device exists but this user may not open it.
  virtual OpenStatus Open(const std::string& path, DeviceHandle& handle) = 0;
  virtual bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) = 0;
  virtual bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) = 0;
  // On success the text is NUL-terminated within the buffer.
  virtual bool ProductString(DeviceHandle handle, ProductStringBuffer& text) = 0;
  virtual bool SetFeature(DeviceHandle handle, const FeatureReport& report) = 0;
  // `report` carries the request on entry and the 7 bytes received on success.
  virtual bool GetFeature(DeviceHandle handle, FeatureReport& report) = 0;
  virtual bool Close(DeviceHandle handle) = 0;
  // errno-style code of the last operation that failed.
  virtual int LastError() = 0;

  // The USB serial number string, NUL-terminated; false when the device has none.
  virtual bool SerialString(DeviceHandle handle, ProductStringBuffer& text);
  // Where the device at `path` is plugged in ("1-1.4"); empty when unknown.
  virtual std::string Location(const std::string& path);
  // What a program locks while it works on the keyboard at `path`; none by default.
  virtual LockTarget LockTargetOf(const std::string& path);

  // The monotonic clock that paced writes wait against.
  virtual MonotonicTime Now();
  // Returns once Now() has reached `deadline`; at once when it has passed.
  virtual void SleepUntil(MonotonicTime deadline);
  // Says what the reports that follow are for, in a report trace; nothing elsewhere.
  virtual void Note(const char* text);
  // A message box with an OK button and no owner.
  virtual void Message(const char* text, const char* caption);
  // A diagnostic line on standard error.
  virtual void Print(const char* text);
};

}  // namespace veltrane::link
