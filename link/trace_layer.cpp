#include "link/trace_layer.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "fileaccess/streams.h"

namespace veltrane::link {
namespace {

// A trace is opened for every library call; its failure is told only once a process.
std::atomic<bool> warned{false};

std::FILE* OpenTrace(const std::string& path) {
  fileaccess::OpenedStream trace = fileaccess::OpenAppendFile(path);
  if (trace.file == nullptr && !warned.exchange(true))
    std::fprintf(stderr, "nirvex: cannot write trace file: %s\n", trace.reason.c_str());
  return trace.file;
}

}  // namespace

std::string TraceLine(const char* direction, const FeatureReport& report) {
  std::string line = direction;
  char hex[4];
  for (const std::uint8_t byte : report) {
    std::snprintf(hex, sizeof hex, " %02x", byte);
    line += hex;
  }
  return line;
}

TraceLayer::TraceLayer(std::unique_ptr<DeviceLayer> inner, const std::string& path)
    : inner_(std::move(inner)), file_(OpenTrace(path)) {}

TraceLayer::~TraceLayer() {
  if (file_ != nullptr) std::fclose(file_);
}

void TraceLayer::Append(const char* direction, const FeatureReport& report) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%s\n", TraceLine(direction, report).c_str());
  // Flushed per line, so that a trace survives a crash in the middle of a transfer.
  std::fflush(file_);
}

bool TraceLayer::SetFeature(DeviceHandle handle, const FeatureReport& report) {
  Append("set", report);
  return inner_->SetFeature(handle, report);
}

bool TraceLayer::GetFeature(DeviceHandle handle, FeatureReport& report) {
  const bool received = inner_->GetFeature(handle, report);
  if (received) Append("get", report);
  return received;
}

}  // namespace veltrane::link
