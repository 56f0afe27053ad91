// SPDX-License-Identifier: MIT
// The device layer over the simulated keyboard: one keyboard at interface 0,
// its memory loaded from its file at open and saved back at close. From open
// to close the run holds an exclusive lock on PATH + ".lock", so that two runs
// on one keyboard take turns and neither loses the other's writes. A keyboard
// plugged by its file takes the lock at its first report instead, and one
// whose file is removed fails every later report with ENODEV and is not saved.
#pragma once

#include <cstdint>
#include <string>

#include "link/device_layer.h"
#include "link/keyboard_lock.h"
#include "link/simulated_keyboard.h"

namespace veltrane::link {

struct SimulatedOptions {
  std::string path;  // the keyboard's file; empty keeps the memory for one open only, unlocked
  std::string product = "V0527X Simulated keyboard";
  std::uint16_t vendor = 0x7A31;
  std::uint16_t productId = 0xFF02;
  std::uint16_t usagePage = 0x01;
  std::uint16_t usage = 0x06;
  std::uint16_t inputReportLength = 8;
  std::uint16_t outputReportLength = 1;
  std::uint32_t refuseReport = 0;  // the N-th set-feature report of a session fails; 0: none
  std::uint32_t dropWrite = 0;     // the N-th write report of a session is taken but not stored
  bool closeFails = false;
  bool productStringFails = false;
  bool openDenied = false;
  bool virtualTime = false;  // waits move a clock of its own at once; reports take no time
  // Plugged in while its file exists, an empty file being an erased keyboard;
  // the lock is taken at the first report, so that a look at the keyboard
  // does not wait for another run's transfer.
  bool pluggedByFile = false;
};

class SimulatedLayer : public DeviceLayer {
 public:
  explicit SimulatedLayer(SimulatedOptions options);

  InterfaceEntry Interface(int index) override;
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override;
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override;
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override;
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override;
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  // Saves the memory when it changed, also when the close is made to fail,
  // then lets the next run have the keyboard.
  bool Close(DeviceHandle handle) override;
  int LastError() override { return lastError_; }
  LockTarget LockTargetOf(const std::string& path) override;
  MonotonicTime Now() override;
  void SleepUntil(MonotonicTime deadline) override;

  const SimulatedKeyboard& Keyboard() const { return keyboard_; }
  // The waits asked for, in virtual or real time.
  std::uint64_t SleptMilliseconds() const;
  std::uint32_t SetReportsSeen() const { return setReports_; }

 private:
  static constexpr DeviceHandle kHandle = 1;
  bool IsOpen(DeviceHandle handle);
  bool Fail(int code);
  OpenStatus Refuse(int code, OpenStatus status);
  bool TakeKeyboard();
  bool Plugged() const;
  bool ReadyForReport();

  SimulatedOptions options_;
  SimulatedKeyboard keyboard_;
  KeyboardLock lock_;
  bool open_ = false;
  std::uint32_t setReports_ = 0;
  std::uint32_t writeReports_ = 0;
  MonotonicTime slept_{};
  MonotonicTime virtualNow_{};
  int lastError_ = 0;
};

}  // namespace veltrane::link
