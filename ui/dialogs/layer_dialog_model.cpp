// SPDX-License-Identifier: MIT
#include "ui/dialogs/layer_dialog_model.h"

#include <array>

#include "ui/app/key_edits.h"

namespace veltrane::ui {
namespace {

constexpr int kWidth = DialogUnitsX(220);
constexpr int kHeight = DialogUnitsY(80);

constexpr std::array<Control, 7> kControls = {{
    {ControlKind::DefaultButton, id::kOk, "OK", DialogUnitsRect(104, 58, 50, 14)},
    {ControlKind::PushButton, id::kCancel, "Cancel", DialogUnitsRect(160, 58, 50, 14)},
    {ControlKind::Static, id::kLayerQuestion, "", DialogUnitsRect(10, 40, 200, 10)},
    {ControlKind::Static, id::kNone, "Layer:", DialogUnitsRect(10, 12, 30, 8)},
    {ControlKind::DropDownList, id::kLayerFrom, "", {DialogUnitsX(42), DialogUnitsY(10), 90, 120}},
    {ControlKind::Static, id::kNone, "to:", DialogUnitsRect(114, 12, 30, 8)},
    {ControlKind::DropDownList, id::kLayerTo, "", {DialogUnitsX(146), DialogUnitsY(10), 90, 120}},
}};

// Copy and Swap name both lists; Clear only the first.
constexpr std::array<Control, 7> WithLabels(std::string_view from, std::string_view to) {
  std::array<Control, 7> controls = kControls;
  controls[3].text = from;
  controls[5].text = to;
  return controls;
}

constexpr std::array<Control, 7> kCopyControls = WithLabels("Copy:", "to:");
constexpr std::array<Control, 7> kSwapControls = WithLabels("Swap:", "with:");
constexpr std::array<Control, 7> kClearControls = WithLabels("Clear:", "");

constexpr DialogLayout kCopyLayout = {"Copy layer", kWidth, kHeight, kCopyControls};
constexpr DialogLayout kSwapLayout = {"Swap layers", kWidth, kHeight, kSwapControls};
constexpr DialogLayout kClearLayout = {"Clear layer", kWidth, kHeight,
                                       std::span<const Control>(kClearControls).first(5)};

void Ask(LayerDialogModel& dialog, const model::KeyboardDefinition& def) {
  const LayerChoice chosen = ChosenLayers(dialog);
  dialog.question = LayerEditQuestion(def, dialog.edit, chosen.from, chosen.to);
  dialog.okEnabled = model::CountLayerChanges(def, dialog.edit, chosen.from, chosen.to) > 0;
}

}  // namespace

const DialogLayout& LayerDialogLayout(model::LayerEdit edit) {
  switch (edit) {
    case model::LayerEdit::Swap:
      return kSwapLayout;
    case model::LayerEdit::Clear:
      return kClearLayout;
    case model::LayerEdit::Copy:
      break;
  }
  return kCopyLayout;
}

LayerDialogModel OpenLayerDialog(model::LayerEdit edit, const model::KeyboardDefinition& def) {
  LayerDialogModel dialog;
  dialog.edit = edit;
  dialog.from.FillFrom(model::kLayerTitles);
  dialog.to.FillFrom(model::kLayerTitles);
  const bool clear = edit == model::LayerEdit::Clear;
  dialog.from.Select(clear ? 1 : 0);
  dialog.to.Select(1);
  dialog.to.enabled = !clear;
  Ask(dialog, def);
  return dialog;
}

void OnLayerPicked(LayerDialogModel& dialog, const model::KeyboardDefinition& def, int listId,
                   int index) {
  ComboBox& list = listId == id::kLayerTo ? dialog.to : dialog.from;
  if (index < 0 || index >= static_cast<int>(list.items.size())) return;
  list.Select(index);
  Ask(dialog, def);
}

LayerChoice ChosenLayers(const LayerDialogModel& dialog) {
  return {dialog.from.selection, dialog.to.selection};
}

}  // namespace veltrane::ui
