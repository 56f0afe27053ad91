#include "ui/macro_capacity.h"

#include "model/diagnostics.h"

namespace veltrane::ui {

int UsedMacroStrokes(const model::KeyboardDefinition& def) {
  int strokes = 0;
  for (const model::StringRow& row : def.stringWorkBuffer) strokes += model::StringLength(row);
  return strokes;
}

std::string MacroCapacityText(const model::KeyboardDefinition& def) {
  const int used = UsedMacroStrokes(def);
  std::string text = model::FormatText("Macro strokes: %d of %d", used, kMacroStrokeSlots);
  if (used > kMacroStrokeSlots)
    text += model::FormatText(" (%d will be dropped)", used - kMacroStrokeSlots);
  return text;
}

}  // namespace veltrane::ui
