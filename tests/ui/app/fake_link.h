// SPDX-License-Identifier: MIT
// A keyboard link for the command tests: answers from a script and records every call.
#pragma once

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

struct Transfer {
  std::string kind;
  unsigned address;
  unsigned count;
  std::vector<unsigned char> data;
};

class FakeLink : public KeyboardLink {
 public:
  std::string DetectKeyboard() override {
    ++detections;
    return version;
  }
  bool ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address, unsigned count,
                       const ProgressStep& step) override {
    transfers.push_back(
        {"program", address, count, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 4)});
    if (duringTransfer) duringTransfer();
    if (address >= 0xFF00) return programResult != 0;
    for (int i = 0; i < 100; ++i) step();
    // A keyboard that takes the block holds it, less the byte it drops.
    if (programResult != 0)
      for (unsigned at = address; at < address + count && at < keyboard.size(); ++at)
        if (static_cast<int>(at) != droppedByte) keyboard[at] = bytes[at];
    return programResult != 0;
  }
  bool ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                    const ProgressStep& step) override {
    transfers.push_back({"read", address, count, {}});
    std::copy(keyboard.begin(), keyboard.begin() + count, bytes.begin() + address);
    for (int i = 0; i < 100; ++i) step();
    return readResult != 0;
  }
  LinkStatus LastStatus() override { return status; }
  std::string AccessProblem() override { return accessProblem; }
  ChangedWordsResult ProgramChangedWords(std::span<const std::uint8_t> bytes, unsigned address,
                                         unsigned count, const ProgressStep& step) override {
    transfers.push_back(
        {"changed", address, count, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 4)});
    for (int i = 0; i < 100; ++i) step();
    return changed;
  }
  std::string version = "V0527X";
  ChangedWordsResult changed;
  int programResult = 1;
  int readResult = 1;
  int droppedByte = -1;  // an address the keyboard does not write
  int detections = 0;
  LinkStatus status = LinkStatus::Ok;
  std::string accessProblem;
  std::function<void()> duringTransfer;
  std::vector<unsigned char> keyboard = std::vector<unsigned char>(3072, 0xFF);
  std::vector<Transfer> transfers;
};

}  // namespace veltrane::ui
