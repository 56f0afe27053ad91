// SPDX-License-Identifier: MIT
// Export: the JSON form laid out for people, one line per setting, per key's
// own fields, per layer and per macro stroke.
#include "fileaccess/replace_file.h"
#include "model/key_tables.h"
#include "persist/definition_json.h"
#include "persist/definition_text.h"

namespace veltrane::persist {
namespace {

using namespace json_form;

void AppendSettings(std::string& out, const model::Settings& settings, const HeaderImage& header) {
  out += "  \"settings\": {";
  const char* separator = "\n";
  for (const model::SettingEntry& setting : model::SettingsSchema()) {
    out += separator;
    out +=
        "    \"" + std::string(setting.name) + "\": " + InlineJson(SettingJson(settings, setting));
    separator = ",\n";
  }
  out += "\n  },\n";
  const std::string reserved = ReservedHeaderHex(header);
  if (!reserved.empty()) out += "  \"headerReserved\": \"" + reserved + "\",\n";
}

void AppendKeys(std::string& out, const model::KeyboardDefinition& def) {
  out += "  \"keys\": {";
  const char* separator = "\n";
  for (int k = 0; k < model::kKeyCount; ++k) {
    const model::KeyDefinition& key = def.keys[static_cast<std::size_t>(k)];
    if (IsClearedKey(key)) continue;
    out += separator;
    out += "    \"" + PositionName(k) + "\": {\n      " + InlineMembers(KeyFieldsJson(key));
    for (std::size_t l = 0; l < key.layers.size(); ++l) {
      if (IsClearedLayer(key.layers[l])) continue;
      out += ",\n      \"" + std::string(kLayerNames[l]) + "\": ";
      out += InlineJson(LayerJson(key.layers[l], def));
    }
    out += "\n    }";
    separator = ",\n";
  }
  out += *separator == '\n' ? "},\n" : "\n  },\n";
}

// The macros that layers name: each is written, empty or not, so that the
// text defines every macro it refers to.
std::array<bool, model::kStringCount> NamedMacros(const model::KeyboardDefinition& def) {
  std::array<bool, model::kStringCount> named{};
  for (const model::KeyDefinition& key : def.keys)
    for (const model::KeyLayer& layer : key.layers)
      if (layer.keytype == model::STRING_KEY && layer.ibmkey >= 0 &&
          layer.ibmkey < model::kStringCount)
        named[static_cast<std::size_t>(layer.ibmkey)] = true;
  return named;
}

void AppendMacros(std::string& out, const model::KeyboardDefinition& def) {
  out += "  \"macros\": {";
  const char* separator = "\n";
  const std::array<bool, model::kStringCount> named = NamedMacros(def);
  for (int n = 0; n < model::kStringCount; ++n) {
    const Json macro = MacroJson(def.stringWorkBuffer[static_cast<std::size_t>(n)]);
    if (macro.empty() && !named[static_cast<std::size_t>(n)]) continue;
    out += separator;
    out += "    \"" + std::to_string(n) + "\": [";
    const char* strokeSeparator = "\n";
    for (const Json& stroke : macro) {
      out += strokeSeparator;
      out += "      " + InlineJson(stroke);
      strokeSeparator = ",\n";
    }
    out += macro.empty() ? "]" : "\n    ]";
    separator = ",\n";
  }
  out += *separator == '\n' ? "}\n" : "\n  }\n";
}

}  // namespace

std::string ExportDefinitionText(const model::KeyboardDefinition& def, const HeaderImage& header) {
  std::string out;
  out.reserve(64 * 1024);
  out += "{\n  \"format\": " + std::to_string(kFormat) + ",\n";
  AppendSettings(out, def.settings, header);
  AppendKeys(out, def);
  AppendMacros(out, def);
  out += "}\n";
  return out;
}

fileaccess::Status WriteDefinitionTextFile(const std::string& path,
                                           const model::KeyboardDefinition& def,
                                           const HeaderImage& header) {
  return fileaccess::ReplaceFile(path, std::string_view(ExportDefinitionText(def, header)));
}

}  // namespace veltrane::persist
