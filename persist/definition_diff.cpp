// SPDX-License-Identifier: MIT
#include "persist/definition_diff.h"

#include "persist/definition_json.h"
#include "persist/header_settings.h"
#include "persist/key_labels.h"

namespace veltrane::persist {
namespace {

using namespace json_form;

std::string Hex2(unsigned value) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

std::string Joined(const Json& names) {
  std::string out;
  for (const Json& name : names) out += (out.empty() ? "" : "+") + name.get<std::string>();
  return out;
}

std::string KeyText(const Json& number) {
  const int row = number.get<int>();
  return "IBM " + std::to_string(row) + " " + Json(KeyLabel(row)).dump();
}

// A layer in one line: everything its text form holds.
std::string LayerSummary(const Json& layer) {
  if (layer.is_null()) return "none";
  std::string out;
  const Json& used = layer["used"];
  if (used.is_boolean() && !used.get<bool>()) out += "unused ";
  if (used.is_number()) out += "used " + used.dump() + " ";
  if (layer.contains("macro")) out += "macro " + layer["macro"].dump() + " ";
  if (layer.contains("key")) out += KeyText(layer["key"]) + " ";
  const Json& type = layer["type"];
  out += type.is_string() ? type.get<std::string>() : "type " + type.dump();
  if (layer.contains("modes")) out += " " + Joined(layer["modes"]);
  if (layer.contains("light")) out += " light " + Joined(layer["light"]);
  if (layer.contains("codes")) {
    const Json& c = layer["codes"];
    out += " codes " + Hex2(c["scan2"].get<unsigned>()) + "/" + Hex2(c["scan3"].get<unsigned>()) +
           "/" + Hex2(c["usb"].get<unsigned>());
  }
  if (layer.contains("charCount")) out += " charCount " + layer["charCount"].dump();
  return out;
}

std::string StrokeSummary(const Json& stroke) {
  std::string out = stroke.contains("modifiers") ? Joined(stroke["modifiers"]) + "+" : "";
  if (stroke.contains("key")) return out + Json(KeyLabel(stroke["key"].get<int>())).dump();
  return out + "usb " + stroke["usb"].dump() + " scan2 " + stroke["scan2"].dump() + " " +
         InlineJson(stroke["type"]);
}

std::string MacroLine(int n, const Json& a, const Json& b) {
  std::string line = "macro " + std::to_string(n) + ": ";
  if (a.size() != b.size())
    return line + std::to_string(a.size()) + " strokes -> " + std::to_string(b.size()) + " strokes";
  std::size_t first = a.size(), count = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    if (count++ == 0) first = i;
  }
  line += "stroke " + std::to_string(first + 1) + " of " + std::to_string(a.size()) + ": " +
          StrokeSummary(a[first]) + " -> " + StrokeSummary(b[first]);
  if (count > 1) line += " (and " + std::to_string(count - 1) + " more)";
  return line;
}

class Differences {
 public:
  void Add(Json where, const Json& from, const Json& to, std::string line) {
    where["from"] = from;
    where["to"] = to;
    where["line"] = line;
    list_.push_back({std::move(line), InlineJson(where)});
  }
  std::vector<DefinitionDifference> Take() { return std::move(list_); }

 private:
  std::vector<DefinitionDifference> list_;
};

void AddSettings(const model::Settings& a, const model::Settings& b, Differences& out) {
  for (const model::SettingEntry& setting : model::SettingsSchema()) {
    const Json from = SettingJson(a, setting);
    const Json to = SettingJson(b, setting);
    if (from != to)
      out.Add({{"setting", setting.name}}, from, to,
              std::string(setting.name) + ": " + InlineJson(from) + " -> " + InlineJson(to));
  }
}

void AddReserved(const HeaderImage& a, const HeaderImage& b, Differences& out) {
  const std::string zeros(2 * ReservedHeaderBytes().size(), '0');
  std::string from = ReservedHeaderHex(a), to = ReservedHeaderHex(b);
  if (from != to) {
    if (from.empty()) from = zeros;
    if (to.empty()) to = zeros;
    out.Add({{"setting", "headerReserved"}}, from, to, "headerReserved: " + from + " -> " + to);
  }
}

Json FullKeyFields(const model::KeyDefinition& key) {
  Json fields = KeyFieldsJson(key);
  if (!fields.contains("logicalAddress")) fields["logicalAddress"] = 0;
  return fields;
}

void DiffKeys(const model::KeyboardDefinition& a, const model::KeyboardDefinition& b,
              Differences& out) {
  for (int k = 0; k < model::kKeyCount; ++k) {
    const model::KeyDefinition& ka = a.keys[static_cast<std::size_t>(k)];
    const model::KeyDefinition& kb = b.keys[static_cast<std::size_t>(k)];
    const std::string position = PositionName(k);
    const Json fa = FullKeyFields(ka), fb = FullKeyFields(kb);
    if (fa != fb) {
      std::string changes;
      for (const auto& [name, value] : fa.items()) {
        if (value == fb[name]) continue;
        changes += (changes.empty() ? "" : ", ") + name + " " + InlineJson(value) + " -> " +
                   InlineJson(fb[name]);
      }
      out.Add({{"key", position}}, fa, fb, position + ": " + changes);
    }
    for (std::size_t l = 0; l < kLayerNames.size(); ++l) {
      const Json la = IsClearedLayer(ka.layers[l]) ? Json() : LayerJson(ka.layers[l], a);
      const Json lb = IsClearedLayer(kb.layers[l]) ? Json() : LayerJson(kb.layers[l], b);
      if (la == lb) continue;
      const std::string where = position + " " + std::string(kLayerNames[l]);
      out.Add({{"key", position}, {"layer", kLayerNames[l]}}, la, lb,
              where + ": " + LayerSummary(la) + " -> " + LayerSummary(lb));
    }
  }
}

void DiffMacros(const model::KeyboardDefinition& a, const model::KeyboardDefinition& b,
                Differences& out) {
  for (int n = 0; n < model::kStringCount; ++n) {
    const Json ma = MacroJson(a.stringWorkBuffer[static_cast<std::size_t>(n)]);
    const Json mb = MacroJson(b.stringWorkBuffer[static_cast<std::size_t>(n)]);
    if (ma != mb) out.Add({{"macro", n}}, ma, mb, MacroLine(n, ma, mb));
  }
}

}  // namespace

std::vector<DefinitionDifference> DiffDefinitions(const model::KeyboardDefinition& a,
                                                  const HeaderImage& aHeader,
                                                  const model::KeyboardDefinition& b,
                                                  const HeaderImage& bHeader) {
  Differences out;
  AddSettings(a.settings, b.settings, out);
  AddReserved(aHeader, bHeader, out);
  DiffKeys(a, b, out);
  DiffMacros(a, b, out);
  return out.Take();
}

std::vector<DefinitionDifference> DiffSettings(const model::Settings& a, const model::Settings& b) {
  Differences out;
  AddSettings(a, b, out);
  return out.Take();
}

std::string FormatDifferencesJson(const std::vector<DefinitionDifference>& differences) {
  std::string out =
      "{\"equal\": " + std::string(differences.empty() ? "true" : "false") + ", \"differences\": [";
  for (std::size_t i = 0; i < differences.size(); ++i)
    out += (i == 0 ? "\n  " : ",\n  ") + differences[i].json;
  return out + (differences.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace veltrane::persist
