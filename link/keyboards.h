// SPDX-License-Identifier: MIT
// Several keyboards at once: every keyboard present with its identity, and
// the one-keyboard operations run on a keyboard chosen by that identity.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/block_transfer.h"
#include "link/forwarding_layer.h"
#include "link/keyboard_open.h"

namespace veltrane::link {

// Interface indices a listing looks at (the one-keyboard walk looks at 40).
inline constexpr int kListAttempts = 256;

struct ListedKeyboard {
  std::string path;      // names the keyboard while it stays plugged in
  std::string serial;    // USB serial number string (low bytes); empty when none
  std::string location;  // USB port ("1-1.4"); empty when unknown
  std::string text;      // identification text, as DetectKeyboard gives it
  DeviceAttributes attributes;
};

// Every interface holding a keyboard that passes the identity test, in
// interface order; each is opened and closed again. Sets the state's
// access problem as the one-keyboard walk does.
std::vector<ListedKeyboard> ListKeyboards(DeviceLayer& layer, LinkState& state);

// The inner layer as the one-keyboard operations see it when only the
// keyboard at `path` is wanted: that interface at index 0 and no other, so
// that ProgramFirmWare and ReadFirmWare run on it. An empty path keeps every
// interface. Quiet in both cases: no "Done" box and no "Found keyboard" line,
// which tell one user at one desk about one keyboard.
class ChosenKeyboardLayer final : public ForwardingLayer {
 public:
  ChosenKeyboardLayer(DeviceLayer& inner, std::string path)
      : ForwardingLayer(inner), path_(std::move(path)) {}

  InterfaceEntry Interface(int index) override;
  void Message(const char* text, const char* caption) override;
  void Print(const char* text) override;

 private:
  std::string path_;
};

struct BlockVerification {
  bool read = false;                  // all count bytes came back
  std::uint32_t differences = 0;      // bytes that differ, when read
  std::uint32_t firstDifference = 0;  // keyboard address of the first one
};

// Reads address .. address + count back and compares it with
// expected[address ..]; ReadFirmWare's rules, messages and progress.
BlockVerification VerifyBlock(DeviceLayer& layer, LinkState& state, const std::uint8_t* expected,
                         std::uint32_t address, std::uint32_t count, ProgressCallback progress);

}  // namespace veltrane::link
