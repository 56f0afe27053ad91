// The station's keyboards through libnirvex's several-keyboards calls. Each
// call's messages are caught on its own thread and become its reason.
#pragma once

#include "station/keyboard_port.h"

namespace veltrane::station {

class NirvexPort final : public KeyboardPort {
 public:
  PortListing List() override;
  PortResult Program(const std::string& path, std::span<const std::uint8_t> bytes,
                     const PortStep& step) override;
  PortResult Verify(const std::string& path, std::span<const std::uint8_t> bytes,
                    const PortStep& step) override;
};

}  // namespace veltrane::station
