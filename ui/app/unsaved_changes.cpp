#include "ui/app/unsaved_changes.h"

#include <tuple>

#include "ui/app/app_state.h"

namespace veltrane::ui {
namespace {

bool SameSettings(const model::GlobalSettings& a, const model::GlobalSettings& b) {
  const auto fields = [](const model::GlobalSettings& s) {
    return std::tie(s.GlobalRepeatDisable, s.AnyKeyRelease, s.Led1, s.Led2, s.Led3, s.Led4,
                    s.PrefixMakeBreak, s.EnableBits, s.NumberOfStrings, s.BeepLength,
                    s.ScrollWheelGain);
  };
  return fields(a) == fields(b);
}

bool SameShown(const model::ShownSettings& a, const model::ShownSettings& b) {
  const auto fields = [](const model::ShownSettings& s) {
    return std::tie(s.DefRepDelay, s.DefRepRate, s.DebounceTime, s.MaxScanRow, s.PointDevice,
                    s.SerialNumber);
  };
  return fields(a) == fields(b);
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

DefinitionSnapshot TakeSnapshot(const AppState& app) {
  return DefinitionSnapshot{app.doc.def, ReadShownSettings(app.window)};
}

bool SameDefinition(const DefinitionSnapshot& kept, const model::KeyboardDefinition& def,
                    const model::ShownSettings& shown) {
  if (!SameSettings(kept.def.settings, def.settings) || !SameShown(kept.shown, shown)) return false;
  for (std::size_t i = 0; i < def.keys.size(); ++i)
    if (!SameKey(kept.def.keys[i], def.keys[i])) return false;
  for (std::size_t s = 0; s < def.stringWorkBuffer.size(); ++s)
    if (!SameString(kept.def.stringWorkBuffer[s], def.stringWorkBuffer[s])) return false;
  return true;
}

void MarkKept(AppState& app) {
  app.kept = TakeSnapshot(app);
}

bool HasUnsavedChanges(const AppState& app) {
  return !SameDefinition(app.kept, app.doc.def, ReadShownSettings(app.window));
}

}  // namespace veltrane::ui
