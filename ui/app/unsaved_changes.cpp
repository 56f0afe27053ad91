// SPDX-License-Identifier: MIT
#include "ui/app/unsaved_changes.h"

#include <tuple>

#include "ui/app/app_state.h"
#include "ui/app/file_commands.h"

namespace veltrane::ui {
namespace {

bool SameSettings(model::Settings a, const model::Settings& b) {
  a.ConfigFileName = b.ConfigFileName;
  return a == b;
}

bool SameKey(const model::KeyDefinition& a, const model::KeyDefinition& b) {
  const auto layer = [](const model::KeyLayer& l) {
    return std::tie(l.used, l.ibmkey, l.keymode, l.keytype, l.scan2code, l.scan3code, l.usbcode,
                    l.stringcharcount);
  };
  for (std::size_t j = 0; j < a.layers.size(); ++j)
    if (layer(a.layers[j]) != layer(b.layers[j])) return false;
  return std::tie(a.enabled, a.used, a.complete, a.legend) ==
         std::tie(b.enabled, b.used, b.complete, b.legend);
}

// The strokes up to the terminator; what lies behind it is left over from earlier strings.
bool SameString(const model::StringRow& a, const model::StringRow& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!(a[i] == b[i])) return false;
    if (a[i].IsTerminator()) return true;
  }
  return true;
}

}  // namespace

bool SameDefinition(const model::KeyboardDefinition& kept, const model::KeyboardDefinition& def) {
  if (!SameSettings(kept.settings, def.settings)) return false;
  for (std::size_t i = 0; i < def.keys.size(); ++i)
    if (!SameKey(kept.keys[i], def.keys[i])) return false;
  for (std::size_t s = 0; s < def.stringWorkBuffer.size(); ++s)
    if (!SameString(kept.stringWorkBuffer[s], def.stringWorkBuffer[s])) return false;
  return true;
}

void MarkKept(AppState& app) {
  app.kept = app.doc.def;
}

bool HasUnsavedChanges(const AppState& app) {
  return !SameDefinition(app.kept, app.doc.def);
}

std::string SaveChangesQuestion(const AppState& app) {
  const std::string& file =
      app.doc.documentFile.empty() ? app.doc.commandLineText : app.doc.documentFile;
  std::string question = file.empty() ? "Save changes to the new definition?"
                                      : "Save changes to " + FileNameOf(file) + "?";
  // A save writes a configuration file, which has no place for them.
  if (app.kept.settings.PointDeviceParams != app.doc.def.settings.PointDeviceParams)
    question += "\n\nPointing-device values are kept only in the keyboard and in text exports.";
  return question;
}

}  // namespace veltrane::ui
