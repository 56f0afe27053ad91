// SPDX-License-Identifier: MIT
#include "persist/text_report.h"

#include <cstdint>
#include <span>

#include "fileaccess/replace_file.h"
#include "model/diagnostics.h"
#include "model/key_tables.h"
#include "model/settings_schema.h"

namespace veltrane::persist {
namespace {

using model::FormatText;

// Each reported setting as "NAME = %d"; an unsigned value past INT_MAX prints negative.
void AppendSettings(std::string& out, const model::Settings& s) {
  out += "[Header]\n";
  out += FormatText("Version = %d.%d\n", 5, 0);
  for (const model::SettingEntry& e : model::SettingsSchema()) {
    if (!e.reported) continue;
    out += e.name;
    out += FormatText(" = %d\n", static_cast<int>(e.get(s)));
  }
}

void AppendReportKeys(std::string& out, const model::KeyboardDefinition& def) {
  out += "\n\n[Key]\n";
  out += "# row , column = legend , used , enabled , complete , logical address\n";
  out +=
      "#\t[fn2,fn1] used , ibmkey , keymode , keytype , scan2code , scan3code , usbcode , "
      "stringcharcount\n";
  for (int row = 0; row < model::kRows; ++row) {
    for (int column = 0; column < model::kColumns; ++column) {
      const model::KeyDefinition& key =
          def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))];
      // The legend is printed up to its NUL, or whole when its field has none.
      const std::string_view legend = model::FieldText(key.legend);
      out += FormatText(" %2d , %d = %.*s , %d , %d , %d , %3d\n", row, column,
                        static_cast<int>(legend.size()), legend.data(), key.used, key.enabled,
                        key.complete, key.logicalAddress);
      for (int l = 0; l < model::kLayerCount; ++l) {
        const model::KeyLayer& layer = key.layers[static_cast<std::size_t>(l)];
        const std::string_view type = model::KeyTypeIdentifierOf(layer.keytype);
        out += FormatText("\t[%d,%d] %2d %2d %2d %35.*s %2x %2x %2x %d\n", l / 2, l % 2, layer.used,
                          layer.ibmkey, layer.keymode, static_cast<int>(type.size()), type.data(),
                          static_cast<unsigned>(layer.scan2code),
                          static_cast<unsigned>(layer.scan3code),
                          static_cast<unsigned>(layer.usbcode), layer.stringcharcount);
      }
    }
  }
}

void AppendStrings(std::string& out, const model::KeyboardDefinition& def) {
  out += "\n\n[StringIndex]";
  for (std::size_t n = 0; n < def.stringIndex.size(); ++n) {
    if (n % 8 == 0) out += '\n';
    out += FormatText(" %u", static_cast<unsigned>(def.stringIndex[n]));
  }
  out += "\n\n[StringChar]\n";
  out += "# modifier ,  characterUSB , characterMode2 , characterType\n";
  for (std::size_t k = 0; k < def.stringStore.size(); ++k) {
    const model::StringChar& entry = def.stringStore[k];
    out +=
        FormatText("%4d %3d %3d %3d %3d \n", static_cast<int>(model::kStringStoreBase + 4 * k),
                   entry.modifier, entry.characterUSB, entry.characterMode2, entry.characterType);
  }
}

}  // namespace

std::string FormatTextReport(const model::KeyboardDefinition& def) {
  std::string out;
  out.reserve(64 * 1024);
  AppendSettings(out, def.settings);
  AppendReportKeys(out, def);
  AppendStrings(out, def);
  return out;
}

fileaccess::Status WriteTextReport(const std::string& path, const model::KeyboardDefinition& def) {
  return fileaccess::ReplaceFile(path, std::string_view(FormatTextReport(def)));
}

}  // namespace veltrane::persist
