// SPDX-License-Identifier: MIT
#include "ui/app/verify.h"

#include <algorithm>
#include <array>

#include "eeprom/image_layout.h"

namespace veltrane::ui {

ByteDifference CompareBytes(std::span<const std::uint8_t> wrote,
                            std::span<const std::uint8_t> read) {
  ByteDifference difference;
  const std::size_t size = std::min(wrote.size(), read.size());
  for (std::size_t address = 0; address < size; ++address) {
    if (wrote[address] == read[address]) continue;
    if (difference.count == 0) difference = {0, address, wrote[address], read[address]};
    ++difference.count;
  }
  return difference;
}

VerifyOutcome TellVerifyResult(const Services& io, const ByteDifference& difference) {
  if (difference.count == 0) {
    io.messages.Show(model::FormatText("Verified %zu bytes", eeprom::kKeyboardBytes), "Verify",
                     model::MessageIcon::Information);
    return VerifyOutcome::Same;
  }
  io.messages.Show(
      model::FormatText("%zu %s; first at 0x%04zx: wrote 0x%02x, read 0x%02x", difference.count,
                        difference.count == 1 ? "byte differs" : "bytes differ",
                        difference.firstAddress, difference.wrote, difference.read),
      "Verify", model::MessageIcon::Error);
  return VerifyOutcome::Differs;
}

VerifyOutcome TellUnverified(const Services& io) {
  io.messages.Show("The keyboard could not be read back; nothing was verified.", "Verify",
                   model::MessageIcon::Error);
  return VerifyOutcome::Unread;
}

}  // namespace veltrane::ui
