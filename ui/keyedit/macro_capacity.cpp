#include "ui/keyedit/macro_capacity.h"

#include <algorithm>

#include "model/diagnostics.h"

namespace veltrane::ui {

int UsedMacroStrokes(const model::KeyboardDefinition& def) {
  int strokes = 0;
  for (const model::StringRow& row : def.stringWorkBuffer) strokes += model::StringLength(row);
  return strokes;
}

int UsedStoreEntries(const model::KeyboardDefinition& def) {
  return std::min(UsedMacroStrokes(def) + model::kStringCount, model::kStoreEntries);
}

int DroppedMacroStrokes(const model::KeyboardDefinition& def) {
  return model::DroppedStrokes(def);
}

std::string MacroCapacityText(const model::KeyboardDefinition& def) {
  std::string text = model::FormatText("Macro store: %d of %d entries", UsedStoreEntries(def),
                                       model::kStoreEntries);
  if (const int dropped = DroppedMacroStrokes(def); dropped == 1) {
    text += " (1 stroke will be dropped)";
  } else if (dropped > 1) {
    text += model::FormatText(" (%d strokes will be dropped)", dropped);
  }
  return text;
}

}  // namespace veltrane::ui
