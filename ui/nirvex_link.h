// The keyboard link through the shared library nirvex; the library's message
// boxes reach the user through the program's message sink.
#pragma once

#include "model/diagnostics.h"
#include "ui/keyboard_link.h"

namespace veltrane::ui {

class NirvexLink : public KeyboardLink {
 public:
  explicit NirvexLink(model::MessageSink& messages);
  ~NirvexLink() override;
  NirvexLink(const NirvexLink&) = delete;
  NirvexLink& operator=(const NirvexLink&) = delete;

  int DetectKeyboard(char* text) override;
  int ProgramFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                      ProgressCallback progress) override;
  int ReadFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                   ProgressCallback progress) override;
  std::string AccessProblem() override;

 private:
  model::MessageSink& messages_;
};

}  // namespace veltrane::ui
