// SPDX-License-Identifier: MIT
// A scripted fake device layer: interfaces as a test sets them up, and a
// script of the feature reports the logic must send, in order.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/device_layer.h"
#include "link/keyboard_open.h"

namespace veltrane::link::testing {

struct FakeInterface {
  InterfaceStatus status = InterfaceStatus::Absent;
  std::string path;
  std::optional<DeviceAttributes> listed;
  OpenStatus open = OpenStatus::Opened;
  DeviceAttributes attributes{0x7A31, 0xFF02};
  DeviceCapabilities capabilities{0x01, 0x06, 8, 1};
  bool attributesFail = false;
  bool capabilitiesFail = false;
  std::optional<std::u16string> productString;  // empty: the query fails
};

// A device that passes the identity test.
FakeInterface FakeKeyboard(const std::string& path, const std::u16string& product = u"V0527X");

// Text form of a report, "00 23 81 00 00 00 7a".
std::string Hex(const FeatureReport& report);

class FakeDeviceLayer final : public DeviceLayer {
 public:
  std::array<FakeInterface, kInterfaceAttempts> interfaces{};
  bool closeFails = false;
  int errorCode = 5;  // EIO

  void ExpectSet(const FeatureReport& report, bool accept = true);
  void ExpectGet(const FeatureReport& reply, bool accept = true);
  // Fails the test unless every scripted report came and every device was closed.
  void VerifyAllSent() const;

  std::vector<int> queried;         // interface indices asked for
  std::vector<std::string> opened;  // paths as opened
  std::vector<std::string> events;  // "set", "get", "sleep 16" (ms), "close"
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  std::vector<int> openAtMessage;                             // openDevices at each message
  std::string printed;
  int openDevices = 0;
  // The fake clock: each set-feature report takes the next of reportTimes, then
  // reportTime; only waits move it otherwise.
  std::deque<MonotonicTime> reportTimes;
  MonotonicTime reportTime{};
  MonotonicTime now{};

  InterfaceEntry Interface(int index) override;
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override;
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override;
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override;
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override;
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  bool Close(DeviceHandle handle) override;
  int LastError() override { return errorCode; }
  MonotonicTime Now() override { return now; }
  void SleepUntil(MonotonicTime deadline) override;
  void Message(const char* text, const char* caption) override;
  void Print(const char* text) override { printed += text; }

 private:
  struct Exchange {
    bool isSet;
    FeatureReport bytes;  // expected (set) or reply (get)
    bool accept;
  };
  bool Scripted(bool isSet, FeatureReport& report);

  std::deque<Exchange> script_;
  bool scriptBroken_ = false;
};

// Records the progress callback's arguments.
inline std::vector<int> g_progress;
inline int RecordProgress(int step) {
  g_progress.push_back(step);
  return 0;
}

}  // namespace veltrane::link::testing
