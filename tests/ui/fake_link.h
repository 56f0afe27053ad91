// A keyboard link for the command tests: answers from a script and records every call.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "ui/keyboard_link.h"

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
    if (address < 0xFF00)
      for (int i = 0; i < 100; ++i) step();
    return programResult != 0;
  }
  bool ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                    const ProgressStep& step) override {
    transfers.push_back({"read", address, count, {}});
    std::copy(keyboard.begin(), keyboard.begin() + count, bytes.begin() + address);
    for (int i = 0; i < 100; ++i) step();
    return readResult != 0;
  }
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
  int detections = 0;
  std::vector<unsigned char> keyboard = std::vector<unsigned char>(3072, 0xFF);
  std::vector<Transfer> transfers;
};

}  // namespace veltrane::ui
