// SPDX-License-Identifier: MIT
// Simulated keyboards that come and go: every DIR/*.sim file is one plugged-in
// keyboard whose memory it holds, as the "sim:" backend keeps one. Creating a
// file plugs a keyboard in (an empty file is an erased one), removing it
// unplugs it. The options apply to every keyboard; a file NAME.sim.options
// beside one ("refuse=9,product=V0412X") adds its own. Each keyboard keeps its
// own lock, taken at its first report.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/simulated_layer.h"

namespace veltrane::link {

inline constexpr const char* kSimulatedExtension = ".sim";
inline constexpr const char* kOwnOptionsExtension = ".options";

// The *.sim names in `directory`, sorted; empty when it cannot be read.
std::vector<std::string> SimulatedKeyboardNames(const std::string& directory);

class SimulatedDirectoryLayer final : public DeviceLayer {
 public:
  // `options.path` is not used.
  SimulatedDirectoryLayer(std::string directory, SimulatedOptions options);

  // Index 0 reads the directory afresh; the later indices walk that reading.
  InterfaceEntry Interface(int index) override;
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override;
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override;
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override;
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override;
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  bool Close(DeviceHandle handle) override;
  int LastError() override { return lastError_; }
  LockTarget LockTargetOf(const std::string& path) override;
  // The open keyboard's clock, so that time=virtual stays virtual; the real
  // clock when none or several are open.
  MonotonicTime Now() override;
  void SleepUntil(MonotonicTime deadline) override;

 private:
  struct OpenKeyboard {
    std::unique_ptr<SimulatedLayer> layer;
    DeviceHandle inner = kNoDevice;  // its handle in its own layer
  };
  // Runs `call(layer, innerHandle)` on the open keyboard; false with the error kept.
  template <typename Call>
  bool OnKeyboard(DeviceHandle handle, Call call);
  bool OptionsFor(const std::string& path, SimulatedOptions& options);

  std::string directory_;
  SimulatedOptions options_;
  std::vector<std::string> names_;
  std::map<DeviceHandle, OpenKeyboard> open_;
  DeviceHandle nextHandle_ = 1;
  int lastError_ = 0;
};

}  // namespace veltrane::link
