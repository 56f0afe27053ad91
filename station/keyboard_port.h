// SPDX-License-Identifier: MIT
// The station's way to the keyboards, injected so that tests drive it with
// fakes; NirvexPort reaches real and simulated keyboards through the library.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace veltrane::station {

struct PortKeyboard {
  std::string path;      // names the keyboard in the calls below while it stays plugged in
  std::string serial;    // USB serial number string; empty when none
  std::string location;  // USB port; empty when unknown
  std::string versionText;
};

struct PortListing {
  std::vector<PortKeyboard> keyboards;
  std::string accessProblem;  // a keyboard this user may not open, and the fix; else empty
  std::string deviceProblem;  // the keyboards cannot be looked for at all (a bad setting)
};

// Called 100 times for the writes with the steps 0..99, then 100 times for the
// read-back with `verifying` set.
using PortStep = std::function<void(bool verifying, int step)>;

struct PortResult {
  bool ok = false;
  std::string reason;  // why not, as a user reads it
};

enum class LockResult { Locked, Busy, Failed };

struct PortWrite {
  bool written = false;   // every write report was accepted
  bool verified = false;  // and the read-back equals the bytes (when asked)
  std::string reason;     // why not, as a user reads it
};

class KeyboardPort {
 public:
  virtual ~KeyboardPort() = default;
  // Every keyboard present. Called from one thread at a time.
  virtual PortListing List() = 0;
  // The calls below come from several threads at once, one keyboard each.
  // Takes the keyboard for the calling thread until Unlock: another station
  // or program on this machine finds it busy and leaves it alone.
  virtual LockResult Lock(const std::string& path, std::string& reason) = 0;
  virtual void Unlock(const std::string& path) = 0;
  // Reads keyboard addresses 0 .. size - 1 into bytes.
  virtual PortResult Read(const std::string& path, std::span<std::uint8_t> bytes) = 0;
  // Writes bytes to addresses 0 .. size - 1 and, when `verify`, reads them
  // back and compares, all under one open of the keyboard.
  virtual PortWrite ProgramAndVerify(const std::string& path, std::span<const std::uint8_t> bytes,
                                     bool verify, const PortStep& step) = 0;
};

}  // namespace veltrane::station
