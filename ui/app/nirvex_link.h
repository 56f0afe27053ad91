// SPDX-License-Identifier: MIT
// The keyboard link through the shared library nirvex; the library's message
// boxes reach the user through the program's message sink.
#pragma once

#include "model/diagnostics.h"
#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

// The library's NirvexStatus as the link's status, value for value; one the
// library added later is a failed call (ReportFailed).
LinkStatus LinkStatusOf(int status);

class NirvexLink : public KeyboardLink {
 public:
  explicit NirvexLink(model::MessageSink& messages);
  ~NirvexLink() override;
  NirvexLink(const NirvexLink&) = delete;
  NirvexLink& operator=(const NirvexLink&) = delete;

  std::string DetectKeyboard() override;
  bool ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address, unsigned count,
                       const ProgressStep& step) override;
  bool ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                    const ProgressStep& step) override;
  ChangedWordsResult ProgramChangedWords(std::span<const std::uint8_t> bytes, unsigned address,
                                         unsigned count, const ProgressStep& step) override;
  // Keeps the library's "Done" back until the block read back equals the one written.
  ReadBackDownload ProgramAndReadBack(std::span<const std::uint8_t> bytes, unsigned address,
                                      unsigned count, std::span<std::uint8_t> readBack,
                                      const ProgressStep& step) override;
  std::string AccessProblem() override;
  LinkStatus LastStatus() override { return lastStatus_; }

 private:
  // The library answers on the thread that made the call: kept here for a
  // caller that asks from another one.
  void KeepAccessProblem();
  // Every library message; "Done" is kept back while holdDone_ is set.
  static void Relay(const char* text, const char* caption, void* link);

  model::MessageSink& messages_;
  LinkStatus lastStatus_ = LinkStatus::Ok;  // read on the thread of the call, kept for any thread
  std::string accessProblem_;
  bool holdDone_ = false;  // set on the thread of the call it is for
  bool doneHeld_ = false;
};

}  // namespace veltrane::ui
