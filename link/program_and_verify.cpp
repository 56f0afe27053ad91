// SPDX-License-Identifier: MIT
#include "link/program_and_verify.h"

#include <vector>

#include "link/transfer_messages.h"

namespace veltrane::link {
namespace {

void Compare(const std::uint8_t* wanted, const std::vector<std::uint8_t>& read,
             std::uint32_t address, std::uint32_t count, ProgramVerifyReport& report) {
  report.verify = VerifyResult::Same;
  for (std::uint32_t k = address; k < address + count; ++k) {
    if (read[k] == wanted[k]) continue;
    if (report.wrongBytes == 0) {
      report.firstWrong = k;
      report.firstWrongRead = read[k];
    }
    ++report.wrongBytes;
    report.verify = VerifyResult::Differs;
  }
}

LinkStatus StatusOf(const ProgramVerifyReport& report, std::uint32_t count, bool closed) {
  if (report.sent < count / 4 || report.verify == VerifyResult::Unread)
    return LinkStatus::ReportFailed;
  if (report.verify == VerifyResult::Differs) return LinkStatus::VerifyFailed;
  return closed ? LinkStatus::Ok : LinkStatus::CloseFailed;
}

}  // namespace

int ProgramAndVerify(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                     std::uint32_t address, std::uint32_t count, ProgressCallback progress,
                     ProgramVerifyReport& report) {
  report = ProgramVerifyReport{};
  if (ClassifyRead(buffer, address, count) == TransferKind::Refused) {
    PrintRefused(layer, address, count);
    report.status = LinkStatus::RangeRefused;
    return 0;
  }
  const DeviceHandle handle = OpenKeyboard(layer, state);
  if (handle == kNoDevice) {
    report.status = LinkStatus::NoKeyboard;
    return 0;
  }
  report.sent = WriteOpenBlock(layer, state, handle, buffer, address, count, progress) / 4;
  if (report.sent == count / 4) {
    std::vector<std::uint8_t> read(std::size_t{address} + count);
    if (ReadOpenBlock(layer, handle, read.data(), address, count, progress) < count) {
      report.verify = VerifyResult::Unread;
      layer.Message("Set or GetFeature failed ", kCaption);
    } else {
      Compare(buffer, read, address, count, report);
    }
  }
  const bool closed = layer.Close(handle);
  if (!closed) ShowCloseFailure(layer);
  report.status = StatusOf(report, count, closed);
  return report.status == LinkStatus::Ok ? 1 : 0;
}

}  // namespace veltrane::link
