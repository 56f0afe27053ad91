// The settings that live in the main window's lists and fields, as read with
// the window's reading rules at the moment a file or image is written.
#pragma once

#include <cstdint>
#include <string>

namespace veltrane::model {

struct ShownSettings {
  std::int32_t DefRepDelay = 1;     // list selection, -1 when none
  std::int32_t DefRepRate = 7;      // list selection, -1 when none
  std::uint32_t DebounceTime = 28;  // unsigned number in its field, 0 when none
  std::int32_t MaxScanRow = 14;     // list selection + 1
  std::int32_t PointDevice = 0;     // list selection, -1 when none
  std::string ConfigFileName = "in.dat";  // file-name display, at most 31 characters
  std::string SerialNumber;               // at most 31 characters
};

}  // namespace veltrane::model
