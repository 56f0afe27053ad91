// SPDX-License-Identifier: MIT
#include "link/changed_words.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "link/feature_reports.h"
#include "link/pacing.h"
#include "link/transfer_messages.h"

namespace veltrane::link {
namespace {

constexpr int kReadCalls = 50;                         // the first read's share of the 100 calls
constexpr int kLastTransferCall = kProgressCalls - 1;  // the hundredth call ends the operation
// A paced write costs about as long as eight read exchanges on a real bus.
constexpr std::uint64_t kPacedWriteUnits = 8;

// Exactly 100 calls (with 0, 1, .., 99), in stages: each stage spreads the
// calls up to its last one evenly over its units of work.
class StagedProgress {
 public:
  explicit StagedProgress(ProgressCallback callback) : callback_(callback) {}

  void Stage(int lastCall, std::uint64_t units) {
    first_ = made_;
    last_ = std::max(lastCall, made_);
    units_ = units;
    done_ = 0;
  }
  void Advance(std::uint64_t units) {
    done_ = std::min(done_ + units, units_);
    const std::uint64_t target =
        units_ == 0 ? first_ : first_ + static_cast<std::uint64_t>(last_ - first_) * done_ / units_;
    while (static_cast<std::uint64_t>(made_) < target) Call();
  }
  void Complete() {
    while (made_ < kProgressCalls) Call();
  }

 private:
  void Call() {
    if (callback_ != nullptr) callback_(made_);
    ++made_;
  }

  ProgressCallback callback_;
  int made_ = 0;
  int first_ = 0;
  int last_ = 0;
  std::uint64_t units_ = 0;
  std::uint64_t done_ = 0;
};

__attribute__((format(printf, 2, 3))) void Note(DeviceLayer& layer, const char* format, ...) {
  char text[96];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  layer.Note(text);
}

// The word at `address` into picture[address .. + 3].
bool ReadWord(DeviceLayer& layer, DeviceHandle handle, std::uint32_t address,
              std::uint8_t* picture) {
  FeatureReport report = ReadRequest(address);
  if (!layer.SetFeature(handle, report) || !layer.GetFeature(handle, report)) return false;
  std::memcpy(picture + address, report.data() + 3, 4);
  return true;
}

std::vector<std::uint32_t> AllWords(std::uint32_t address, std::uint32_t count) {
  std::vector<std::uint32_t> words;
  for (std::uint32_t offset = 0; offset < count; offset += 4) words.push_back(address + offset);
  return words;
}

// Reads the block into `held` and returns the words to write: the differing
// ones, or all of them when the block cannot be read or too many differ.
std::vector<std::uint32_t> PlanWrites(DeviceLayer& layer, DeviceHandle handle,
                                      const std::uint8_t* buffer, std::uint32_t address,
                                      std::uint32_t count, std::uint8_t* held,
                                      StagedProgress& progress, ChangedWordsReport& report) {
  Note(layer, "read %u words from 0x%04x", count / 4, address);
  progress.Stage(kReadCalls, count / 4);
  for (std::uint32_t offset = 0; offset < count; offset += 4) {
    if (!ReadWord(layer, handle, address + offset, held)) {
      report.full = FullReason::Unread;
      Note(layer, "the keyboard could not be read at 0x%04x: write all %u words", address + offset,
           count / 4);
      return AllWords(address, count);
    }
    progress.Advance(1);
  }
  std::vector<std::uint32_t> plan = DifferingWords(held, buffer, address, count);
  report.differed = static_cast<std::uint32_t>(plan.size());
  if (!SendAllWords(static_cast<std::uint32_t>(plan.size()), count / 4)) {
    Note(layer, "write %zu of %u words", plan.size(), count / 4);
    return plan;
  }
  report.full = FullReason::ManyDiffer;
  Note(layer, "%zu of %u words differ: write all", plan.size(), count / 4);
  return AllWords(address, count);
}

// The number of planned words the keyboard accepted; a refusal ends the writes.
std::uint32_t WriteWords(DeviceLayer& layer, const LinkState& state, DeviceHandle handle,
                         const std::uint8_t* buffer, const std::vector<std::uint32_t>& plan,
                         StagedProgress& progress) {
  const bool paced = NeedsPacing(state);
  Pacer pacer(layer, paced);
  std::uint32_t accepted = 0;
  for (const std::uint32_t word : plan) {
    if (!layer.SetFeature(handle, WriteReport(word, buffer + word))) {
      ShowSetFeatureFailure(layer);
      break;
    }
    ++accepted;
    pacer.AfterWrite();
    progress.Advance(paced ? kPacedWriteUnits : 1);
  }
  return accepted;
}

// Reads the planned words back into `held`, then compares the whole block:
// the words not planned were found equal by the first read.
VerifyResult ReadBack(DeviceLayer& layer, DeviceHandle handle, const std::uint8_t* buffer,
                      std::uint32_t address, std::uint32_t count, std::uint8_t* held,
                      const std::vector<std::uint32_t>& plan, StagedProgress& progress,
                      ChangedWordsReport& report) {
  Note(layer, "read back %zu words", plan.size());
  for (const std::uint32_t word : plan) {
    if (!ReadWord(layer, handle, word, held)) return VerifyResult::Unread;
    progress.Advance(1);
  }
  for (std::uint32_t a = address; a < address + count; ++a) {
    if (held[a] == buffer[a]) continue;
    if (report.wrongBytes++ == 0) {
      report.firstWrong = a;
      report.firstWrongRead = held[a];
    }
  }
  return report.wrongBytes == 0 ? VerifyResult::Same : VerifyResult::Differs;
}

LinkStatus StatusOf(bool written, VerifyResult verify, bool closed) {
  if (!written || verify == VerifyResult::Unread) return LinkStatus::ReportFailed;
  if (verify != VerifyResult::Same) return LinkStatus::VerifyFailed;
  return closed ? LinkStatus::Ok : LinkStatus::CloseFailed;
}

}  // namespace

std::vector<std::uint32_t> DifferingWords(const std::uint8_t* held, const std::uint8_t* wanted,
                                          std::uint32_t address, std::uint32_t count) {
  std::vector<std::uint32_t> words;
  for (std::uint32_t word = address; word < address + count; word += 4)
    if (std::memcmp(held + word, wanted + word, 4) != 0) words.push_back(word);
  return words;
}

bool SendAllWords(std::uint32_t differing, std::uint32_t words) {
  return std::uint64_t{differing} * 2 > words;
}

int ProgramChangedWords(DeviceLayer& layer, LinkState& state, const std::uint8_t* buffer,
                        std::uint32_t address, std::uint32_t count, ProgressCallback progress,
                        ChangedWordsReport& report) {
  report = ChangedWordsReport{};
  if (ClassifyRead(buffer, address, count) == TransferKind::Refused) {
    PrintRefused(layer, address, count);
    report.status = LinkStatus::RangeRefused;
    return 0;
  }
  report.words = count / 4;
  const DeviceHandle handle = OpenKeyboard(layer, state);
  if (handle == kNoDevice) {
    report.status = LinkStatus::NoKeyboard;
    return 0;
  }
  StagedProgress steps(progress);
  std::vector<std::uint8_t> held(std::size_t{address} + count);
  const std::vector<std::uint32_t> plan =
      PlanWrites(layer, handle, buffer, address, count, held.data(), steps, report);
  report.toSend = static_cast<std::uint32_t>(plan.size());
  const std::uint64_t writeUnits = NeedsPacing(state) ? kPacedWriteUnits : 1;
  steps.Stage(kLastTransferCall, plan.size() * (writeUnits + 1));
  report.sent = WriteWords(layer, state, handle, buffer, plan, steps);
  report.verify = ReadBack(layer, handle, buffer, address, count, held.data(), plan, steps, report);
  steps.Complete();
  const bool closed = layer.Close(handle);
  if (!closed) ShowCloseFailure(layer);
  report.status = StatusOf(report.sent == report.toSend, report.verify, closed);
  const bool holds = report.sent == report.toSend && report.verify == VerifyResult::Same;
  if (holds && closed) layer.Message("Done", kCaption);
  return holds && closed ? 1 : 0;
}

}  // namespace veltrane::link
