// SPDX-License-Identifier: MIT
// A device layer that hands every operation to another one; decorators
// derive from it and change only what they are for.
#pragma once

#include <string>

#include "link/device_layer.h"

namespace veltrane::link {

class ForwardingLayer : public DeviceLayer {
 public:
  explicit ForwardingLayer(DeviceLayer& inner) : inner_(inner) {}

  InterfaceEntry Interface(int index) override { return inner_.Interface(index); }
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override {
    return inner_.Open(path, handle);
  }
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override {
    return inner_.Attributes(handle, attributes);
  }
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override {
    return inner_.Capabilities(handle, capabilities);
  }
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override {
    return inner_.ProductString(handle, text);
  }
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override {
    return inner_.SetFeature(handle, report);
  }
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override {
    return inner_.GetFeature(handle, report);
  }
  bool Close(DeviceHandle handle) override { return inner_.Close(handle); }
  int LastError() override { return inner_.LastError(); }
  bool SerialString(DeviceHandle handle, ProductStringBuffer& text) override {
    return inner_.SerialString(handle, text);
  }
  std::string Location(const std::string& path) override { return inner_.Location(path); }
  LockTarget LockTargetOf(const std::string& path) override { return inner_.LockTargetOf(path); }
  MonotonicTime Now() override { return inner_.Now(); }
  void SleepUntil(MonotonicTime deadline) override { inner_.SleepUntil(deadline); }
  void Note(const char* text) override { inner_.Note(text); }
  void Message(const char* text, const char* caption) override { inner_.Message(text, caption); }
  void Print(const char* text) override { inner_.Print(text); }

 protected:
  DeviceLayer& Inner() { return inner_; }

 private:
  DeviceLayer& inner_;
};

}  // namespace veltrane::link
