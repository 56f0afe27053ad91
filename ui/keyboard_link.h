// The program's way to the keyboard: the three operations of the shared
// library, behind an interface so that commands can be driven by a fake.
#pragma once

#include <string>

namespace veltrane::ui {

using ProgressCallback = int (*)(int);

class KeyboardLink {
 public:
  virtual ~KeyboardLink() = default;
  // text: at least 64 bytes; receives the keyboard's version text or "Not found".
  virtual int DetectKeyboard(char* text) = 0;
  virtual int ProgramFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                              ProgressCallback progress) = 0;
  virtual int ReadFirmWare(unsigned char* buffer, unsigned address, unsigned count,
                           ProgressCallback progress) = 0;
  // Why the last detection found a matching keyboard it could not open, and
  // how to fix that; empty when there was no such keyboard.
  virtual std::string AccessProblem() { return {}; }
};

}  // namespace veltrane::ui
