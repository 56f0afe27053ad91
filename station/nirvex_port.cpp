// SPDX-License-Identifier: MIT
#include "station/nirvex_port.h"

#include <cstdio>
#include <vector>

#include "link/nirvex.h"

namespace veltrane::station {
namespace {

constexpr const char* kNotThere = "the keyboard is not there any more";

// The library's messages of this thread's calls, while it lives.
class CaughtMessages {
 public:
  CaughtMessages() { NirvexSetThreadMessageHandler(Catch, this); }
  ~CaughtMessages() { NirvexSetThreadMessageHandler(nullptr, nullptr); }
  CaughtMessages(const CaughtMessages&) = delete;
  CaughtMessages& operator=(const CaughtMessages&) = delete;

  // The messages in one line, or `otherwise` when there was none.
  std::string Text(const char* otherwise) const { return text_.empty() ? otherwise : text_; }

 private:
  static void Catch(const char* text, const char*, void* context) {
    std::string& all = static_cast<CaughtMessages*>(context)->text_;
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    if (!all.empty()) all += "; ";
    all += line;
  }
  std::string text_;
};

}  // namespace

PortListing NirvexPort::List() {
  std::vector<NirvexKeyboard> found(16);
  int count = 0;
  while ((count = NirvexListKeyboards(found.data(), static_cast<int>(found.size()))) >
         static_cast<int>(found.size()))
    found.resize(static_cast<std::size_t>(count));
  PortListing listing;
  for (int k = 0; k < count; ++k) {
    const NirvexKeyboard& keyboard = found[static_cast<std::size_t>(k)];
    listing.keyboards.push_back(
        PortKeyboard{keyboard.path, keyboard.serial, keyboard.location, keyboard.text});
  }
  if (NirvexLastOpenDenied() != 0) listing.accessProblem = NirvexAccessProblem();
  listing.deviceProblem = NirvexDeviceProblem();
  return listing;
}

LockResult NirvexPort::Lock(const std::string& path, std::string& reason) {
  if (NirvexLockKeyboard(path.c_str()) == 1) return LockResult::Locked;
  if (NirvexLastStatus() == NIRVEX_BUSY) {
    reason = "another program is working on it";
    return LockResult::Busy;
  }
  reason = kNotThere;
  return LockResult::Failed;
}

void NirvexPort::Unlock(const std::string& path) {
  NirvexUnlockKeyboard(path.c_str());
}

PortResult NirvexPort::Read(const std::string& path, std::span<std::uint8_t> bytes) {
  const CaughtMessages messages;
  if (NirvexReadKeyboard(path.c_str(), bytes.data(), 0, static_cast<unsigned>(bytes.size()),
                         nullptr, nullptr) == 1)
    return PortResult{true, {}};
  return PortResult{false, messages.Text(kNotThere)};
}

namespace {

// The library calls 100 steps for the writes, then 100 for the read-back.
struct StepRelay {
  const PortStep& step;
  int calls = 0;
};

void RelaySteps(int step, void* context) {
  auto& relay = *static_cast<StepRelay*>(context);
  const bool verifying = relay.calls++ >= 100;
  if (relay.step) relay.step(verifying, step);
}

}  // namespace

PortWrite NirvexPort::ProgramAndVerify(const std::string& path, std::span<const std::uint8_t> bytes,
                                       bool verify, const PortStep& step) {
  const CaughtMessages messages;
  StepRelay relay{step};
  const auto count = static_cast<unsigned>(bytes.size());
  if (!verify) {
    const int written =
        NirvexProgramKeyboard(path.c_str(), bytes.data(), 0, count, RelaySteps, &relay);
    return PortWrite{written == 1, false, written == 1 ? "" : messages.Text(kNotThere)};
  }
  NirvexProgramVerify result{};
  if (NirvexProgramAndVerifyKeyboard(path.c_str(), bytes.data(), 0, count, RelaySteps, &relay,
                                     &result) == 1)
    return PortWrite{true, true, {}};
  if (NirvexLastStatus() == NIRVEX_BUSY)
    return PortWrite{false, false, "another program is working on it"};
  if (result.sent < count / 4) return PortWrite{false, false, messages.Text(kNotThere)};
  if (result.verify != NIRVEX_VERIFY_DIFFERS)
    return PortWrite{true, false, "not read back: " + messages.Text(kNotThere)};
  char text[96];
  std::snprintf(text, sizeof text, "%u %s; first at 0x%04X", result.badBytes,
                result.badBytes == 1 ? "byte differs" : "bytes differ", result.firstBad);
  return PortWrite{true, false, text};
}

}  // namespace veltrane::station
