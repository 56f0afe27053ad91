// SPDX-License-Identifier: MIT
// The pieces of the JSON form of a definition that export, import and diff
// share: the names of layers, flags and settings, and each element (setting,
// key, layer, macro stroke) as a JSON value. Internal to persist/.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>

#include "model/definition.h"
#include "model/settings_schema.h"
#include "persist/header_image.h"

namespace veltrane::persist::json_form {

using Json = nlohmann::ordered_json;

// Export writes format 2: keys named by their labels, texts up to the whole
// 32 bytes of their fields. Import reads format 1 as well (table names only).
inline constexpr int kFormat = 2;
inline constexpr int kFirstFormat = 1;

inline constexpr std::array<std::string_view, model::kLayerCount> kLayerNames = {"base", "fn1",
                                                                                 "fn2", "fn1+fn2"};
// keymode bits 0..7.
inline constexpr std::array<std::string_view, 8> kModeNames = {
    "ALT", "CTRL", "SHIFT", "BASE", "REPEAT_OFF", "ALTGR", "BIT6", "BIT7"};
// keytype bits 6 and 7.
inline constexpr std::array<std::string_view, 2> kLightNames = {"DOWN", "UP"};
inline constexpr std::uint8_t kLightMask = model::KEYTYPE_LIGHT_DOWN | model::KEYTYPE_LIGHT_UP;
inline constexpr std::uint8_t kTypeMask = 0x3F;
// StringChar modifier bits 0..7, the USB HID modifier byte.
inline constexpr std::array<std::string_view, 8> kModifierNames = {
    "LEFT_CTRL",  "LEFT_SHIFT",  "LEFT_ALT",  "LEFT_GUI",
    "RIGHT_CTRL", "RIGHT_SHIFT", "RIGHT_ALT", "RIGHT_GUI"};
// A setting as the text writes it: a flag as true/false, a listed value by its
// name, bits by their names, a text as TextJson; a value outside what those
// can show as its number.
Json SettingJson(const model::Settings& settings, const model::SettingEntry& entry);

// The header bytes that no setting uses, as hexadecimal digits; empty when all are zero.
std::string ReservedHeaderHex(const HeaderImage& header);

// "3/5" for row 3, column 5.
std::string PositionName(int keyIndex);

bool IsClearedLayer(const model::KeyLayer& layer);
bool IsClearedKey(const model::KeyDefinition& key);  // its layers included

// Legend, flags and logical address of a key (no layers).
Json KeyFieldsJson(const model::KeyDefinition& key);
// A layer; `def` gives the length of the macro a string layer names.
Json LayerJson(const model::KeyLayer& layer, const model::KeyboardDefinition& def);
Json StrokeJson(const model::StringChar& stroke);
Json MacroJson(const model::StringRow& row);  // the strokes before the terminator

// A text field: a JSON string when its bytes are UTF-8, else {"hex": "..."}.
Json TextJson(std::string_view bytes);
// A keytype's low six bits (or a stroke's characterType): its identifier, or
// its number when it has none.
Json TypeJson(int type);
// Names of the set bits of `bits`, lowest first.
Json BitNames(unsigned bits, std::span<const std::string_view> names);

// The value on one line with ", " and ": " between its parts.
std::string InlineJson(const Json& value);
// An object's members on one line without the braces.
std::string InlineMembers(const Json& object);

// The IbmKeyTable row whose codes and type a stroke carries, or -1.
int StrokeRow(const model::StringChar& stroke);

}  // namespace veltrane::persist::json_form
