// SPDX-License-Identifier: MIT
#include "ui/app/outcome.h"

#include "eeprom/image_layout.h"
#include "model/diagnostics.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

using model::MessageIcon;

void TellNotLoaded(const Services& io, Command command, const Outcome& outcome) {
  const bool read = command == Command::Read;
  io.messages.Show(model::FormatText("%s was not loaded, so %s.", FileNameOf(outcome.path).c_str(),
                                     read ? "the keyboard was not read" : "nothing was programmed"),
                   read ? "Reading" : "Download", MessageIcon::Error);
}

void TellTransferFailed(const Services& io, Command command, const Outcome& outcome) {
  switch (command) {
    case Command::Read:
      io.messages.Show(outcome.status == LinkStatus::CloseFailed
                           ? "The keyboard was read completely, but it could not be closed; "
                             "nothing was decoded."
                           : "The keyboard could not be read completely; nothing was decoded.",
                       "Reading", MessageIcon::Error);
      return;
    case Command::MatrixOn:
    case Command::MatrixOff:
      io.messages.Show(command == Command::MatrixOn
                           ? "The keyboard did not take the switch: its matrix stays on."
                           : "The keyboard did not take the switch: its matrix stays off.",
                       "Enable matrix", MessageIcon::Error);
      return;
    default:
      io.messages.Show("Programming failed", "Programming", MessageIcon::Information);
      return;
  }
}

void TellNotWritten(const Services& io, Command command, const Outcome& outcome) {
  const std::string& why = outcome.reason.empty() ? outcome.path : outcome.reason;
  switch (command) {
    case Command::Save:
      io.messages.Show("Cannot open: " + why, "Save File", MessageIcon::Error);
      return;
    case Command::Read:
      io.messages.Show("Cannot open: " + why, "Reading", MessageIcon::Error);
      return;
    default:
      io.messages.Show(why, "Cannot open", MessageIcon::None);
      return;
  }
}

// A file to load that could not be read: its path, or why when the system
// said more than that it could not be opened.
void TellCannotOpen(const Services& io, Command command, const Outcome& outcome) {
  const std::string& text = outcome.reason.empty() ? outcome.path : outcome.reason;
  switch (command) {
    case Command::ImportText:
      io.messages.Show(text, "Import text", MessageIcon::Error);
      return;
    case Command::LoadImage:
      io.messages.Show(text, "Cannot open file", MessageIcon::Error);
      return;
    default:
      io.messages.Show(text, "Cannot open file", MessageIcon::None);
      return;
  }
}

void TellImageSize(const Services& io, const Outcome& outcome) {
  const std::string text =
      outcome.result == Result::ImageTooShort
          ? model::FormatText(
                "%s holds %lld bytes; an image read back from a keyboard has at "
                "least %zu",
                outcome.path.c_str(), outcome.count, eeprom::kKeyboardBytes)
      : outcome.count < 0
          ? model::FormatText("%s holds more than %zu bytes; an EEPROM image holds at most %zu",
                              outcome.path.c_str(), eeprom::kImageSize, eeprom::kImageSize)
          : model::FormatText("%s holds %lld bytes; an EEPROM image holds at most %zu",
                              outcome.path.c_str(), outcome.count, eeprom::kImageSize);
  io.messages.Show(text, "Image file", MessageIcon::Error);
}

// A configuration file the program does not read.
void TellNotRead(const Services& io, const Outcome& outcome) {
  switch (outcome.result) {
    case Result::Incompatible:
      io.messages.Show("Incompatible .DAT file !", ".DAT file", MessageIcon::None);
      return;
    case Result::TextNotConfig:
      io.messages.Show(outcome.path +
                           " is a definition text, not a configuration file: import it as text",
                       "Configuration file", MessageIcon::None);
      return;
    case Result::BadMinorVersion:
      io.messages.Show(outcome.path + " has version " + outcome.versionText +
                           "; this program reads minor versions 0 to 2 of version 4 and later",
                       "Configuration file", MessageIcon::None);
      return;
    default:
      io.messages.Show("FileLength error !", ".DAT file", MessageIcon::None);
      return;
  }
}

// A text as a message quotes it: control characters as \xHH.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    out += b < 0x20 || b == 0x7F ? model::FormatText("\\x%02x", b) : std::string(1, c);
  }
  return out + "\"";
}

}  // namespace

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void Tell(const Services& io, Command command, const Outcome& outcome) {
  switch (outcome.result) {
    case Result::Ok:
    case Result::Cancelled:
      return;
    case Result::NotLoaded:
      return TellNotLoaded(io, command, outcome);
    case Result::NoKeyboard:
      io.messages.Show("No Keyboard Found!", "ReadFirmwareVersion", MessageIcon::Information);
      return;
    case Result::TooManyMeanings:
      io.messages.Show(model::FormatText("The definition has %lld distinct key meanings; an EEPROM "
                                         "image holds at most %d. No image was made.",
                                         outcome.count, eeprom::kMaxDistinctMeanings),
                       "EEPROM image", MessageIcon::Error);
      return;
    case Result::TransferFailed:
      return TellTransferFailed(io, command, outcome);
    case Result::Unsupported:
      io.messages.Show(model::FormatText("The keyboard \"%s\" has no matrix switch",
                                         outcome.versionText.c_str()),
                       "Enable matrix", MessageIcon::Error);
      return;
    case Result::NotWritten:
      return TellNotWritten(io, command, outcome);
    case Result::MacrosDoNotFit:
      io.messages.Show(outcome.macros, kMacroStoreCaption, MessageIcon::Error);
      return;
    case Result::WouldReplaceInput:
      io.messages.Show(model::FormatText("%s is this command's input file %s; nothing was written",
                                         outcome.path.c_str(), outcome.input.c_str()),
                       "Output file", MessageIcon::Error);
      return;
    case Result::CannotOpen:
      return TellCannotOpen(io, command, outcome);
    case Result::Incompatible:
    case Result::BadMinorVersion:
    case Result::BadLength:
    case Result::TextNotConfig:
      return TellNotRead(io, outcome);
    case Result::TextRefused:
      io.messages.Show(outcome.reason, "Import text", MessageIcon::Error);
      return;
    case Result::ImageTooShort:
    case Result::ImageTooLong:
      return TellImageSize(io, outcome);
  }
}

void Tell(const Services& io, Notice notice) {
  switch (notice) {
    case Notice::Loaded:
      io.messages.Show("Loaded configuration file !", "Load", MessageIcon::None);
      return;
    case Notice::Saved:
      io.messages.Show("Saved configuration file !", "Save", MessageIcon::None);
      return;
    case Notice::PlugInToProgram:
      io.messages.Show("Plug in the keyboard to program !", "Download", MessageIcon::Information);
      return;
    case Notice::PlugInToRead:
      io.messages.Show("Plug in the keyboard to read !", "", MessageIcon::Information);
      return;
    case Notice::KeyboardRead:
      io.messages.Show("Keyboard read !", "Reading", MessageIcon::Information);
      return;
    case Notice::MatrixEnabled:
      io.messages.Show("Matrix enabled", "SetFocus", MessageIcon::None);
      return;
  }
}

void TellSettingsOutOfRange(const Services& io, const std::string& source,
                            const std::vector<model::SettingProblem>& problems) {
  std::string text;
  for (const model::SettingProblem& p : problems) {
    if (!text.empty()) text += "\n";
    const std::string name(p.entry->name);
    if (p.entry->IsText()) {
      text += name + " " + Quoted(p.text) + " holds control characters: " + Quoted(p.usedText) +
              " is used";
    } else {
      text +=
          model::FormatText("%s %lld is outside %lld..%lld: %lld is used", name.c_str(),
                            static_cast<long long>(p.value), static_cast<long long>(p.entry->min),
                            static_cast<long long>(p.entry->max), static_cast<long long>(p.used));
    }
  }
  if (!text.empty()) io.messages.Show(text, source, MessageIcon::Warning);
}

Outcome WrittenFile(const fileaccess::Status& written, const std::string& path) {
  if (written) return {};
  Outcome failed{Result::NotWritten};
  failed.path = path;
  failed.reason = written.reason;
  return failed;
}

Outcome Told(const Services& io, Command command, Outcome outcome) {
  Tell(io, command, outcome);
  return outcome;
}

}  // namespace veltrane::ui
