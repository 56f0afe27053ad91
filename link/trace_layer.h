// A decorator that appends every feature report to a trace file, one line
// each: "set" or "get", then the 7 bytes as lower-case hex. Lines beginning
// with "# " say what the reports after them are for.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "link/device_layer.h"

namespace veltrane::link {

// The trace line of one report, without its line end.
std::string TraceLine(const char* direction, const FeatureReport& report);

class TraceLayer final : public DeviceLayer {
 public:
  // A trace file that cannot be opened (fileaccess::OpenAppendFile) leaves the
  // reports untraced, as does a failed write; the first such failure of a
  // process is told on stderr.
  TraceLayer(std::unique_ptr<DeviceLayer> inner, const std::string& path);
  ~TraceLayer() override;
  TraceLayer(const TraceLayer&) = delete;
  TraceLayer& operator=(const TraceLayer&) = delete;

  bool Tracing() const { return file_ != nullptr; }

  InterfaceEntry Interface(int index) override { return inner_->Interface(index); }
  OpenStatus Open(const std::string& path, DeviceHandle& handle) override {
    return inner_->Open(path, handle);
  }
  bool Attributes(DeviceHandle handle, DeviceAttributes& attributes) override {
    return inner_->Attributes(handle, attributes);
  }
  bool Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) override {
    return inner_->Capabilities(handle, capabilities);
  }
  bool ProductString(DeviceHandle handle, ProductStringBuffer& text) override {
    return inner_->ProductString(handle, text);
  }
  // Traced whether or not the device accepts it: the report was sent.
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override;
  // Traced only when bytes were received.
  bool GetFeature(DeviceHandle handle, FeatureReport& report) override;
  bool Close(DeviceHandle handle) override { return inner_->Close(handle); }
  int LastError() override { return inner_->LastError(); }
  MonotonicTime Now() override { return inner_->Now(); }
  void SleepUntil(MonotonicTime deadline) override { inner_->SleepUntil(deadline); }
  // A line "# TEXT" between the reports.
  void Note(const char* text) override;
  void Message(const char* text, const char* caption) override { inner_->Message(text, caption); }
  void Print(const char* text) override { inner_->Print(text); }

 private:
  void Append(const char* direction, const FeatureReport& report);
  void AppendLine(const std::string& line);

  std::unique_ptr<DeviceLayer> inner_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace veltrane::link
