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

void RelayStep(int step, void* context) {
  const PortStep& relay = *static_cast<const PortStep*>(context);
  if (relay) relay(step);
}

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
  return listing;
}

PortResult NirvexPort::Program(const std::string& path, std::span<const std::uint8_t> bytes,
                               const PortStep& step) {
  const CaughtMessages messages;
  const int written =
      NirvexProgramKeyboard(path.c_str(), bytes.data(), 0, static_cast<unsigned>(bytes.size()),
                            RelayStep, const_cast<PortStep*>(&step));
  if (written == 1) return PortResult{true, {}};
  return PortResult{false, messages.Text(kNotThere)};
}

PortResult NirvexPort::Verify(const std::string& path, std::span<const std::uint8_t> bytes,
                              const PortStep& step) {
  const CaughtMessages messages;
  unsigned differences = 0;
  unsigned first = 0;
  const int same =
      NirvexVerifyKeyboard(path.c_str(), bytes.data(), 0, static_cast<unsigned>(bytes.size()),
                           RelayStep, const_cast<PortStep*>(&step), &differences, &first);
  if (same == 1) return PortResult{true, {}};
  if (differences == 0xFFFFFFFFu)
    return PortResult{false, "not read back: " + messages.Text(kNotThere)};
  char text[96];
  std::snprintf(text, sizeof text, "%u %s; first at 0x%04X", differences,
                differences == 1 ? "byte differs" : "bytes differ", first);
  return PortResult{false, text};
}

}  // namespace veltrane::station
