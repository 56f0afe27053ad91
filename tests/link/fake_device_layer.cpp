// SPDX-License-Identifier: MIT
#include "tests/link/fake_device_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace veltrane::link::testing {

FakeInterface FakeKeyboard(const std::string& path, const std::u16string& product) {
  FakeInterface device;
  device.status = InterfaceStatus::Present;
  device.path = path;
  device.productString = product;
  return device;
}

std::string Hex(const FeatureReport& report) {
  std::string text;
  char byte[4];
  for (const std::uint8_t b : report) {
    std::snprintf(byte, sizeof byte, text.empty() ? "%02x" : " %02x", b);
    text += byte;
  }
  return text;
}

void FakeDeviceLayer::ExpectSet(const FeatureReport& report, bool accept) {
  script_.push_back(Exchange{true, report, accept});
}

void FakeDeviceLayer::ExpectGet(const FeatureReport& reply, bool accept) {
  script_.push_back(Exchange{false, reply, accept});
}

void FakeDeviceLayer::VerifyAllSent() const {
  EXPECT_FALSE(scriptBroken_);
  EXPECT_TRUE(script_.empty()) << script_.size() << " scripted reports never came, first "
                               << (script_.empty() ? "" : Hex(script_.front().bytes));
  EXPECT_EQ(openDevices, 0) << "a device was left open";
}

bool FakeDeviceLayer::Scripted(bool isSet, FeatureReport& report) {
  events.push_back(isSet ? "set" : "get");
  if (scriptBroken_) return false;
  if (script_.empty() || script_.front().isSet != isSet ||
      (isSet && script_.front().bytes != report)) {
    ADD_FAILURE() << "unexpected " << (isSet ? "set " + Hex(report) : std::string("get"))
                  << (script_.empty() ? "" : ", expected " + Hex(script_.front().bytes));
    scriptBroken_ = true;
    return false;
  }
  const Exchange next = script_.front();
  script_.pop_front();
  if (!isSet && next.accept) report = next.bytes;
  return next.accept;
}

InterfaceEntry FakeDeviceLayer::Interface(int index) {
  queried.push_back(index);
  if (index < 0 || static_cast<std::size_t>(index) >= interfaces.size()) return InterfaceEntry{};
  const FakeInterface& device = interfaces.at(static_cast<std::size_t>(index));
  return InterfaceEntry{device.status, device.path, device.listed};
}

OpenStatus FakeDeviceLayer::Open(const std::string& path, DeviceHandle& handle) {
  opened.push_back(path);
  for (std::size_t k = 0; k < interfaces.size(); ++k) {
    const FakeInterface& device = interfaces[k];
    if (device.status != InterfaceStatus::Present) continue;
    std::string cut = device.path;
    CutAtKbd(cut);
    if (cut != path || device.open != OpenStatus::Opened) continue;
    handle = static_cast<DeviceHandle>(k);
    ++openDevices;
    return OpenStatus::Opened;
  }
  handle = kNoDevice;
  for (const FakeInterface& device : interfaces)
    if (device.path == path && device.open == OpenStatus::Denied) return OpenStatus::Denied;
  return OpenStatus::Failed;
}

bool FakeDeviceLayer::Attributes(DeviceHandle handle, DeviceAttributes& attributes) {
  const FakeInterface& device = interfaces.at(static_cast<std::size_t>(handle));
  attributes = device.attributes;
  return !device.attributesFail;
}

bool FakeDeviceLayer::Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) {
  const FakeInterface& device = interfaces.at(static_cast<std::size_t>(handle));
  capabilities = device.capabilities;
  return !device.capabilitiesFail;
}

bool FakeDeviceLayer::ProductString(DeviceHandle handle, ProductStringBuffer& text) {
  const FakeInterface& device = interfaces.at(static_cast<std::size_t>(handle));
  if (!device.productString) return false;
  const std::u16string& product = *device.productString;
  for (std::size_t k = 0; k + 1 < text.size(); ++k) text[k] = k < product.size() ? product[k] : 0;
  text.back() = 0;
  return true;
}

bool FakeDeviceLayer::SetFeature(DeviceHandle, const FeatureReport& report) {
  now += reportTimes.empty() ? reportTime : reportTimes.front();
  if (!reportTimes.empty()) reportTimes.pop_front();
  FeatureReport sent = report;
  return Scripted(true, sent);
}

bool FakeDeviceLayer::GetFeature(DeviceHandle, FeatureReport& report) {
  return Scripted(false, report);
}

bool FakeDeviceLayer::Close(DeviceHandle) {
  events.push_back("close");
  --openDevices;
  return !closeFails;
}

void FakeDeviceLayer::SleepUntil(MonotonicTime deadline) {
  const auto wait = std::chrono::duration<double, std::milli>(deadline - now).count();
  char text[32];
  std::snprintf(text, sizeof text, "sleep %g", wait);
  events.push_back(text);
  now = std::max(now, deadline);
}

void FakeDeviceLayer::Message(const char* text, const char* caption) {
  messages.emplace_back(text, caption);
  openAtMessage.push_back(openDevices);
}

}  // namespace veltrane::link::testing
