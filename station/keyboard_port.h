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
};

// Called 100 times per transfer with the steps 0..99.
using PortStep = std::function<void(int step)>;

struct PortResult {
  bool ok = false;
  std::string reason;  // why not, as a user reads it
};

class KeyboardPort {
 public:
  virtual ~KeyboardPort() = default;
  // Every keyboard present. Called from one thread at a time.
  virtual PortListing List() = 0;
  // Writes bytes to keyboard addresses 0 .. size - 1. Called from several
  // threads at once, one keyboard each.
  virtual PortResult Program(const std::string& path, std::span<const std::uint8_t> bytes,
                             const PortStep& step) = 0;
  // Reads addresses 0 .. size - 1 back; ok when they equal bytes.
  virtual PortResult Verify(const std::string& path, std::span<const std::uint8_t> bytes,
                            const PortStep& step) = 0;
};

}  // namespace veltrane::station
