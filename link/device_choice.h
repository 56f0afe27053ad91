// SPDX-License-Identifier: MIT
// Which device layer a library call runs on, from the environment:
// NIRVEX_DEVICE chooses the backend, NIRVEX_TRACE adds the report trace.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "link/device_layer.h"
#include "link/simulated_layer.h"

namespace veltrane::link {

inline constexpr const char* kDeviceVariable = "NIRVEX_DEVICE";
inline constexpr const char* kTraceVariable = "NIRVEX_TRACE";

enum class Backend { Hidapi, Simulated, SimulatedDirectory, Invalid };

struct DeviceChoice {
  Backend backend = Backend::Hidapi;
  SimulatedOptions simulated;
  std::string error;  // why an Invalid choice was refused
};

// Unset, empty or "hidapi": hidapi. "sim:PATH[,option=value...]": the simulated
// keyboard; PATH may not be empty. "simdir:DIR[,option=value...]": the
// simulated keyboards DIR/*.sim (the options in `simulated`, DIR in its path).
DeviceChoice ParseDeviceChoice(const char* text);

// "option=value[,option=value...]" over `options`; false with `error` naming
// the first option that is not understood.
bool ParseSimulatedOptions(std::string_view list, SimulatedOptions& options, std::string& error);

// Why the device choice cannot find any keyboard: the choice refused, or a
// "simdir:" directory that is missing or not a directory. Empty when usable.
std::string DeviceProblem(const char* deviceText);

// The layer for one call; an invalid choice prints why on standard output and
// gives a layer without devices. A non-empty tracePath wraps it in a TraceLayer.
std::unique_ptr<DeviceLayer> MakeDeviceLayer(const char* deviceText, const char* tracePath);

}  // namespace veltrane::link
