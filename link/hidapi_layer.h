// SPDX-License-Identifier: MIT
// The device layer over hidapi's hidraw backend, for real keyboards.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "link/device_layer.h"
#include "link/hid_nodes.h"

struct hid_device_;

namespace veltrane::link {

class HidapiLayer final : public DeviceLayer {
 public:
  HidapiLayer();
  ~HidapiLayer() override;
  HidapiLayer(const HidapiLayer&) = delete;
  HidapiLayer& operator=(const HidapiLayer&) = delete;

  // Index 0 takes a fresh device list; the later indices walk that list.
  InterfaceEntry Interface(int index) override;
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override;
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override;
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override;
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override;
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  bool Close(DeviceHandle handle) override;
  int LastError() override { return lastError_; }
  bool SerialString(DeviceHandle handle, ProductStringBuffer& text) override;
  std::string Location(const std::string& path) override;
  // The hidraw node itself: every program that takes it agrees on one file.
  LockTarget LockTargetOf(const std::string& path) override { return LockTarget{path, false}; }

 private:
  struct OpenDevice {
    hid_device_* device = nullptr;
    std::string path;
    bool locked = false;  // the node's lock, taken at the first report
  };
  // Waits for the node's lock before the first report, so that a download
  // never lands in a keyboard another program is working on.
  bool TakeNode(OpenDevice& open);
  static constexpr int kOpenSlots = 4;

  void ListNodes();
  OpenDevice* Find(DeviceHandle handle);
  bool Fail(int code);

  bool initialised_ = false;
  bool listed_ = false;
  std::vector<HidNode> nodes_;
  std::array<OpenDevice, kOpenSlots> open_{};
  int lastError_ = 0;
};

}  // namespace veltrane::link
