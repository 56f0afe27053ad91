#include "ui/nirvex_link.h"

#include "link/nirvex.h"

namespace veltrane::ui {
namespace {

void ForwardMessage(const char* text, const char* caption, void* context) {
  static_cast<model::MessageSink*>(context)->Show(text, caption, model::MessageIcon::None);
}

}  // namespace

NirvexLink::NirvexLink(model::MessageSink& messages) : messages_(messages) {
  NirvexSetMessageHandler(ForwardMessage, &messages_);
}

NirvexLink::~NirvexLink() {
  NirvexSetMessageHandler(nullptr, nullptr);
}

int NirvexLink::DetectKeyboard(char* text) {
  return ::DetectKeyboard(text);
}

int NirvexLink::ProgramFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                                ProgressCallback progress) {
  return ::ProgramFirmWare(buffer, address, count, progress);
}

int NirvexLink::ReadFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                             ProgressCallback progress) {
  return ::ReadFirmWare(buffer, address, count, progress);
}

std::string NirvexLink::AccessProblem() {
  return NirvexLastOpenDenied() != 0 ? std::string(NirvexAccessProblem()) : std::string();
}

}  // namespace veltrane::ui
