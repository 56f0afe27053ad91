// Import: the JSON form checked element by element into a definition and a
// header. The first element that is not valid is refused with its path.
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include "fileaccess/read_file.h"
#include "model/key_tables.h"
#include "model/text_field.h"
#include "persist/definition_json.h"
#include "persist/definition_json_parse.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"

namespace veltrane::persist {
namespace {

using namespace json_form;
using model::KeyLayer;

struct Refusal {
  std::string path;
  std::string message;
};

[[noreturn]] void Refuse(const std::string& path, std::string message) {
  throw Refusal{path.empty() ? "." : path, std::move(message)};
}

// A value as the message quotes it, cut to a readable length.
std::string Quote(const Dom& v) {
  std::string text = v.dump(-1, ' ', false, Dom::error_handler_t::replace);
  return text.size() > 40 ? text.substr(0, 37) + "..." : text;
}

std::string Range(std::int64_t min, std::int64_t max) {
  return std::to_string(min) + ".." + std::to_string(max);
}

std::int64_t Integer(const Dom& v, const std::string& path, std::int64_t min, std::int64_t max) {
  if (!v.is_number_integer())
    Refuse(path, "expected a whole number " + Range(min, max) + ", not " + Quote(v));
  const bool huge =
      v.is_number_unsigned() &&
      v.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max());
  const std::int64_t value =
      huge ? std::numeric_limits<std::int64_t>::max() : v.get<std::int64_t>();
  if (value < min || value > max) Refuse(path, Quote(v) + " is out of range " + Range(min, max));
  return value;
}

bool Flag(const Dom& v, const std::string& path) {
  if (v.is_boolean()) return v.get<bool>();
  if (v.is_number_integer()) return Integer(v, path, 0, 1) == 1;
  Refuse(path, "expected true or false, not " + Quote(v));
}

std::string List(std::span<const std::string_view> names) {
  std::string out;
  for (std::string_view name : names)
    out += (out.empty() ? "\"" : ", \"") + std::string(name) + "\"";
  return out;
}

// A name from the list, or its position in it.
int Named(const Dom& v, const std::string& path, std::span<const std::string_view> names) {
  if (v.is_number_integer()) return static_cast<int>(Integer(v, path, 0, std::ssize(names) - 1));
  if (v.is_string()) {
    const auto found = std::find(names.begin(), names.end(), v.get<std::string>());
    if (found != names.end()) return static_cast<int>(found - names.begin());
  }
  Refuse(path, Quote(v) + " is not one of " + List(names));
}

unsigned Bits(const Dom& v, const std::string& path, std::span<const std::string_view> names) {
  if (!v.is_array()) Refuse(path, "expected a list of names from " + List(names));
  unsigned bits = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string item = path + "[" + std::to_string(i) + "]";
    if (!v[i].is_string()) Refuse(item, "expected a name from " + List(names));
    bits |= 1u << Named(v[i], item, names);
  }
  return bits;
}

std::uint8_t HexDigit(char c, const std::string& path) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  Refuse(path, "expected hexadecimal digits");
}

std::string HexBytes(const Dom& v, const std::string& path) {
  if (!v.is_string() || v.get_ref<const std::string&>().size() % 2 != 0)
    Refuse(path, "expected an even number of hexadecimal digits");
  const std::string& hex = v.get_ref<const std::string&>();
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes += static_cast<char>(HexDigit(hex[i], path) << 4 | HexDigit(hex[i + 1], path));
  return bytes;
}

void OnlyMembers(const Dom& v, const std::string& path, std::span<const std::string_view> allowed) {
  if (!v.is_object()) Refuse(path, "expected an object, not " + Quote(v));
  for (const auto& [name, value] : v.items())
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
      Refuse(path + MemberPath(name), "unknown name; expected one of " + List(allowed));
}

// A text field's bytes: a string, or {"hex": "..."} for bytes that are not UTF-8.
std::string Text(const Dom& v, const std::string& path) {
  std::string bytes;
  if (v.is_string()) {
    bytes = v.get<std::string>();
  } else if (v.is_object() && v.size() == 1 && v.contains("hex")) {
    bytes = HexBytes(v["hex"], path + ".hex");
  } else {
    Refuse(path, "expected a text, not " + Quote(v));
  }
  if (bytes.find('\0') != std::string::npos) Refuse(path, "a text cannot hold a NUL character");
  if (bytes.size() > 31)
    Refuse(path,
           "the text has " + std::to_string(bytes.size()) + " bytes; a field holds at most 31");
  return bytes;
}

// "12" but not "012", "+1" or "1e1"; nothing past six digits.
std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 6 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

void ReadSettings(const Dom& v, HeaderImage& header) {
  if (!v.is_object()) Refuse(".settings", "expected an object, not " + Quote(v));
  for (const auto& [name, value] : v.items()) {
    const std::string path = ".settings" + MemberPath(name);
    const auto settings = Settings();
    const std::string& key = name;  // clang 14 cannot capture a structured binding
    const auto s = std::find_if(settings.begin(), settings.end(),
                                [&](const Setting& x) { return x.name == key; });
    if (s == settings.end()) Refuse(path, "not a setting of a definition");
    switch (s->shown) {
      case Shown::Flag:
        SetSettingNumber(header, *s, Flag(value, path) ? 1 : 0);
        break;
      case Shown::Number:
        SetSettingNumber(header, *s, Integer(value, path, s->min, s->max));
        break;
      case Shown::Name:
        SetSettingNumber(header, *s, Named(value, path, s->names));
        break;
      case Shown::EnableBits:
        SetSettingNumber(header, *s,
                         value.is_number_integer() ? Integer(value, path, 0, 3)
                                                   : Bits(value, path, kEnableNames));
        break;
      case Shown::Text:
        header.SetText(s->offset, Text(value, path));
        break;
    }
  }
}

void ReadReserved(const Dom& v, HeaderImage& header) {
  const std::string bytes = HexBytes(v, ".headerReserved");
  if (bytes.size() != kReservedHeaderBytes.size())
    Refuse(".headerReserved",
           "expected " + std::to_string(2 * kReservedHeaderBytes.size()) + " hexadecimal digits");
  for (std::size_t i = 0; i < bytes.size(); ++i)
    header.bytes[kReservedHeaderBytes[i]] = static_cast<std::uint8_t>(bytes[i]);
}

// The IbmKeyTable row an element names by "key", "name" or both.
std::optional<int> NamedRow(const Dom& v, const std::string& path) {
  std::optional<int> row;
  if (v.contains("key"))
    row = static_cast<int>(Integer(v["key"], path + ".key", 0, model::kIbmKeyRowCount - 1));
  if (!v.contains("name")) return row;
  const Dom& name = v["name"];
  // The text names the key it gives: no search for it.
  if (row && name.is_string() &&
      model::IbmKeyTable[static_cast<std::size_t>(*row)].legend ==
          name.get_ref<const std::string&>())
    return row;
  const std::optional<int> named =
      name.is_string() ? model::FindRowByLegend(name.get_ref<const std::string&>()) : std::nullopt;
  if (!named) Refuse(path + ".name", Quote(name) + " is not a key name of the IBM key table");
  if (row && *row != *named)
    Refuse(path + ".name",
           Quote(name) + " is key " + std::to_string(*named) + ", not key " + std::to_string(*row));
  return named;
}

int KeyType(const Dom& v, const std::string& path, int max) {
  if (v.is_number_integer()) return static_cast<int>(Integer(v, path, 0, max));
  return Named(v, path, model::KeyTypeIdentifiers);
}

constexpr std::string_view kStrokeMembers[] = {"key", "name", "usb", "scan2", "type", "modifiers"};

model::StringChar ReadStroke(const Dom& v, const std::string& path) {
  OnlyMembers(v, path, kStrokeMembers);
  model::StringChar stroke;
  if (const std::optional<int> row = NamedRow(v, path)) {
    const model::IbmKeyRow& r = model::IbmKeyTable[static_cast<std::size_t>(*row)];
    stroke = {0, r.usb, r.scan2, r.type};
    if (v.contains("usb") || v.contains("scan2") || v.contains("type"))
      Refuse(path, "give either a key or its usb, scan2 and type");
  } else {
    for (const char* part : {"usb", "scan2", "type"})
      if (!v.contains(part)) Refuse(path, "a stroke names a key, or gives usb, scan2 and type");
    stroke.characterUSB = static_cast<std::uint8_t>(Integer(v["usb"], path + ".usb", 0, 255));
    stroke.characterMode2 = static_cast<std::uint8_t>(Integer(v["scan2"], path + ".scan2", 0, 255));
    stroke.characterType = static_cast<std::uint8_t>(KeyType(v["type"], path + ".type", 255));
  }
  if (v.contains("modifiers"))
    stroke.modifier =
        static_cast<std::uint8_t>(Bits(v["modifiers"], path + ".modifiers", kModifierNames));
  if (stroke.IsTerminator()) Refuse(path, "a stroke of all zero bytes would end the macro");
  return stroke;
}

void ReadMacros(const Dom& v, model::KeyboardDefinition& def) {
  if (!v.is_object()) Refuse(".macros", "expected an object, not " + Quote(v));
  if (v.size() > model::kStringCount)
    Refuse(".macros", std::to_string(v.size()) + " macros; a definition holds at most 128");
  for (const auto& [name, strokes] : v.items()) {
    const std::string path = ".macros" + MemberPath(name);
    const std::optional<int> n = Number(name);
    if (!n || *n >= model::kStringCount) Refuse(path, "not a macro number 0..127");
    if (!strokes.is_array()) Refuse(path, "expected a list of strokes, not " + Quote(strokes));
    if (strokes.size() > model::kMaxStringStrokes)
      Refuse(path, std::to_string(strokes.size()) + " strokes; a macro holds at most 79");
    model::StringRow& row = def.stringWorkBuffer[static_cast<std::size_t>(*n)];
    for (std::size_t i = 0; i < strokes.size(); ++i)
      row[i] = ReadStroke(strokes[i], path + "[" + std::to_string(i) + "]");
    row[strokes.size()] = model::StringChar{};
  }
}

constexpr std::string_view kLayerMembers[] = {"used",  "key",   "name",  "macro",    "type",
                                              "modes", "light", "codes", "charCount"};
constexpr std::string_view kCodeMembers[] = {"scan2", "scan3", "usb"};

void ReadCodes(const Dom& v, const std::string& path, KeyLayer& layer) {
  OnlyMembers(v, path, kCodeMembers);
  std::uint8_t* fields[] = {&layer.scan2code, &layer.scan3code, &layer.usbcode};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string name(kCodeMembers[i]);
    if (v.contains(name))
      *fields[i] = static_cast<std::uint8_t>(Integer(v[name], path + "." + name, 0, 255));
  }
}

KeyLayer ReadLayer(const Dom& v, const std::string& path, const model::KeyboardDefinition& def) {
  OnlyMembers(v, path, kLayerMembers);
  KeyLayer layer;
  const std::optional<int> row = NamedRow(v, path);
  const bool macro = v.contains("macro");
  if (macro && row) Refuse(path, "a layer names either a key or a macro");
  if (macro) layer.ibmkey = static_cast<int>(Integer(v["macro"], path + ".macro", 0, 127));
  if (row) layer.ibmkey = *row;
  const model::IbmKeyRow* r = row ? &model::IbmKeyTable[static_cast<std::size_t>(*row)] : nullptr;

  int type = r != nullptr ? int{r->type} : macro ? int{model::STRING_KEY} : int{model::UNUSED_KEY};
  if (v.contains("type")) type = KeyType(v["type"], path + ".type", kTypeMask);
  unsigned light = v.contains("light") ? Bits(v["light"], path + ".light", kLightNames) : 0;
  layer.keytype = static_cast<std::uint8_t>(type | light << 6);
  if (macro && layer.keytype != model::STRING_KEY)
    Refuse(path + ".type", "a layer that names a macro is a STRING_KEY without light flags");
  if (row && layer.keytype == model::STRING_KEY)
    Refuse(path + ".type", "a STRING_KEY layer names a macro (\"macro\": N), not a key");

  if (v.contains("modes"))
    layer.keymode = static_cast<std::uint8_t>(Bits(v["modes"], path + ".modes", kModeNames));
  if (r != nullptr) {
    layer.scan2code = r->scan2;
    layer.scan3code = r->scan3;
    layer.usbcode = r->usb;
  }
  if (v.contains("codes")) ReadCodes(v["codes"], path + ".codes", layer);
  if (macro)
    layer.stringcharcount =
        model::StringLength(def.stringWorkBuffer[static_cast<std::size_t>(layer.ibmkey)]);
  if (v.contains("charCount"))
    layer.stringcharcount =
        static_cast<int>(Integer(v["charCount"], path + ".charCount", 0, model::kMaxStringStrokes));
  const bool meaning = row || macro || layer.keytype != model::UNUSED_KEY;
  layer.used = v.contains("used") ? Flag(v["used"], path + ".used") : meaning;
  return layer;
}

constexpr std::string_view kKeyMembers[] = {
    "legend", "used", "enabled", "complete", "logicalAddress", "base", "fn1", "fn2", "fn1+fn2"};

void ReadKey(const Dom& v, const std::string& path, model::KeyDefinition& key,
             const model::KeyboardDefinition& def) {
  OnlyMembers(v, path, kKeyMembers);
  if (v.contains("legend")) model::SetFieldText(key.legend, Text(v["legend"], path + ".legend"));
  if (v.contains("used")) key.used = Flag(v["used"], path + ".used");
  if (v.contains("enabled")) key.enabled = Flag(v["enabled"], path + ".enabled");
  if (v.contains("logicalAddress"))
    key.logicalAddress =
        static_cast<std::uint8_t>(Integer(v["logicalAddress"], path + ".logicalAddress", 0, 255));
  for (std::size_t l = 0; l < kLayerNames.size(); ++l) {
    const std::string name(kLayerNames[l]);
    if (v.contains(name)) key.layers[l] = ReadLayer(v[name], path + MemberPath(name), def);
  }
  // Left out, it is derived as the Key Settings dialog derives it.
  model::KeyDefinition derived = key;
  model::UpdateKeyComplete(derived);
  key.complete =
      v.contains("complete") ? Flag(v["complete"], path + ".complete") : derived.complete;
}

int KeyIndexOf(const std::string& name, const std::string& path) {
  const std::size_t slash = name.find('/');
  const std::optional<int> row = Number(name.substr(0, slash));
  const std::optional<int> column =
      slash == std::string::npos ? std::nullopt : Number(name.substr(slash + 1));
  if (!row || !column)
    Refuse(path, "not a key position; positions are row/column, such as \"3/5\"");
  if (*row >= model::kRows) Refuse(path, "row " + std::to_string(*row) + " is out of range 0..15");
  if (*column >= model::kColumns)
    Refuse(path, "column " + std::to_string(*column) + " is out of range 0..7");
  return model::KeyIndex(*row, *column);
}

void ReadKeys(const Dom& v, model::KeyboardDefinition& def) {
  if (!v.is_object()) Refuse(".keys", "expected an object, not " + Quote(v));
  for (const auto& [name, key] : v.items()) {
    const std::string path = ".keys" + MemberPath(name);
    ReadKey(key, path, def.keys[static_cast<std::size_t>(KeyIndexOf(name, path))], def);
  }
}

constexpr std::string_view kTopMembers[] = {"format", "settings", "headerReserved", "keys",
                                            "macros"};

void ReadDocument(const Dom& v, model::KeyboardDefinition& def, HeaderImage& header) {
  if (!v.is_object() || !v.contains("format"))
    Refuse("", "not a definition: it has no \"format\" (this program reads \"format\": 1)");
  const Dom& format = v["format"];
  if (format != kFormat)
    Refuse(".format", "format " + Quote(format) + " is not known; this program reads format 1");
  OnlyMembers(v, "", kTopMembers);
  if (v.contains("settings")) ReadSettings(v["settings"], header);
  if (v.contains("headerReserved")) ReadReserved(v["headerReserved"], header);
  if (v.contains("macros")) ReadMacros(v["macros"], def);
  const bool counted = v.contains("settings") && v["settings"].contains("NumberOfStrings");
  if (!counted && v.contains("macros")) {
    int strings = 0;
    for (const model::StringRow& row : def.stringWorkBuffer)
      strings += model::StringLength(row) > 0;
    header.SetI32(header::NumberOfStrings, strings);
  }
  if (v.contains("keys")) ReadKeys(v["keys"], def);
}

}  // namespace

bool LooksLikeDefinitionText(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes)
    if (b != ' ' && b != '\t' && b != '\n' && b != '\r') return b == '{';
  return false;
}

DefinitionTextImport ImportDefinitionText(std::string_view text, model::KeyboardDefinition& def,
                                          HeaderImage& header) {
  DefinitionTextImport result;
  if (text.size() > kMaxDefinitionTextSize) {
    result.error = "the text is larger than " + std::to_string(kMaxDefinitionTextSize) + " bytes";
    return result;
  }
  ParsedText parsed = ParseDefinitionJson(text);
  if (!parsed.error.empty()) {
    result.error = std::move(parsed.error);
    return result;
  }
  auto read = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*read);
  read->pointDeviceParams = def.pointDeviceParams;
  HeaderImage readHeader;
  ToHeader(read->settings, readHeader);
  try {
    ReadDocument(parsed.value, *read, readHeader);
  } catch (const Refusal& refusal) {
    result.error = refusal.path + ": " + refusal.message;
    return result;
  } catch (const Dom::exception& e) {
    result.error = std::string("the text cannot be read: ") + e.what();
    return result;
  }
  read->settings = FromHeader(readHeader);
  result.droppedStrokes = model::FlattenStrings(*read);
  def = *read;
  header = readHeader;
  result.ok = true;
  return result;
}

DefinitionTextImport ImportNamedDefinitionText(const std::string& name, std::string_view text,
                                               model::KeyboardDefinition& def, HeaderImage& header,
                                               model::MessageSink& messages) {
  DefinitionTextImport imported = ImportDefinitionText(text, def, header);
  if (!imported.ok) {
    imported.error = name + ": " + imported.error;
    messages.Show(imported.error, kImportTextCaption, model::MessageIcon::Error);
  }
  return imported;
}

DefinitionTextImport ReadDefinitionTextFile(const std::string& path, model::KeyboardDefinition& def,
                                            HeaderImage& header, model::MessageSink& messages) {
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kMaxDefinitionTextSize);
  if (!file.ok()) {
    messages.Show(file.reason, kImportTextCaption, model::MessageIcon::Error);
    return {false, file.reason, 0};
  }
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  return ImportNamedDefinitionText(path, text, def, header, messages);
}

}  // namespace veltrane::persist
