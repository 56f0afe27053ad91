// SPDX-License-Identifier: MIT
// Reading a download back to see that the keyboard holds what was sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

// Where two byte ranges of the same length differ.
struct ByteDifference {
  std::size_t count = 0;  // 0: the same
  std::size_t firstAddress = 0;
  std::uint8_t wrote = 0;  // at firstAddress
  std::uint8_t read = 0;
};

ByteDifference CompareBytes(std::span<const std::uint8_t> wrote,
                            std::span<const std::uint8_t> read);

enum class VerifyOutcome { Same, Differs, Unread };

// Shows (caption "Verify") "Verified 3072 bytes", or how many bytes differ
// with the first differing address and both its bytes.
VerifyOutcome TellVerifyResult(const Services& io, const ByteDifference& difference);
// Shows that the keyboard could not be read back.
VerifyOutcome TellUnverified(const Services& io);

}  // namespace veltrane::ui
