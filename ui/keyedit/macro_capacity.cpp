// SPDX-License-Identifier: MIT
#include "ui/keyedit/macro_capacity.h"

#include "model/diagnostics.h"
#include "ui/keyedit/string_assignment.h"

namespace veltrane::ui {
namespace {

// "1 stroke", "2 strokes".
std::string Count(int n, const char* one, const char* many) {
  return model::FormatText("%d %s", n, n == 1 ? one : many);
}

}  // namespace

model::StringLengths PendingStringLengths(const model::KeyboardDefinition& def, int keyIndex,
                                          int layerIndex, int lineCount) {
  model::StringLengths lengths = model::LengthsOfStrings(def);
  if (keyIndex < 0 || keyIndex >= model::kKeyCount || layerIndex < 0 ||
      layerIndex >= model::kLayerCount)
    return lengths;
  const model::KeyLayer& layer =
      def.keys[static_cast<std::size_t>(keyIndex)].layers[static_cast<std::size_t>(layerIndex)];
  const StringChange change = PlanStringChange(def, layer, lineCount);
  if (change.freed >= 0) lengths[static_cast<std::size_t>(change.freed)] = 0;
  if (change.recorded >= 0) lengths[static_cast<std::size_t>(change.recorded)] = change.strokes;
  return lengths;
}

std::string MacroCapacityText(const model::MacroStoreUse& use) {
  std::string text =
      model::FormatText("Macro store: %d of %d entries", use.entries(), model::kStoreEntries);
  if (!use.fits()) text += model::FormatText(" (%d over)", use.entries() - model::kStoreEntries);
  return text;
}

std::string MacroCapacityTooltip(const model::MacroStoreUse& use) {
  const int last = use.lastString;
  if (last < 0) {
    return model::FormatText(
        "No macro holds strokes: the %d empty macros share end marks and "
        "take no entry.",
        model::kStringCount);
  }
  std::string text = "The keyboard's macro store, with this list as it stands:\n";
  text += Count(use.strokes, "stroke", "strokes") + "\n";
  if (last == 0) {
    text += "+ 1 end mark, for macro 0, the only one with strokes";
  } else {
    text += model::FormatText(
        "+ %d end marks, one for each of macros 0 to %d (the last with "
        "strokes)",
        use.endMarks, last);
  }
  if (use.emptyEndMarks > 0)
    text += model::FormatText(
        " (%s)",
        Count(use.emptyEndMarks, "ends an empty macro", "of them end empty macros").c_str());
  text += model::FormatText("\n= %d of %d entries", use.entries(), model::kStoreEntries);
  if (const int after = model::kStringCount - 1 - last; after == 1) {
    text += "\nThe empty macro after it takes no entry.";
  } else if (after > 1) {
    text += model::FormatText(
        "\nThe %d empty macros after it share an end mark and take no "
        "entry.",
        after);
  }
  if (!use.fits()) {
    text += model::FormatText(
        "\n%d entries over: OK refuses a list that makes it worse, and "
        "Save, Generate and Program refuse until it fits.",
        use.entries() - model::kStoreEntries);
  }
  return text;
}

}  // namespace veltrane::ui
