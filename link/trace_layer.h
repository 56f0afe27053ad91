// SPDX-License-Identifier: MIT
// A decorator that appends every feature report to a trace file, one line
// each: "set" or "get", then the 7 bytes as lower-case hex. Lines beginning
// with "# " say what the reports after them are for.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "link/forwarding_layer.h"

namespace veltrane::link {

// The trace line of one report, without its line end.
std::string TraceLine(const char* direction, const FeatureReport& report);

class TraceLayer final : public ForwardingLayer {
 public:
  // A trace file that cannot be opened (fileaccess::OpenAppendFile) leaves the
  // reports untraced, as does a failed write; the first such failure of a
  // process is told on stderr.
  TraceLayer(std::unique_ptr<DeviceLayer> inner, const std::string& path);
  ~TraceLayer() override;
  TraceLayer(const TraceLayer&) = delete;
  TraceLayer& operator=(const TraceLayer&) = delete;

  bool Tracing() const { return file_ != nullptr; }

  // Traced whether or not the device accepts it: the report was sent.
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  // Traced only when bytes were received.
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  // A line "# TEXT" between the reports.
  void Note(const char* text) override;

 private:
  void Append(const char* direction, const FeatureReport& report);
  void AppendLine(const std::string& line);

  std::unique_ptr<DeviceLayer> inner_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace veltrane::link
