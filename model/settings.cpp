// SPDX-License-Identifier: MIT
#include "model/settings.h"

#include "model/key_tables.h"

namespace veltrane::model {
namespace {

void NoneOutside(std::int32_t& selection, std::size_t count) {
  if (selection < 0 || static_cast<std::size_t>(selection) >= count) selection = -1;
}

}  // namespace

void ResetForNew(Settings& settings) {
  Settings fresh;
  fresh.EnableBits = settings.EnableBits;
  fresh.BeepLength = settings.BeepLength;
  fresh.SerialNumber = std::move(settings.SerialNumber);
  settings = std::move(fresh);
}

void KeepWithinControls(Settings& s) {
  NoneOutside(s.DefRepDelay, DefRepDelayNames.size());
  NoneOutside(s.DefRepRate, DefRepRateNames.size());
  NoneOutside(s.PointDevice, PointDeviceNames.size());
  if (s.MaxScanRow < 1 || static_cast<std::size_t>(s.MaxScanRow) > MaxScanRowNames.size())
    s.MaxScanRow = 0;
  if (s.ScrollWheelGain > 16) s.ScrollWheelGain = 16;
  if (s.BeepLength > 200) s.BeepLength = 200;
}

std::int32_t* LedOfSlot(Settings& settings, int slot) {
  switch (slot) {
    case 0:
      return &settings.Led1;
    case 1:
      return &settings.Led2;
    case 2:
      return &settings.Led3;
    case 3:
      return &settings.Led4;
    default:
      return nullptr;
  }
}

}  // namespace veltrane::model
