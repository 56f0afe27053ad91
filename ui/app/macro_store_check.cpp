// SPDX-License-Identifier: MIT
#include "ui/app/macro_store_check.h"

#include "model/diagnostics.h"
#include "model/macro_store.h"
#include "persist/definition_json.h"

namespace veltrane::ui {
namespace {

// "row 3, column 5, fn1 and row 4, column 0, base"; "no key".
std::string KeysOf(const model::KeyboardDefinition& def, int n) {
  const std::vector<model::LayerPlace> places = model::LayersNamingString(def, n);
  if (places.empty()) return "no key";
  std::string text;
  for (const model::LayerPlace& place : places) {
    if (!text.empty()) text += " and ";
    text += model::FormatText(
        "row %d, column %d, %s", place.row, place.column,
        std::string(persist::json_form::kLayerNames[static_cast<std::size_t>(place.layer)])
            .c_str());
  }
  return text;
}

}  // namespace

std::string MacroStoreOverflowText(const model::KeyboardDefinition& def) {
  const model::StringLengths lengths = model::LengthsOfStrings(def);
  const model::MacroStoreUse use = model::MeasureMacroStore(lengths);
  if (use.fits()) return {};
  std::string text = model::FormatText(
      "The macros need %d entries; the keyboard's macro store holds %d. These would lose "
      "strokes:",
      use.entries(), model::kStoreEntries);
  const char* separator = " ";
  for (const model::StringLoss& loss : model::StringsLosingStrokes(lengths)) {
    text += model::FormatText("%smacro %d (%s): %d of its %d strokes", separator, loss.string,
                              KeysOf(def, loss.string).c_str(), loss.lost, loss.strokes);
    separator = "; ";
  }
  return text + ".";
}

Outcome CheckMacrosFit(const model::KeyboardDefinition& def) {
  std::string overflow = MacroStoreOverflowText(def);
  if (overflow.empty()) return {};
  Outcome refused{Result::MacrosDoNotFit};
  refused.macros = overflow +
                   " Nothing was written: shorten or free a macro until it fits. Export as text "
                   "keeps every stroke.";
  return refused;
}

Outcome PackStringsThatFit(AppState& app) {
  if (Outcome fits = CheckMacrosFit(app.doc.def); !fits.ok()) return fits;
  model::SyncStringCharCounts(app.doc.def);
  model::FlattenStrings(app.doc.def);
  return {};
}

void TellMacroStoreAtLoad(const model::KeyboardDefinition& def, const Services& io,
                          const std::string& path) {
  const std::string overflow = MacroStoreOverflowText(def);
  if (overflow.empty()) return;
  io.messages.Show(path + ": " + overflow +
                       " Save, Generate and Program refuse it until it fits: shorten or free a "
                       "macro. Export as text keeps every stroke.",
                   kMacroStoreCaption, model::MessageIcon::Warning);
}

}  // namespace veltrane::ui
