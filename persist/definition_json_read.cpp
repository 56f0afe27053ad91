// SPDX-License-Identifier: MIT
// Import: the JSON form checked element by element into a definition and a
// header. The first element that is not valid is refused with its path.
#include <algorithm>
#include <memory>
#include <optional>
#include <tuple>

#include "fileaccess/read_file.h"
#include "model/key_tables.h"
#include "model/text_field.h"
#include "persist/definition_json.h"
#include "persist/definition_json_parse.h"
#include "persist/definition_json_values.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"

namespace veltrane::persist {
namespace {

using namespace json_form;
using model::KeyLayer;

// A text field holds as many bytes as its field in a configuration file:
// the whole 32, without an end mark, for a text that fills it.
constexpr std::size_t kTextFieldBytes = header::TextFieldSize;
static_assert(kTextFieldBytes == std::tuple_size_v<decltype(model::KeyDefinition::legend)>);

// The macros a text defines, by number: a layer may name only those.
using DefinedMacros = std::array<bool, model::kStringCount>;

// Each setting by its name, checked against its range in the schema.
void ReadSettings(const Dom& v, model::Settings& settings) {
  if (!v.is_object()) Refuse(".settings", "expected an object, not " + Quote(v));
  for (const auto& [name, value] : v.items()) {
    const std::string path = ".settings" + MemberPath(name);
    const model::SettingEntry* s = model::FindSetting(name);
    if (s == nullptr) Refuse(path, "not a setting of a definition");
    switch (s->shown) {
      case model::Shown::Flag:
        s->set(settings, Flag(value, path) ? 1 : 0);
        break;
      case model::Shown::Number:
        s->set(settings, Integer(value, path, s->min, s->max));
        break;
      case model::Shown::Name:
        s->set(settings, Named(value, path, s->names));
        break;
      case model::Shown::EnableBits:
        s->set(settings, value.is_number_integer() ? Integer(value, path, s->min, s->max)
                                                   : Bits(value, path, s->names));
        break;
      case model::Shown::Text:
        settings.*s->text = SettingText(value, path, *s);
        break;
    }
  }
}

void ReadReserved(const Dom& v, HeaderImage& header) {
  const std::string bytes = HexBytes(v, ".headerReserved");
  const std::vector<std::size_t>& reserved = ReservedHeaderBytes();
  if (bytes.size() != reserved.size())
    Refuse(".headerReserved",
           "expected " + std::to_string(2 * reserved.size()) + " hexadecimal digits");
  for (std::size_t i = 0; i < bytes.size(); ++i)
    header.bytes[reserved[i]] = static_cast<std::uint8_t>(bytes[i]);
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

void ReadMacros(const Dom& v, model::KeyboardDefinition& def, DefinedMacros& defined) {
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
    defined[static_cast<std::size_t>(*n)] = true;
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

KeyLayer ReadLayer(const Dom& v, const std::string& path, const model::KeyboardDefinition& def,
                   const DefinedMacros& defined) {
  OnlyMembers(v, path, kLayerMembers);
  KeyLayer layer;
  const std::optional<int> row = NamedRow(v, path);
  const bool macro = v.contains("macro");
  if (macro && row) Refuse(path, "a layer names either a key or a macro");
  if (macro) {
    layer.ibmkey = static_cast<int>(Integer(v["macro"], path + ".macro", 0, 127));
    if (!defined[static_cast<std::size_t>(layer.ibmkey)])
      Refuse(path + ".macro", "macro " + std::to_string(layer.ibmkey) + " is not defined");
  }
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
             const model::KeyboardDefinition& def, const DefinedMacros& defined) {
  OnlyMembers(v, path, kKeyMembers);
  if (v.contains("legend")) {
    const std::string legend = Text(v["legend"], path + ".legend", kTextFieldBytes);
    key.legend.fill('\0');
    std::copy(legend.begin(), legend.end(), key.legend.begin());
  }
  if (v.contains("used")) key.used = Flag(v["used"], path + ".used");
  if (v.contains("enabled")) key.enabled = Flag(v["enabled"], path + ".enabled");
  if (v.contains("logicalAddress"))
    key.logicalAddress =
        static_cast<std::uint8_t>(Integer(v["logicalAddress"], path + ".logicalAddress", 0, 255));
  for (std::size_t l = 0; l < kLayerNames.size(); ++l) {
    const std::string name(kLayerNames[l]);
    if (v.contains(name)) key.layers[l] = ReadLayer(v[name], path + MemberPath(name), def, defined);
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

void ReadKeys(const Dom& v, model::KeyboardDefinition& def, const DefinedMacros& defined) {
  if (!v.is_object()) Refuse(".keys", "expected an object, not " + Quote(v));
  for (const auto& [name, key] : v.items()) {
    const std::string path = ".keys" + MemberPath(name);
    ReadKey(key, path, def.keys[static_cast<std::size_t>(KeyIndexOf(name, path))], def, defined);
  }
}

constexpr std::string_view kTopMembers[] = {"format", "settings", "headerReserved", "keys",
                                            "macros"};

void ReadDocument(const Dom& v, model::KeyboardDefinition& def, HeaderImage& header) {
  if (!v.is_object() || !v.contains("format"))
    Refuse("", "not a definition: it has no \"format\" (this program reads \"format\": 2)");
  const Dom& format = v["format"];
  if (format != kFormat && format != kFirstFormat)
    Refuse(".format",
           "format " + Quote(format) + " is not known; this program reads formats 1 and 2");
  OnlyMembers(v, "", kTopMembers);
  if (v.contains("settings")) ReadSettings(v["settings"], def.settings);
  if (v.contains("headerReserved")) ReadReserved(v["headerReserved"], header);
  DefinedMacros defined{};
  if (v.contains("macros")) ReadMacros(v["macros"], def, defined);
  const bool counted = v.contains("settings") && v["settings"].contains("NumberOfStrings");
  if (!counted && v.contains("macros")) {
    int strings = 0;
    for (const model::StringRow& row : def.stringWorkBuffer)
      strings += model::StringLength(row) > 0;
    def.settings.NumberOfStrings = strings;
  }
  if (v.contains("keys")) ReadKeys(v["keys"], def, defined);
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
  HeaderImage readHeader;
  try {
    ReadDocument(parsed.value, *read, readHeader);
  } catch (const Refusal& refusal) {
    result.error = CutPath(refusal.path) + ": " + refusal.message;
    return result;
  } catch (const Dom::exception& e) {
    // Without the library's tag: "[json.exception.type_error.302] ".
    const std::string_view what = e.what();
    const std::size_t tag = what.starts_with("[") ? what.find("] ") : std::string_view::npos;
    result.error = "the text cannot be read: " +
                   std::string(tag == std::string_view::npos ? what : what.substr(tag + 2));
    return result;
  }
  // A text of 32 bytes fills its field whole, as a file's may.
  for (const model::SettingEntry& e : model::SettingsSchema())
    if (e.headerForm == model::HeaderForm::Text)
      readHeader.SetWholeText(e.headerOffset, read->settings.*e.text);
  ToHeader(read->settings, readHeader);
  result.droppedStrokes = model::FlattenStrings(*read);
  def = *read;
  header = readHeader;
  result.ok = true;
  return result;
}

DefinitionTextImport ImportNamedDefinitionText(const std::string& name, std::string_view text,
                                               model::KeyboardDefinition& def,
                                               HeaderImage& header) {
  DefinitionTextImport imported = ImportDefinitionText(text, def, header);
  if (!imported.ok) imported.error = name + ": " + imported.error;
  return imported;
}

DefinitionTextImport ReadDefinitionTextFile(const std::string& path, model::KeyboardDefinition& def,
                                            HeaderImage& header) {
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kMaxDefinitionTextSize);
  if (!file.ok()) return {false, file.reason, 0};
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  return ImportNamedDefinitionText(path, text, def, header);
}

}  // namespace veltrane::persist
