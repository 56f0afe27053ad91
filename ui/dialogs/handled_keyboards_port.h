// The keyboards a finished run left plugged in, kept out of the listing of
// the next run until they are unplugged: a Stop and a Start never program a
// keyboard a second time, with a second serial number, while it stays attached.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "station/keyboard_port.h"
#include "station/station_events.h"

namespace veltrane::ui {

class HandledKeyboardsPort final : public station::KeyboardPort {
 public:
  // `told` hears KeyboardRemoved for a kept-out keyboard once it is gone.
  HandledKeyboardsPort(station::KeyboardPort& inner, station::StationObserver& told)
      : inner_(inner), told_(told) {}

  // Only while no station runs over this port.
  void KeepOut(std::set<std::string> paths);

  station::PortListing List() override;
  station::PortResult Program(const std::string& path, std::span<const std::uint8_t> bytes,
                              const station::PortStep& step) override {
    return inner_.Program(path, bytes, step);
  }
  station::PortResult Verify(const std::string& path, std::span<const std::uint8_t> bytes,
                             const station::PortStep& step) override {
    return inner_.Verify(path, bytes, step);
  }

 private:
  station::KeyboardPort& inner_;
  station::StationObserver& told_;
  std::mutex mutex_;
  std::set<std::string> keptOut_;
};

}  // namespace veltrane::ui
