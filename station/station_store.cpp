// SPDX-License-Identifier: MIT
#include "station/station_store.h"

#include <array>
#include <utility>

namespace veltrane::station {
namespace {

constexpr std::array<std::pair<SerialState, const char*>, 5> kStateNames{{
    {SerialState::Reserved, "reserved"},
    {SerialState::Passed, "passed"},
    {SerialState::Failed, "failed"},
    {SerialState::Released, "released"},
    {SerialState::Replaced, "replaced"},
}};

}  // namespace

const char* StateName(SerialState state) {
  for (const auto& [each, name] : kStateNames)
    if (each == state) return name;
  return "";
}

bool StateFromName(const std::string& name, SerialState& state) {
  for (const auto& [each, text] : kStateNames) {
    if (name != text) continue;
    state = each;
    return true;
  }
  return false;
}

bool HoldsSerial(SerialState state) {
  return state == SerialState::Reserved || state == SerialState::Passed ||
         state == SerialState::Replaced;
}

}  // namespace veltrane::station
