// SPDX-License-Identifier: MIT
#include "persist/definition_json.h"

#include "model/key_tables.h"
#include "model/text_field.h"
#include "persist/header_settings.h"
#include "persist/key_labels.h"

namespace veltrane::persist::json_form {
namespace {

using model::KeyDefinition;
using model::KeyLayer;
using model::StringChar;

// Well-formed UTF-8 as JSON parsers take it.
bool IsUtf8(std::string_view bytes) {
  char32_t c = 0;
  for (std::size_t i = 0, length = 0; i < bytes.size(); i += length)
    if ((length = model::Utf8CharAt(bytes, i, c)) == 0) return false;
  return true;
}

// A JSON string of UTF-8 text.
void AppendString(std::string& out, std::string_view text) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      out += "\\u00";
      out += kDigits[b >> 4];
      out += kDigits[b & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendInline(std::string& out, const Json& value);

void AppendMembers(std::string& out, const Json& object) {
  bool first = true;
  for (const auto& [name, value] : object.items()) {
    if (!first) out += ", ";
    first = false;
    AppendString(out, name);
    out += ": ";
    AppendInline(out, value);
  }
}

void AppendInline(std::string& out, const Json& value) {
  if (value.is_object()) {
    out += '{';
    AppendMembers(out, value);
    out += '}';
  } else if (value.is_array()) {
    out += '[';
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (i > 0) out += ", ";
      AppendInline(out, value[i]);
    }
    out += ']';
  } else if (value.is_string()) {
    AppendString(out, value.get_ref<const std::string&>());
  } else if (value.is_boolean()) {
    out += value.get<bool>() ? "true" : "false";
  } else if (value.is_number_unsigned()) {
    out += std::to_string(value.get<std::uint64_t>());
  } else if (value.is_number_integer()) {
    out += std::to_string(value.get<std::int64_t>());
  } else {
    out += value.dump();
  }
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

struct Codes {
  std::uint8_t scan2 = 0, scan3 = 0, usb = 0;
  friend bool operator==(const Codes&, const Codes&) = default;
};

Codes CodesOf(const model::IbmKeyRow* row) {
  return row == nullptr ? Codes{} : Codes{row->scan2, row->scan3, row->usb};
}

// A flag byte as true/false; any other value as its number.
Json FlagJson(unsigned value) {
  if (value <= 1) return value == 1;
  return value;
}

}  // namespace

Json SettingJson(const model::Settings& s, const model::SettingEntry& e) {
  if (e.IsText()) return TextJson(s.*e.text);
  const std::int64_t value = e.get(s);
  switch (e.shown) {
    case model::Shown::Flag:
      if (value == 0 || value == 1) return value == 1;
      break;
    case model::Shown::Name:
      if (value >= 0 && value < static_cast<std::int64_t>(e.names.size()))
        return e.names[static_cast<std::size_t>(value)];
      break;
    case model::Shown::EnableBits:
      if (e.InRange(value)) return BitNames(static_cast<unsigned>(value), e.names);
      break;
    default:
      break;
  }
  return value;
}

std::string ReservedHeaderHex(const HeaderImage& h) {
  std::vector<std::uint8_t> bytes;
  bool any = false;
  for (std::size_t offset : ReservedHeaderBytes()) {
    bytes.push_back(h.bytes[offset]);
    any = any || bytes.back() != 0;
  }
  return any ? Hex(bytes) : std::string();
}

std::string PositionName(int keyIndex) {
  return std::to_string(keyIndex / model::kColumns) + "/" +
         std::to_string(keyIndex % model::kColumns);
}

bool IsClearedLayer(const KeyLayer& l) {
  return l.used == 0 && l.ibmkey == 0 && l.keymode == 0 && l.keytype == model::UNUSED_KEY &&
         l.scan2code == 0 && l.scan3code == 0 && l.usbcode == 0 && l.stringcharcount == 0;
}

bool IsClearedKey(const KeyDefinition& key) {
  if (key.enabled != 1 || key.used != 1 || key.complete != 0 || key.logicalAddress != 0 ||
      model::FieldText(key.legend) != "Nothing")
    return false;
  for (const KeyLayer& layer : key.layers)
    if (!IsClearedLayer(layer)) return false;
  return true;
}

Json KeyFieldsJson(const KeyDefinition& key) {
  Json j = Json::object();
  j["legend"] = TextJson(model::FieldText(key.legend));
  j["used"] = FlagJson(key.used);
  j["enabled"] = FlagJson(key.enabled);
  j["complete"] = FlagJson(key.complete);
  if (key.logicalAddress != 0) j["logicalAddress"] = key.logicalAddress;
  return j;
}

Json LayerJson(const KeyLayer& layer, const model::KeyboardDefinition& def) {
  Json j = Json::object();
  j["used"] = FlagJson(layer.used);
  const bool macro = layer.keytype == model::STRING_KEY;
  const model::IbmKeyRow* row = macro ? nullptr : model::IbmKeyRowAt(layer.ibmkey);
  const Codes codes{layer.scan2code, layer.scan3code, layer.usbcode};
  // "No Key" is named only where its codes show that it was chosen.
  const bool named = !macro && (layer.ibmkey != 0 || codes == CodesOf(row));
  if (macro) j["macro"] = layer.ibmkey;
  if (named) {
    j["key"] = layer.ibmkey;
    if (row != nullptr) j["name"] = KeyNames()[static_cast<std::size_t>(layer.ibmkey)].label;
  }
  j["type"] = TypeJson(layer.keytype & kTypeMask);
  if (layer.keymode != 0) j["modes"] = BitNames(layer.keymode, kModeNames);
  if ((layer.keytype & kLightMask) != 0) j["light"] = BitNames(layer.keytype >> 6, kLightNames);
  if (codes != (named ? CodesOf(row) : Codes{}))
    j["codes"] = {{"scan2", codes.scan2}, {"scan3", codes.scan3}, {"usb", codes.usb}};
  int count = 0;
  if (macro && layer.ibmkey >= 0 && layer.ibmkey < model::kStringCount)
    count = model::StringLength(def.stringWorkBuffer[static_cast<std::size_t>(layer.ibmkey)]);
  if (layer.stringcharcount != count) j["charCount"] = layer.stringcharcount;
  return j;
}

int StrokeRow(const StringChar& s) {
  for (const model::IbmKeyRow& row : model::IbmKeyTable)
    if (row.usb == s.characterUSB && row.scan2 == s.characterMode2 && row.type == s.characterType)
      return row.number;
  return -1;
}

Json StrokeJson(const StringChar& stroke) {
  Json j = Json::object();
  const int row = StrokeRow(stroke);
  if (row >= 0) {
    j["key"] = row;
    j["name"] = KeyNames()[static_cast<std::size_t>(row)].label;
  } else {
    j["usb"] = stroke.characterUSB;
    j["scan2"] = stroke.characterMode2;
    j["type"] = TypeJson(stroke.characterType);
  }
  if (stroke.modifier != 0) j["modifiers"] = BitNames(stroke.modifier, kModifierNames);
  return j;
}

Json MacroJson(const model::StringRow& row) {
  Json j = Json::array();
  for (const StringChar& stroke : row) {
    if (stroke.IsTerminator()) break;
    j.push_back(StrokeJson(stroke));
  }
  return j;
}

Json TextJson(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  return {{"hex", Hex({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})}};
}

Json TypeJson(int type) {
  if (type >= 0 && type < model::kKeyTypeCount)
    return model::KeyTypeIdentifiers[static_cast<std::size_t>(type)];
  return type;
}

Json BitNames(unsigned bits, std::span<const std::string_view> names) {
  Json j = Json::array();
  for (std::size_t i = 0; i < names.size(); ++i)
    if ((bits >> i) & 1u) j.push_back(names[i]);
  return j;
}

std::string InlineMembers(const Json& object) {
  std::string out;
  AppendMembers(out, object);
  return out;
}

std::string InlineJson(const Json& value) {
  std::string out;
  AppendInline(out, value);
  return out;
}

}  // namespace veltrane::persist::json_form
