// SPDX-License-Identifier: MIT
#include "ui/app/outcome.h"

#include "eeprom/image_layout.h"
#include "model/diagnostics.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

using model::MessageIcon;

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void TellNotLoaded(const Services& io, Command command, const Outcome& outcome) {
  const bool read = command == Command::Read;
  io.messages.Show(
      model::FormatText("%s was not loaded, so %s.", FileNameOf(outcome.reason).c_str(),
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
  switch (command) {
    case Command::Save:
      io.messages.Show("Cannot open: " + outcome.reason, "Save File", MessageIcon::Error);
      return;
    case Command::Read:
      io.messages.Show("Cannot open: " + outcome.reason, "Reading", MessageIcon::Error);
      return;
    default:
      io.messages.Show(outcome.reason, "Cannot open", MessageIcon::None);
      return;
  }
}

}  // namespace

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
      io.messages.Show(model::FormatText("The definition has %d distinct key meanings; an EEPROM "
                                         "image holds at most %d. No image was made.",
                                         outcome.count, eeprom::kMaxDistinctMeanings),
                       "EEPROM image", MessageIcon::Error);
      return;
    case Result::TransferFailed:
      return TellTransferFailed(io, command, outcome);
    case Result::Unsupported:
      io.messages.Show(
          model::FormatText("The keyboard \"%s\" has no matrix switch", outcome.reason.c_str()),
          "Enable matrix", MessageIcon::Error);
      return;
    case Result::NotWritten:
      return TellNotWritten(io, command, outcome);
    case Result::MacrosDoNotFit:
      io.messages.Show(outcome.reason, kMacroStoreCaption, MessageIcon::Error);
      return;
  }
}

Outcome WrittenFile(const fileaccess::Status& written, const std::string& path) {
  if (written) return {};
  return {Result::NotWritten, LinkStatus::Ok, written.reason.empty() ? path : written.reason};
}

Outcome Told(const Services& io, Command command, Outcome outcome) {
  Tell(io, command, outcome);
  return outcome;
}

}  // namespace veltrane::ui
