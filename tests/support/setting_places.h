// SPDX-License-Identifier: MIT
// Where a configuration file's header and the EEPROM image keep a setting, as
// the schema says, for tests that write or look at those bytes directly.
#pragma once

#include <cstddef>
#include <string_view>

#include "model/settings_schema.h"

namespace veltrane::testing {

inline std::size_t HeaderAt(std::string_view setting) {
  return model::SettingNamed(setting).headerOffset;
}

inline std::size_t ImageAt(std::string_view setting) {
  return model::SettingNamed(setting).imageOffset;
}

}  // namespace veltrane::testing
