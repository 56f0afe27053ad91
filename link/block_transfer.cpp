// SPDX-License-Identifier: MIT
#include "link/block_transfer.h"

#include <cstring>

#include "link/feature_reports.h"
#include "link/link_status.h"
#include "link/pacing.h"
#include "link/transfer_messages.h"

namespace veltrane::link {
namespace {

// Exactly 100 calls per block transfer: at most one per report while acc /
// count passes the number of calls made, the rest with the final value.
struct Progress {
  ProgressCallback callback;
  std::uint32_t count;
  std::uint64_t acc = 0;
  int calls = 0;

  void AfterReport() {
    if (callback != nullptr && acc / count > static_cast<std::uint64_t>(calls)) {
      callback(calls);
      ++calls;
    }
    acc += 400;
  }
  void Complete() const {
    if (callback == nullptr) return;
    for (int n = calls; n < kProgressCalls; ++n) callback(calls);
  }
};

bool IsBlock(const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count,
             std::uint32_t limit) {
  const std::uint64_t end = std::uint64_t{address} + count;
  return count % 4 == 0 && end <= limit && (buffer != nullptr || count == 0);
}

// The status of a transfer: a failed report first, then a failed close.
LinkStatus TransferStatus(bool complete, bool closed) {
  if (!complete) return LinkStatus::ReportFailed;
  return closed ? LinkStatus::Ok : LinkStatus::CloseFailed;
}

// Opens the keyboard for a transfer, noting in the status when there is none.
DeviceHandle OpenForTransfer(DeviceLayer& layer, LinkState& state) {
  const DeviceHandle handle = OpenKeyboard(layer, state);
  if (handle == kNoDevice) SetLastStatus(LinkStatus::NoKeyboard);
  return handle;
}

int RefuseRange(DeviceLayer& layer, std::uint32_t address, std::uint32_t count) {
  PrintRefused(layer, address, count);
  SetLastStatus(LinkStatus::RangeRefused);
  return 0;
}

int SendControlWrite(DeviceLayer& layer, DeviceHandle handle, const std::uint8_t* buffer,
                     std::uint32_t address) {
  const bool accepted = layer.SetFeature(handle, ControlWrite(address, buffer));
  if (!accepted) ShowSetFeatureFailure(layer);
  const bool closed = layer.Close(handle);
  SetLastStatus(TransferStatus(accepted, closed));
  return accepted ? 1 : 0;
}

// The number of bytes written: the offset of the first refused report, or count.
std::uint32_t WriteBlock(DeviceLayer& layer, const LinkState& state, DeviceHandle handle,
                         const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count,
                         Progress& progress) {
  Pacer pacer(layer, NeedsPacing(state));
  for (std::uint32_t offset = 0; offset < count; offset += 4) {
    if (!layer.SetFeature(handle, WriteReport(address + offset, buffer + address + offset))) {
      ShowSetFeatureFailure(layer);
      return offset;
    }
    pacer.AfterWrite();
    progress.AfterReport();
  }
  return count;
}

// The number of bytes read: the offset of the first failed report, or count.
std::uint32_t ReadBlock(DeviceLayer& layer, DeviceHandle handle, std::uint8_t* buffer,
                        std::uint32_t address, std::uint32_t count, Progress& progress) {
  std::uint32_t offset = 0;
  for (; offset < count; offset += 4) {
    FeatureReport report = ReadRequest(address + offset);
    if (!layer.SetFeature(handle, report) || !layer.GetFeature(handle, report)) break;
    std::memcpy(buffer + address + offset, report.data() + 3, 4);
    progress.AfterReport();
  }
  return offset;
}

}  // namespace

std::uint32_t WriteOpenBlock(DeviceLayer& layer, const LinkState& state, DeviceHandle handle,
                             const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count,
                             ProgressCallback progress) {
  Progress steps{progress, count};
  const std::uint32_t written = WriteBlock(layer, state, handle, buffer, address, count, steps);
  steps.Complete();
  return written;
}

std::uint32_t ReadOpenBlock(DeviceLayer& layer, DeviceHandle handle, std::uint8_t* buffer,
                            std::uint32_t address, std::uint32_t count, ProgressCallback progress) {
  Progress steps{progress, count};
  const std::uint32_t read = ReadBlock(layer, handle, buffer, address, count, steps);
  steps.Complete();
  return read;
}

TransferKind ClassifyWrite(const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count) {
  if (address >= kControlFirst && address <= kControlLast)
    return buffer != nullptr && count >= 4 ? TransferKind::Control : TransferKind::Refused;
  return IsBlock(buffer, address, count, kBlockAddressEnd) ? TransferKind::Block
                                                           : TransferKind::Refused;
}

TransferKind ClassifyRead(const std::uint8_t* buffer, std::uint32_t address, std::uint32_t count) {
  return IsBlock(buffer, address, count, kReadAddressEnd) ? TransferKind::Block
                                                          : TransferKind::Refused;
}

bool NeedsPacing(const LinkState& state) {
  const char c1 = state.ProductText[1];
  const char c2 = state.ProductText[2];
  return (c1 == '0' && c2 < '5') || (c1 == '1' && c2 == '4');
}

int ProgramFirmWare(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                    std::uint32_t address, std::uint32_t count, ProgressCallback progress) {
  const TransferKind kind = ClassifyWrite(buffer, address, count);
  if (kind == TransferKind::Refused) return RefuseRange(layer, address, count);
  const DeviceHandle handle = OpenForTransfer(layer, state);
  if (handle == kNoDevice) return 0;
  if (kind == TransferKind::Control) return SendControlWrite(layer, handle, buffer, address);
  Progress steps{progress, count};
  const bool written = WriteBlock(layer, state, handle, buffer, address, count, steps) >= count;
  steps.Complete();
  const bool closed = layer.Close(handle);
  if (!closed) ShowCloseFailure(layer);
  SetLastStatus(TransferStatus(written, closed));
  // "Done" only once the keyboard is closed (and so free for the next call)
  // and holds the whole block; a half-written keyboard is not reported as
  // programmed.
  if (written && closed) layer.Message("Done", kCaption);
  return written ? 1 : 0;
}

int ReadFirmWare(DeviceLayer& layer, LinkState& state, std::uint8_t* buffer, std::uint32_t address,
                 std::uint32_t count, ProgressCallback progress) {
  if (ClassifyRead(buffer, address, count) == TransferKind::Refused)
    return RefuseRange(layer, address, count);
  const DeviceHandle handle = OpenForTransfer(layer, state);
  if (handle == kNoDevice) return 0;
  Progress steps{progress, count};
  const bool complete = ReadBlock(layer, handle, buffer, address, count, steps) >= count;
  steps.Complete();
  const bool closed = layer.Close(handle);
  SetLastStatus(TransferStatus(complete, closed));
  if (closed && complete) return 1;
  if (!complete) {
    layer.Message("Set or GetFeature failed ", kCaption);
  } else {
    ShowCloseFailure(layer);
  }
  return 0;
}

}  // namespace veltrane::link
