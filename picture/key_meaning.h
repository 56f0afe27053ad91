// SPDX-License-Identifier: MIT
// What a key means on one layer, in the few words a printed key has room
// for: "A", "Shift", "Vol+", "Macro 3", "Fn1", "Light+", and the modifiers
// it is sent with ("Ctrl+Alt").
#pragma once

#include <string>

#include "model/definition.h"

namespace veltrane::picture {

// What kind of meaning it is, for the key's colour.
enum class MeaningKind { None, Key, Modifier, Macro, Fn, Media, Mouse, Light };

struct Meaning {
  std::string words;  // empty for None
  std::string modes;  // the key mode's modifiers, e.g. "Ctrl+Shift"; empty for none
  MeaningKind kind = MeaningKind::None;
};

Meaning LayerMeaning(const model::KeyLayer& layer);

// Whether the keyboard gets this layer of the key: the key enabled and used,
// the layer used and meaning something. Everything else is drawn grey.
bool IsActive(const model::KeyDefinition& key, int layer);

// A macro stroke: its modifiers and key, e.g. "Ctrl+Shift+Esc"; a key no
// table row has is named by its USB code, "usb 0x8a".
std::string StrokeName(const model::StringChar& stroke);

}  // namespace veltrane::picture
