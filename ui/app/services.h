// SPDX-License-Identifier: MIT
// How the commands reach the outside: message boxes and the log, handed in by
// each front end and never absent.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/diagnostics.h"

namespace veltrane::ui {

struct Services {
  model::MessageSink& messages;
  model::LogSink& log;
};

// A log that keeps nothing, for runs without a log file.
class NullLog : public model::LogSink {
 public:
  void Write(std::string_view) override {}
};

// Messages kept in order for later, for work done before a window can show them.
class HeldMessages : public model::MessageSink {
 public:
  void Show(std::string_view text, std::string_view caption, model::MessageIcon icon) override {
    held_.push_back({std::string(text), std::string(caption), icon});
  }
  bool empty() const { return held_.empty(); }
  // Shows the kept messages to `sink`, in order, and forgets them.
  void ShowTo(model::MessageSink& sink) {
    for (const Held& message : std::exchange(held_, {}))
      sink.Show(message.text, message.caption, message.icon);
  }

 private:
  struct Held {
    std::string text;
    std::string caption;
    model::MessageIcon icon;
  };
  std::vector<Held> held_;
};

}  // namespace veltrane::ui
