// SPDX-License-Identifier: MIT
#include "link/simulated_layer.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "link/feature_reports.h"

namespace veltrane::link {
namespace {

// The size of the regular file at `path`; -1 when there is none.
off_t FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

}  // namespace

SimulatedLayer::SimulatedLayer(SimulatedOptions options) : options_(std::move(options)) {}

InterfaceEntry SimulatedLayer::Interface(int index) {
  if (index != 0) return InterfaceEntry{};
  return InterfaceEntry{InterfaceStatus::Present, options_.path,
                        DeviceAttributes{options_.vendor, options_.productId}};
}

OpenStatus SimulatedLayer::Open(const std::string& path, DeviceHandle& handle) {
  handle = kNoDevice;
  if (open_ || path != options_.path) return Refuse(EBUSY, OpenStatus::Failed);
  if (options_.openDenied) return Refuse(EACCES, OpenStatus::Denied);
  keyboard_ = SimulatedKeyboard{};
  if (options_.pluggedByFile && !Plugged()) return Refuse(ENODEV, OpenStatus::Failed);
  if (!options_.path.empty() && !options_.pluggedByFile && !TakeKeyboard())
    return OpenStatus::Failed;
  open_ = true;
  handle = kHandle;
  return OpenStatus::Opened;
}

// Waits for the lock, then loads the memory another run may have just saved.
bool SimulatedLayer::TakeKeyboard() {
  std::string reason;
  if (lock_.Take(LockTargetOf(options_.path), true, reason) != LockOutcome::Taken) {
    Print(("Simulated keyboard file " + options_.path + " cannot be locked: " + reason + "\n")
              .c_str());
    lastError_ = EIO;
    return false;
  }
  const LoadResult loaded = LoadKeyboard(options_.path, keyboard_);
  if (options_.pluggedByFile && loaded == LoadResult::Absent) {
    lock_.Release();
    lastError_ = ENODEV;
    return false;
  }
  // An empty file plugged in is an erased keyboard.
  const bool erased = options_.pluggedByFile && FileSize(options_.path) == 0;
  if (erased) keyboard_ = SimulatedKeyboard{};
  if (loaded == LoadResult::Damaged && !erased) {
    lock_.Release();
    Print(("Simulated keyboard file " + options_.path + " is damaged; left as it is\n").c_str());
    lastError_ = EIO;
    return false;
  }
  return true;
}

LockTarget SimulatedLayer::LockTargetOf(const std::string& path) {
  if (path.empty()) return {};
  return LockTarget{path + ".lock", true};
}

OpenStatus SimulatedLayer::Refuse(int code, OpenStatus status) {
  lastError_ = code;
  return status;
}

bool SimulatedLayer::Plugged() const {
  return FileSize(options_.path) >= 0;
}

// A keyboard plugged by its file must still be there, and is taken at its first report.
bool SimulatedLayer::ReadyForReport() {
  if (!options_.pluggedByFile) return true;
  if (!Plugged()) return Fail(ENODEV);
  return lock_.Held() || TakeKeyboard();
}

bool SimulatedLayer::IsOpen(DeviceHandle handle) {
  return open_ && handle == kHandle;
}

bool SimulatedLayer::Fail(int code) {
  lastError_ = code;
  return false;
}

bool SimulatedLayer::Attributes(DeviceHandle handle, DeviceAttributes& attributes) {
  if (!IsOpen(handle)) return Fail(EBADF);
  attributes = DeviceAttributes{options_.vendor, options_.productId};
  return true;
}

bool SimulatedLayer::Capabilities(DeviceHandle handle, DeviceCapabilities& capabilities) {
  if (!IsOpen(handle)) return Fail(EBADF);
  capabilities = DeviceCapabilities{options_.usagePage, options_.usage, options_.inputReportLength,
                                    options_.outputReportLength};
  return true;
}

bool SimulatedLayer::ProductString(DeviceHandle handle, ProductStringBuffer& text) {
  if (!IsOpen(handle)) return Fail(EBADF);
  if (options_.productStringFails) return Fail(EPIPE);
  text.fill(0);
  for (std::size_t k = 0; k + 1 < text.size() && k < options_.product.size(); ++k)
    text[k] = static_cast<unsigned char>(options_.product[k]);
  return true;
}

bool SimulatedLayer::SetFeature(DeviceHandle handle, const FeatureReport& report) {
  if (!IsOpen(handle)) return Fail(EBADF);
  if (!ReadyForReport()) return false;
  ++setReports_;
  if (setReports_ == options_.refuseReport) return Fail(EIO);
  const bool write = report[2] != kControlMarker && (report[2] & kReadFlag) == 0;
  if (write && ++writeReports_ == options_.dropWrite) return true;
  if (!AcceptSetFeature(keyboard_, report)) return Fail(EPROTO);
  return true;
}

bool SimulatedLayer::GetFeature(DeviceHandle handle, FeatureReport& report) {
  if (!IsOpen(handle)) return Fail(EBADF);
  if (!ReadyForReport()) return false;
  report = keyboard_.reply;
  return true;
}

bool SimulatedLayer::Close(DeviceHandle handle) {
  if (!IsOpen(handle)) return Fail(EBADF);
  open_ = false;
  bool saved = true;
  // An unplugged keyboard is not saved: that would plug it in again.
  const bool plugged = !options_.pluggedByFile || Plugged();
  if (keyboard_.changed && !options_.path.empty() && plugged) {
    const fileaccess::Status status = SaveKeyboard(options_.path, keyboard_);
    saved = status.ok;
    if (!saved) Fail(status.error != 0 ? status.error : EIO);
    keyboard_.changed = !saved;
  }
  lock_.Release();
  if (options_.closeFails) return Fail(EBADF);
  return saved;
}

MonotonicTime SimulatedLayer::Now() {
  return options_.virtualTime ? virtualNow_ : DeviceLayer::Now();
}

void SimulatedLayer::SleepUntil(MonotonicTime deadline) {
  const MonotonicTime now = Now();
  if (deadline <= now) return;
  slept_ += deadline - now;
  if (options_.virtualTime) {
    virtualNow_ = deadline;
  } else {
    DeviceLayer::SleepUntil(deadline);
  }
}

std::uint64_t SimulatedLayer::SleptMilliseconds() const {
  return static_cast<std::uint64_t>(std::chrono::round<std::chrono::milliseconds>(slept_).count());
}

}  // namespace veltrane::link
