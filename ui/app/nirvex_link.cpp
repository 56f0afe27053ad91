// SPDX-License-Identifier: MIT
#include "ui/app/nirvex_link.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "link/nirvex.h"

namespace veltrane::ui {
namespace {

constexpr std::string_view kDone = "Done";
constexpr std::string_view kLibraryCaption = "nirvex";

// The library's progress callback carries no context: the step of the call in
// progress on this thread is kept here.
thread_local const ProgressStep* currentStep = nullptr;

int RelayProgress(int) {
  if (currentStep != nullptr && *currentStep) (*currentStep)();
  return 0;
}

class StepScope {
 public:
  explicit StepScope(const ProgressStep& step) : previous_(currentStep) { currentStep = &step; }
  ~StepScope() { currentStep = previous_; }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;

 private:
  const ProgressStep* previous_;
};

// The library reads buffer[address .. address + count) or, for a control
// write, buffer[0..3]; a span too short for that is refused here.
bool Covers(std::size_t size, unsigned address, unsigned count) {
  if (address >= 0xFF00) return size >= 4;
  return static_cast<std::size_t>(address) + count <= size;
}

LinkStatus StatusOfLastCall() {
  return LinkStatusOf(NirvexLastStatus());
}

}  // namespace

LinkStatus LinkStatusOf(int status) {
  switch (status) {
    case NIRVEX_OK:
      return LinkStatus::Ok;
    case NIRVEX_NO_KEYBOARD:
      return LinkStatus::NoKeyboard;
    case NIRVEX_RANGE_REFUSED:
      return LinkStatus::RangeRefused;
    case NIRVEX_REPORT_FAILED:
      return LinkStatus::ReportFailed;
    case NIRVEX_CLOSE_FAILED:
      return LinkStatus::CloseFailed;
    case NIRVEX_VERIFY_FAILED:
      return LinkStatus::VerifyFailed;
    case NIRVEX_BUSY:
      return LinkStatus::Busy;
    default:
      return LinkStatus::ReportFailed;  // a value a newer library added: the call failed
  }
}

NirvexLink::NirvexLink(model::MessageSink& messages) : messages_(messages) {
  NirvexSetMessageHandler(Relay, this);
}

void NirvexLink::Relay(const char* text, const char* caption, void* link) {
  auto* self = static_cast<NirvexLink*>(link);
  if (self->holdDone_ && text == kDone && caption == kLibraryCaption) {
    self->doneHeld_ = true;
    return;
  }
  self->messages_.Show(text, caption, model::MessageIcon::None);
}

ReadBackDownload NirvexLink::ProgramAndReadBack(std::span<const std::uint8_t> bytes,
                                                unsigned address, unsigned count,
                                                std::span<std::uint8_t> readBack,
                                                const ProgressStep& step) {
  holdDone_ = true;
  doneHeld_ = false;
  ReadBackDownload done = KeyboardLink::ProgramAndReadBack(bytes, address, count, readBack, step);
  holdDone_ = false;
  const bool same = done.readBack && Covers(bytes.size(), address, count) &&
                    std::equal(bytes.begin() + address, bytes.begin() + address + count,
                               readBack.begin() + address);
  if (doneHeld_ && same) messages_.Show(kDone, kLibraryCaption, model::MessageIcon::None);
  doneHeld_ = false;
  return done;
}

NirvexLink::~NirvexLink() {
  NirvexSetMessageHandler(nullptr, nullptr);
}

std::string NirvexLink::DetectKeyboard() {
  std::array<char, 256> text{};
  ::DetectKeyboard(text.data());
  lastStatus_ = StatusOfLastCall();
  KeepAccessProblem();
  text.back() = '\0';
  return text.data();
}

bool NirvexLink::ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address,
                                 unsigned count, const ProgressStep& step) {
  if (!Covers(bytes.size(), address, count)) {
    lastStatus_ = LinkStatus::RangeRefused;
    return false;
  }
  const StepScope scope(step);
  const bool written = ::ProgramFirmWare(bytes.data(), address, count, RelayProgress) != 0;
  lastStatus_ = StatusOfLastCall();
  KeepAccessProblem();
  return written;
}

bool NirvexLink::ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                              const ProgressStep& step) {
  if (!Covers(bytes.size(), address, count)) {
    lastStatus_ = LinkStatus::RangeRefused;
    return false;
  }
  const StepScope scope(step);
  const bool read = ::ReadFirmWare(bytes.data(), address, count, RelayProgress) != 0;
  lastStatus_ = StatusOfLastCall();
  KeepAccessProblem();
  return read;
}

void NirvexLink::KeepAccessProblem() {
  accessProblem_ = NirvexLastOpenDenied() != 0 ? std::string(NirvexAccessProblem()) : std::string();
}

ChangedWordsResult NirvexLink::ProgramChangedWords(std::span<const std::uint8_t> bytes,
                                                   unsigned address, unsigned count,
                                                   const ProgressStep& step) {
  if (address >= 0xFF00 || !Covers(bytes.size(), address, count)) return {};
  const StepScope scope(step);
  NirvexChangedWords done{};
  ChangedWordsResult result;
  result.holds = ::ProgramChangedWords(bytes.data(), address, count, RelayProgress, &done) != 0;
  lastStatus_ = StatusOfLastCall();
  result.words = done.words;
  result.toSend = done.toSend;
  result.sent = done.sent;
  result.full = static_cast<ChangedWordsResult::Full>(done.full);
  result.verify = static_cast<ChangedWordsResult::Verify>(done.verify);
  result.badBytes = done.badBytes;
  result.firstBad = done.firstBad;
  result.firstBadRead = static_cast<std::uint8_t>(done.firstBadRead);
  result.differed = done.differed;
  return result;
}

std::string NirvexLink::AccessProblem() {
  return accessProblem_;
}

}  // namespace veltrane::ui
