// SPDX-License-Identifier: MIT
// The station's keyboards through libnirvex's several-keyboards calls. Each
// call's messages are caught on its own thread and become its reason.
#pragma once

#include "station/keyboard_port.h"

namespace veltrane::station {

class NirvexPort final : public KeyboardPort {
 public:
  PortListing List() override;
  LockResult Lock(const std::string& path, std::string& reason) override;
  void Unlock(const std::string& path) override;
  PortResult Read(const std::string& path, std::span<std::uint8_t> bytes) override;
  PortWrite ProgramAndVerify(const std::string& path, std::span<const std::uint8_t> bytes,
                             bool verify, const PortStep& step) override;
};

}  // namespace veltrane::station
