// SPDX-License-Identifier: MIT
#include "ui/app/key_edits.h"

#include <algorithm>
#include <cctype>

#include "model/diagnostics.h"
#include "model/macro_store.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::ui {
namespace {

std::string_view Title(int layer) {
  return layer >= 0 && layer < model::kLayerCount
             ? model::kLayerTitles[static_cast<std::size_t>(layer)]
             : std::string_view("?");
}

Outcome Refused(std::string text) {
  Outcome refused{Result::MacrosDoNotFit};
  refused.macros = std::move(text);
  return refused;
}

// Runs `edit` on a trial copy; the definition takes it when it is done and
// its strings fit (or need no more of the store than before).
template <typename Edit>
Outcome Checked(model::KeyboardDefinition& def, Edit edit) {
  model::KeyboardDefinition trial = def;
  switch (edit(trial)) {
    case model::EditResult::Unchanged:
      return {Result::Cancelled};
    case model::EditResult::NoFreeString:
      return Refused(model::FormatText("All %d macro numbers are taken, so the copy cannot have "
                                       "macros of its own. Nothing was changed: free a macro first.",
                                       model::kStringCount));
    case model::EditResult::Done:
      break;
  }
  const model::MacroStoreUse after = model::MeasureMacroStore(trial);
  if (!after.fits() && after.entries() > model::MeasureMacroStore(def).entries())
    return Refused(MacroStoreOverflowText(trial) +
                   " Nothing was changed: shorten or free a macro first.");
  def = std::move(trial);
  return {};
}

}  // namespace

Outcome MoveKeyChecked(model::KeyboardDefinition& def, int from, int to, model::KeyMove how) {
  return Checked(def,
                 [&](model::KeyboardDefinition& d) { return model::MoveKey(d, from, to, how); });
}

Outcome EditLayersChecked(model::KeyboardDefinition& def, model::LayerEdit edit, int from, int to) {
  return Checked(
      def, [&](model::KeyboardDefinition& d) { return model::EditLayers(d, edit, from, to); });
}

std::string KeyMoveName(int from, int to, model::KeyMove how) {
  const std::string a = model::PositionName(from);
  const std::string b = model::PositionName(to);
  switch (how) {
    case model::KeyMove::Move:
      return "Move " + a + " to " + b;
    case model::KeyMove::Copy:
      return "Copy " + a + " to " + b;
    case model::KeyMove::Swap:
      return "Swap " + a + " and " + b;
  }
  return {};
}

std::string LayerEditName(model::LayerEdit edit, int from, int to) {
  const std::string a(Title(from));
  const std::string b(Title(to));
  switch (edit) {
    case model::LayerEdit::Copy:
      return "Copy " + a + " to " + b;
    case model::LayerEdit::Swap:
      return "Swap " + a + " and " + b;
    case model::LayerEdit::Clear:
      return "Clear " + a;
  }
  return {};
}

std::string LayerEditQuestion(const model::KeyboardDefinition& def, model::LayerEdit edit, int from,
                              int to) {
  const int keys = model::CountLayerChanges(def, edit, from, to);
  const std::string name = LayerEditName(edit, from, to);
  if (keys == 0) return name + ": no key changes";
  return model::FormatText("%s: %d %s", name.c_str(), keys,
                           keys == 1 ? "key changes" : "keys change");
}

std::optional<int> LayerByName(std::string_view name) {
  for (std::size_t l = 0; l < model::kLayerTitles.size(); ++l) {
    const std::string_view title = model::kLayerTitles[l];
    if (std::equal(title.begin(), title.end(), name.begin(), name.end(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        }))
      return static_cast<int>(l);
  }
  return std::nullopt;
}

}  // namespace veltrane::ui
