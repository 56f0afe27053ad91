// SPDX-License-Identifier: MIT
// A message sink that keeps every box it is shown, for assertions.
#pragma once

#include <string>
#include <vector>

#include "model/diagnostics.h"

namespace veltrane::testing {

struct ShownMessage {
  std::string text;
  std::string caption;
  model::MessageIcon icon;
};

class RecordingMessages : public model::MessageSink {
 public:
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override {
    shown.push_back({std::string(text), std::string(caption), icon});
  }
  std::vector<ShownMessage> shown;
};

class RecordingLog : public model::LogSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace veltrane::testing
