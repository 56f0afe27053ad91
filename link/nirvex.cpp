// SPDX-License-Identifier: MIT
// The library's exports: each call builds its device layer from the
// environment and runs the link logic on the calling thread's LinkState.
#include "link/nirvex.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link/block_transfer.h"
#include "link/changed_words.h"
#include "link/device_choice.h"
#include "link/keyboard_open.h"
#include "link/keyboards.h"
#include "link/link_status.h"
#include "link/message_route.h"
#include "link/program_and_verify.h"
#include "link/simulated_directory_layer.h"

namespace {

namespace link = veltrane::link;

// One per thread: the production line calls from several threads at once.
thread_local link::LinkState g_state;

static_assert(NIRVEX_OK == static_cast<int>(link::LinkStatus::Ok) &&
              NIRVEX_NO_KEYBOARD == static_cast<int>(link::LinkStatus::NoKeyboard) &&
              NIRVEX_RANGE_REFUSED == static_cast<int>(link::LinkStatus::RangeRefused) &&
              NIRVEX_REPORT_FAILED == static_cast<int>(link::LinkStatus::ReportFailed) &&
              NIRVEX_CLOSE_FAILED == static_cast<int>(link::LinkStatus::CloseFailed) &&
              NIRVEX_VERIFY_FAILED == static_cast<int>(link::LinkStatus::VerifyFailed) &&
              NIRVEX_BUSY == static_cast<int>(link::LinkStatus::Busy));

std::unique_ptr<link::DeviceLayer> CallLayer() {
  return link::MakeDeviceLayer(std::getenv(link::kDeviceVariable),
                               std::getenv(link::kTraceVariable));
}

// No exception leaves the library: an unexpected one ends the call with 0.
template <typename Call>
int Guarded(Call call) {
  try {
    return call();
  } catch (...) {
    link::SetLastStatus(link::LinkStatus::ReportFailed);
    return 0;
  }
}

void CopyReport(const link::ChangedWordsReport& report, NirvexChangedWords* result) {
  if (result == nullptr) return;
  *result = NirvexChangedWords{report.words,
                               report.toSend,
                               report.sent,
                               static_cast<unsigned int>(report.full),
                               static_cast<unsigned int>(report.verify),
                               report.wrongBytes,
                               report.firstWrong,
                               report.firstWrongRead,
                               report.differed};
}

}  // namespace

extern "C" {

NIRVEX_EXPORT int DetectKeyboard(char* text) {
  try {
    return link::DetectKeyboard(*CallLayer(), g_state, text);
  } catch (...) {
    link::SetProductText(g_state, link::kNotFoundText);
    link::SetLastStatus(link::LinkStatus::NoKeyboard);
    if (text != nullptr) std::strcpy(text, g_state.ProductText.data());
    return 0;
  }
}

NIRVEX_EXPORT int ProgramFirmWare(const unsigned char* buffer, unsigned int address,
                                  unsigned int count, NirvexProgress progress) {
  return Guarded([&] {
    return link::ProgramFirmWare(*CallLayer(), g_state, buffer, address, count, progress);
  });
}

NIRVEX_EXPORT int ReadFirmWare(unsigned char* buffer, unsigned int address, unsigned int count,
                               NirvexProgress progress) {
  return Guarded(
      [&] { return link::ReadFirmWare(*CallLayer(), g_state, buffer, address, count, progress); });
}

NIRVEX_EXPORT int ProgramChangedWords(const unsigned char* buffer, unsigned int address,
                                      unsigned int count, NirvexProgress progress,
                                      NirvexChangedWords* result) {
  link::ChangedWordsReport report;
  const int done = Guarded([&] {
    const int held =
        link::ProgramChangedWords(*CallLayer(), g_state, buffer, address, count, progress, report);
    // The call's status for NirvexLastStatus: report.status, numbered as NirvexStatus.
    link::SetLastStatus(report.status);
    return held;
  });
  CopyReport(report, result);
  return done;
}

NIRVEX_EXPORT void NirvexSetMessageHandler(NirvexMessageHandler handler, void* context) {
  link::SetMessageHandler(handler, context);
}

NIRVEX_EXPORT int NirvexLastOpenDenied(void) {
  return g_state.openDenied ? 1 : 0;
}

NIRVEX_EXPORT const char* NirvexAccessProblem(void) {
  return g_state.accessProblem.data();
}

NIRVEX_EXPORT int NirvexLastStatus(void) {
  return static_cast<int>(link::LastStatus());
}

NIRVEX_EXPORT void NirvexSetThreadMessageHandler(NirvexMessageHandler handler, void* context) {
  link::SetThreadMessageHandler(handler, context);
}

}  // extern "C"

// Several keyboards: the one-keyboard logic on a keyboard chosen by its path.
namespace {

struct StepRoute {
  NirvexStep step = nullptr;
  void* context = nullptr;
};
thread_local StepRoute t_step;

class StepScope {
 public:
  StepScope(NirvexStep step, void* context) { t_step = StepRoute{step, context}; }
  ~StepScope() { t_step = StepRoute{}; }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;
};

int RelayStep(int step) {
  if (t_step.step != nullptr) t_step.step(step, t_step.context);
  return 0;
}

template <typename Call>
int OnKeyboardAt(const char* path, NirvexStep step, void* context, Call call) {
  if (path == nullptr || *path == '\0') return 0;
  return Guarded([&] {
    const std::unique_ptr<link::DeviceLayer> layer = CallLayer();
    link::ChosenKeyboardLayer chosen(*layer, path);
    const StepScope scope(step, context);
    return call(chosen);
  });
}

template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

extern "C" {

NIRVEX_EXPORT int NirvexListKeyboards(NirvexKeyboard* list, int capacity) {
  return Guarded([&] {
    const std::unique_ptr<link::DeviceLayer> layer = CallLayer();
    link::ChosenKeyboardLayer quiet(*layer, "");
    int found = 0;
    for (const link::ListedKeyboard& keyboard : link::ListKeyboards(quiet, g_state)) {
      if (keyboard.path.size() >= NIRVEX_PATH_SIZE) continue;  // could not name it
      if (list != nullptr && found < capacity) {
        NirvexKeyboard& entry = list[found];
        CopyText(entry.path, keyboard.path);
        CopyText(entry.serial, keyboard.serial);
        CopyText(entry.location, keyboard.location);
        CopyText(entry.text, keyboard.text);
        entry.vendor = keyboard.attributes.vendor;
        entry.product = keyboard.attributes.product;
      }
      ++found;
    }
    return found;
  });
}

NIRVEX_EXPORT int NirvexProgramKeyboard(const char* path, const unsigned char* buffer,
                                        unsigned int address, unsigned int count, NirvexStep step,
                                        void* context) {
  return OnKeyboardAt(path, step, context, [&](link::DeviceLayer& layer) {
    return link::ProgramFirmWare(layer, g_state, buffer, address, count, RelayStep);
  });
}

NIRVEX_EXPORT int NirvexReadKeyboard(const char* path, unsigned char* buffer, unsigned int address,
                                     unsigned int count, NirvexStep step, void* context) {
  return OnKeyboardAt(path, step, context, [&](link::DeviceLayer& layer) {
    return link::ReadFirmWare(layer, g_state, buffer, address, count, RelayStep);
  });
}

NIRVEX_EXPORT int NirvexVerifyKeyboard(const char* path, const unsigned char* expected,
                                       unsigned int address, unsigned int count, NirvexStep step,
                                       void* context, unsigned int* differences,
                                       unsigned int* firstDifference) {
  link::BlockVerification verified;
  const int same = OnKeyboardAt(path, step, context, [&](link::DeviceLayer& layer) {
    verified = link::VerifyBlock(layer, g_state, expected, address, count, RelayStep);
    return verified.read && verified.differences == 0 ? 1 : 0;
  });
  if (differences != nullptr) *differences = verified.read ? verified.differences : 0xFFFFFFFFu;
  if (firstDifference != nullptr)
    *firstDifference = verified.read ? verified.firstDifference : address + count;
  return same;
}

NIRVEX_EXPORT int NirvexLockKeyboard(const char* path) {
  return Guarded([&] {
    if (path == nullptr || *path == '\0') {
      link::SetLastStatus(link::LinkStatus::NoKeyboard);
      return 0;
    }
    std::string reason;
    const link::LockOutcome outcome =
        link::TakeKeyboardLock(CallLayer()->LockTargetOf(path), false, reason);
    link::SetLastStatus(outcome == link::LockOutcome::Taken  ? link::LinkStatus::Ok
                        : outcome == link::LockOutcome::Busy ? link::LinkStatus::Busy
                                                             : link::LinkStatus::NoKeyboard);
    return outcome == link::LockOutcome::Taken ? 1 : 0;
  });
}

NIRVEX_EXPORT void NirvexUnlockKeyboard(const char* path) {
  if (path == nullptr || *path == '\0') return;
  Guarded([&] {
    link::ReleaseKeyboardLock(CallLayer()->LockTargetOf(path).path);
    return 1;
  });
}

NIRVEX_EXPORT int NirvexProgramAndVerifyKeyboard(const char* path, const unsigned char* buffer,
                                                 unsigned int address, unsigned int count,
                                                 NirvexStep step, void* context,
                                                 NirvexProgramVerify* result) {
  link::ProgramVerifyReport report;
  report.status = link::LinkStatus::NoKeyboard;
  const int done = OnKeyboardAt(path, step, context, [&](link::DeviceLayer& layer) {
    std::string reason;
    link::KeyboardLock lock;
    const link::LockOutcome outcome = lock.Take(layer.LockTargetOf(path), false, reason);
    if (outcome != link::LockOutcome::Taken) {
      report.status = outcome == link::LockOutcome::Busy ? link::LinkStatus::Busy
                                                         : link::LinkStatus::NoKeyboard;
      return 0;
    }
    return link::ProgramAndVerify(layer, g_state, buffer, address, count, RelayStep, report);
  });
  link::SetLastStatus(report.status);
  if (result != nullptr)
    *result = NirvexProgramVerify{report.sent, static_cast<unsigned int>(report.verify),
                                  report.wrongBytes, report.firstWrong, report.firstWrongRead};
  return done;
}

NIRVEX_EXPORT const char* NirvexDeviceProblem(void) {
  thread_local std::string problem;
  problem = link::DeviceProblem(std::getenv(link::kDeviceVariable));
  return problem.c_str();
}

}  // extern "C"
