// The library's exports: each call builds its device layer from the
// environment and runs the link logic on the process's one LinkState.
#include "link/nirvex.h"

#include <cstdlib>
#include <cstring>

#include "link/block_transfer.h"
#include "link/changed_words.h"
#include "link/device_choice.h"
#include "link/keyboard_open.h"
#include "link/link_status.h"
#include "link/message_route.h"

namespace {

namespace link = veltrane::link;

link::LinkState g_state;

static_assert(NIRVEX_OK == static_cast<int>(link::LinkStatus::Ok) &&
              NIRVEX_NO_KEYBOARD == static_cast<int>(link::LinkStatus::NoKeyboard) &&
              NIRVEX_RANGE_REFUSED == static_cast<int>(link::LinkStatus::RangeRefused) &&
              NIRVEX_REPORT_FAILED == static_cast<int>(link::LinkStatus::ReportFailed) &&
              NIRVEX_CLOSE_FAILED == static_cast<int>(link::LinkStatus::CloseFailed) &&
              NIRVEX_VERIFY_FAILED == static_cast<int>(link::LinkStatus::VerifyFailed) &&
              NIRVEX_VERIFY_FAILED ==
                  static_cast<int>(link::ChangedWordsStatus::VerifyFailed));

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
                               report.firstWrongRead};
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
    const int held = link::ProgramChangedWords(*CallLayer(), g_state, buffer, address, count,
                                               progress, report);
    // The call's status for NirvexLastStatus: report.status, numbered as NirvexStatus.
    link::SetLastStatus(static_cast<link::LinkStatus>(report.status));
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

}  // extern "C"
