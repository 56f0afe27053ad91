// How the commands reach the outside: message boxes and the log, handed in by
// each front end and never absent.
#pragma once

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

}  // namespace veltrane::ui
