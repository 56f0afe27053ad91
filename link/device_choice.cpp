// SPDX-License-Identifier: MIT
#include "link/device_choice.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "link/hidapi_layer.h"
#include "link/simulated_directory_layer.h"
#include "link/trace_layer.h"

namespace veltrane::link {
namespace {

constexpr std::string_view kSimulatedPrefix = "sim:";
constexpr std::string_view kDirectoryPrefix = "simdir:";

// Stands in for a device choice that could not be understood: no devices at all.
class AbsentLayer final : public DeviceLayer {
 public:
  InterfaceEntry Interface(int) override { return InterfaceEntry{}; }
  OpenStatus Open(const std::string&, DeviceHandle& handle) override {
    handle = kNoDevice;
    return OpenStatus::Failed;
  }
  bool Attributes(DeviceHandle, DeviceAttributes&) override { return false; }
  bool Capabilities(DeviceHandle, DeviceCapabilities&) override { return false; }
  bool ProductString(DeviceHandle, ProductStringBuffer&) override { return false; }
  bool SetFeature(DeviceHandle, const FeatureReport&) override { return false; }
  bool GetFeature(DeviceHandle, FeatureReport&) override { return false; }
  bool Close(DeviceHandle) override { return false; }
  int LastError() override { return ENODEV; }
};

template <typename Number>
bool ParseNumber(std::string_view text, Number& value, Number lowest) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  Number parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return false;
  if (parsed < lowest) return false;
  value = parsed;
  return true;
}

bool ParseSwitch(std::string_view value, std::string_view on, std::string_view off, bool& flag) {
  if (value != on && value != off) return false;
  flag = value == on;
  return true;
}

bool ParseReports(std::string_view value, SimulatedOptions& options) {
  const bool none = value == "none";
  if (!none && value != "noinput" && value != "nooutput" && value != "both") return false;
  options.inputReportLength = none || value == "noinput" ? 0 : 8;
  options.outputReportLength = none || value == "nooutput" ? 0 : 1;
  return true;
}

bool ParseOption(std::string_view key, std::string_view value, SimulatedOptions& options) {
  if (key == "product") {
    options.product = std::string(value);
    return true;
  }
  if (key == "vid") return ParseNumber<std::uint16_t>(value, options.vendor, 0);
  if (key == "pid") return ParseNumber<std::uint16_t>(value, options.productId, 0);
  if (key == "usagepage") return ParseNumber<std::uint16_t>(value, options.usagePage, 0);
  if (key == "usage") return ParseNumber<std::uint16_t>(value, options.usage, 0);
  if (key == "refuse") return ParseNumber<std::uint32_t>(value, options.refuseReport, 1);
  if (key == "drop") return ParseNumber<std::uint32_t>(value, options.dropWrite, 1);
  if (key == "close") return ParseSwitch(value, "fail", "ok", options.closeFails);
  if (key == "productstring") return ParseSwitch(value, "fail", "ok", options.productStringFails);
  if (key == "open") return ParseSwitch(value, "denied", "ok", options.openDenied);
  if (key == "time") return ParseSwitch(value, "virtual", "real", options.virtualTime);
  if (key == "reports") return ParseReports(value, options);
  return false;
}

// "sim:" and "simdir:" take a path, then the options after a comma.
DeviceChoice ParseSimulated(std::string_view text, Backend backend, const char* needs) {
  DeviceChoice choice;
  choice.backend = backend;
  const std::size_t comma = text.find(',');
  choice.simulated.path = std::string(text.substr(0, comma));
  if (choice.simulated.path.empty()) {
    choice.backend = Backend::Invalid;
    choice.error = needs;
    return choice;
  }
  if (comma != std::string_view::npos &&
      !ParseSimulatedOptions(text.substr(comma + 1), choice.simulated, choice.error))
    choice.backend = Backend::Invalid;
  return choice;
}

}  // namespace

bool ParseSimulatedOptions(std::string_view list, SimulatedOptions& options, std::string& error) {
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view option = list.substr(0, comma);
    const std::size_t equals = option.find('=');
    if (equals == std::string_view::npos ||
        !ParseOption(option.substr(0, equals), option.substr(equals + 1), options)) {
      error = "bad option \"" + std::string(option) + "\"";
      return false;
    }
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

DeviceChoice ParseDeviceChoice(const char* text) {
  const std::string_view choice = text != nullptr ? text : "";
  if (choice.empty() || choice == "hidapi") return DeviceChoice{};
  if (choice.starts_with(kSimulatedPrefix))
    return ParseSimulated(choice.substr(kSimulatedPrefix.size()), Backend::Simulated,
                          "\"sim:\" needs the path of the simulated keyboard's memory file");
  if (choice.starts_with(kDirectoryPrefix))
    return ParseSimulated(choice.substr(kDirectoryPrefix.size()), Backend::SimulatedDirectory,
                          "\"simdir:\" needs the directory of the simulated keyboards");
  DeviceChoice invalid;
  invalid.backend = Backend::Invalid;
  invalid.error = "unknown device \"" + std::string(choice) + "\"";
  return invalid;
}

std::string DeviceProblem(const char* deviceText) {
  const DeviceChoice choice = ParseDeviceChoice(deviceText);
  if (choice.backend == Backend::Invalid) return std::string(kDeviceVariable) + ": " + choice.error;
  if (choice.backend != Backend::SimulatedDirectory) return {};
  struct stat st {};
  const std::string& directory = choice.simulated.path;
  if (::stat(directory.c_str(), &st) != 0)
    return std::string(kDeviceVariable) + ": the directory of the simulated keyboards " +
           directory + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode))
    return std::string(kDeviceVariable) + ": " + directory + " is not a directory";
  return {};
}

std::unique_ptr<DeviceLayer> MakeDeviceLayer(const char* deviceText, const char* tracePath) {
  DeviceChoice choice = ParseDeviceChoice(deviceText);
  std::unique_ptr<DeviceLayer> layer;
  if (choice.backend == Backend::Hidapi) layer = std::make_unique<HidapiLayer>();
  if (choice.backend == Backend::Simulated)
    layer = std::make_unique<SimulatedLayer>(std::move(choice.simulated));
  if (choice.backend == Backend::SimulatedDirectory) {
    std::string directory = std::move(choice.simulated.path);
    layer = std::make_unique<SimulatedDirectoryLayer>(std::move(directory),
                                                      std::move(choice.simulated));
  }
  if (choice.backend == Backend::Invalid) {
    layer = std::make_unique<AbsentLayer>();
    layer->Print((std::string(kDeviceVariable) + ": " + choice.error + "\n").c_str());
  }
  if (tracePath == nullptr || *tracePath == '\0') return layer;
  return std::make_unique<TraceLayer>(std::move(layer), tracePath);
}

}  // namespace veltrane::link
