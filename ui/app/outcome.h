// SPDX-License-Identifier: MIT
// How a command ended, as a value: what the front ends decide by (the window
// what it shows next, the command line its exit status) and what the user is
// told. Tell is the one place where the words are made, success included.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "fileaccess/status.h"
#include "model/settings_schema.h"
#include "ui/app/keyboard_link.h"
#include "ui/app/services.h"

namespace veltrane::ui {

enum class Result {
  Ok,
  Cancelled,          // the user cancelled a dialog: nothing was done
  NotLoaded,          // the configuration file named on the command line could not be loaded
  NoKeyboard,         // no keyboard answered the detection
  TooManyMeanings,    // the definition does not fit an image: nothing was built
  TransferFailed,     // the keyboard did not take or give the whole block, or was not closed
  Unsupported,        // the keyboard has no matrix switch
  NotWritten,         // a file could not be written
  MacrosDoNotFit,     // the macros would lose strokes in the packed store: nothing was written
  WouldReplaceInput,  // the output is the command's own input: nothing was written
  // A load that changed nothing:
  CannotOpen,       // the file could not be read
  Incompatible,     // a configuration file of a major version below 4
  BadMinorVersion,  // a configuration file of a minor version outside 0..2
  BadLength,        // a configuration file of none of the three lengths
  TextNotConfig,    // a definition text given where a configuration file is read
  TextRefused,      // a definition text that is not valid
  ImageTooShort,    // an image file shorter than what a keyboard holds
  ImageTooLong,     // an image file longer than an image
};

struct Outcome {
  Outcome() = default;
  Outcome(Result result, LinkStatus status = LinkStatus::Ok)  // NOLINT
      : result(result), status(status) {}

  Result result = Result::Ok;
  LinkStatus status = LinkStatus::Ok;  // TransferFailed: the library's reason
  std::string path;         // the file concerned: NotLoaded, NotWritten, WouldReplaceInput, loads
  std::string reason;       // the system's reason, naming the path ("out.DAT: No space left on
                            // device"); for TextRefused where and what
  std::string versionText;  // Unsupported: the keyboard's; BadMinorVersion: the file's ("5.3")
  std::string macros;       // MacrosDoNotFit: the macros that would lose strokes
  std::string input;        // WouldReplaceInput: the command's input
  long long count = 0;      // TooManyMeanings: the distinct meanings; Image*: the bytes (-1: more)

  bool ok() const { return result == Result::Ok; }
  explicit operator bool() const { return ok(); }
};

// The command an outcome is told for; each has its own texts and captions.
// Load: a configuration file; ImportText: a definition text; LoadImage: an image file.
enum class Command {
  Program,
  Read,
  Generate,
  Save,
  MatrixOn,
  MatrixOff,
  WriteFile,
  Load,
  ImportText,
  LoadImage,
};

// Tells the user how a command failed. An Ok or Cancelled outcome tells nothing.
void Tell(const Services& io, Command command, const Outcome& outcome);

// What went well or is about to happen, told as it is.
enum class Notice {
  Loaded,           // "Loaded configuration file !"
  Saved,            // "Saved configuration file !"
  PlugInToProgram,  // "Plug in the keyboard to program !"
  PlugInToRead,     // "Plug in the keyboard to read !"
  KeyboardRead,     // "Keyboard read !"
  MatrixEnabled,    // "Matrix enabled"
};
void Tell(const Services& io, Notice notice);

// The settings a load brought outside their ranges and what is used instead,
// one line each ("DebounceTime 1266692167 is outside 0..255: 255 is used"),
// in one box whose caption names where they came from. Nothing when there are none.
void TellSettingsOutOfRange(const Services& io, const std::string& source,
                            const std::vector<model::SettingProblem>& problems);

// Ok, or NotWritten with the path and the status's reason.
Outcome WrittenFile(const fileaccess::Status& written, const std::string& path);

// `outcome`, told.
Outcome Told(const Services& io, Command command, Outcome outcome);

// The last component of a path.
std::string FileNameOf(std::string_view path);

}  // namespace veltrane::ui
