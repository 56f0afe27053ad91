// SPDX-License-Identifier: MIT
#include "link/trace_layer.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "fileaccess/streams.h"

namespace veltrane::link {
namespace {

// A trace is opened for every library call; its failure is told only once a process.
std::atomic<bool> warned{false};

void WarnOnce(const std::string& reason) {
  if (!warned.exchange(true))
    std::fprintf(stderr, "nirvex: cannot write trace file: %s\n", reason.c_str());
}

std::FILE* OpenTrace(const std::string& path) {
  fileaccess::OpenedStream trace = fileaccess::OpenAppendFile(path);
  if (trace.file == nullptr) WarnOnce(trace.reason);
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
    : ForwardingLayer(*inner), inner_(std::move(inner)), path_(path), file_(OpenTrace(path)) {}

TraceLayer::~TraceLayer() {
  if (file_ != nullptr) std::fclose(file_);
}

void TraceLayer::Append(const char* direction, const FeatureReport& report) {
  if (file_ != nullptr) AppendLine(TraceLine(direction, report));
}

void TraceLayer::Note(const char* text) {
  if (file_ != nullptr) AppendLine(std::string("# ") + text);
}

void TraceLayer::AppendLine(const std::string& line) {
  // Flushed per line, so that a trace survives a crash in the middle of a transfer.
  if (std::fprintf(file_, "%s\n", line.c_str()) >= 0 && std::fflush(file_) == 0) return;
  WarnOnce(path_ + ": " + std::strerror(errno));
  std::fclose(file_);
  file_ = nullptr;
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
