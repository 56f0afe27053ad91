// SPDX-License-Identifier: MIT
// How a command ended, as a value: what the front ends decide by (the window
// what it shows next, the command line its exit status) and what the user is
// told, from one place.
#pragma once

#include <string>
#include <utility>

#include "fileaccess/status.h"
#include "ui/app/keyboard_link.h"
#include "ui/app/services.h"

namespace veltrane::ui {

enum class Result {
  Ok,
  Cancelled,        // the user cancelled a dialog: nothing was done
  NotLoaded,        // the configuration file named on the command line could not be loaded
  NoKeyboard,       // no keyboard answered the detection
  TooManyMeanings,  // the definition does not fit an image: nothing was built
  TransferFailed,   // the keyboard did not take or give the whole block, or was not closed
  Unsupported,      // the keyboard has no matrix switch
  NotWritten,       // a file could not be written
  MacrosDoNotFit,   // the macros would lose strokes in the packed store: nothing was written
};

struct Outcome {
  Outcome() = default;
  Outcome(Result result, LinkStatus status = LinkStatus::Ok, std::string reason = {})  // NOLINT
      : result(result), status(status), reason(std::move(reason)) {}

  Result result = Result::Ok;
  LinkStatus status = LinkStatus::Ok;  // TransferFailed: the library's reason
  // NotLoaded: the file's path; NotWritten: "PATH: REASON"; Unsupported: the
  // keyboard's version text; MacrosDoNotFit: the macros that would lose strokes.
  std::string reason;
  int count = 0;  // TooManyMeanings: the distinct meanings the definition has

  bool ok() const { return result == Result::Ok; }
  explicit operator bool() const { return ok(); }
};

// The command an outcome is told for; each has its own texts and captions.
enum class Command { Program, Read, Generate, Save, MatrixOn, MatrixOff, WriteFile };

// Tells the user how a command failed: the one place where these messages
// are made. An Ok or Cancelled outcome tells nothing.
void Tell(const Services& io, Command command, const Outcome& outcome);

// Ok, or NotWritten with the status's reason (the path when it gives none).
Outcome WrittenFile(const fileaccess::Status& written, const std::string& path);

// `outcome`, told.
Outcome Told(const Services& io, Command command, Outcome outcome);

}  // namespace veltrane::ui
