// SPDX-License-Identifier: MIT
// The main window's controls as data: every child control with its kind,
// text, place and id, in the order the window creates them, and the matrix
// of key buttons beside them.
#pragma once

#include <span>
#include <string_view>

#include "model/definition.h"
#include "ui/dialogs/controls.h"
#include "ui/main_window/main_window_model.h"

namespace veltrane::ui {

// Every child control of the main window other than the matrix, in table order.
std::span<const Control> ControlTable();

// The control of the table with this id, or nullptr.
const Control* FindControl(int id);

// The matrix button of a position: picture only, 16 x 16, 20 pixels apart.
constexpr Control KeyButtonAt(int row, int column) {
  return {ControlKind::PictureButton,
          id::kFirstKeyButton + model::KeyIndex(row, column),
          "",
          {column * 20 + 40, row * 20 + 40, 16, 16}};
}

// Index row * 8 + column of a key button id, or -1 for any other id.
constexpr int KeyButtonIndex(int id) {
  return id >= id::kFirstKeyButton && id <= id::kLastKeyButton ? id - id::kFirstKeyButton : -1;
}

// Which control of the table mirrors which field of the view model.
template <typename State>
struct ControlBinding {
  int id;
  State MainWindowModel::*field;
};

inline constexpr ControlBinding<CheckBox> kCheckBoxBindings[] = {
    {id::kEnableMatrix, &MainWindowModel::matrix},
    {id::kGlobalRepeat, &MainWindowModel::globalRepeat},
    {id::kAnyKeyRelease, &MainWindowModel::anyKeyRelease},
    {id::kPrefixMakeBreak, &MainWindowModel::prefixMakeBreak},
    {id::kEnableKeyboard, &MainWindowModel::enableKeyboard},
    {id::kEnablePointing, &MainWindowModel::enablePointing},
    {id::kActivateBeep, &MainWindowModel::beep},
    {id::kWriteBin, &MainWindowModel::writeBin},
    {id::kWriteTxt, &MainWindowModel::writeTxt},
    {id::kWriteDat, &MainWindowModel::writeDat},
    {id::kWriteSavedTxt, &MainWindowModel::writeSavedTxt},
    {id::kCopyEepromBin, &MainWindowModel::copyEepromBin},
    {id::kChangedWordsOnly, &MainWindowModel::changedWords},
};

inline constexpr ControlBinding<EditField> kEditFieldBindings[] = {
    {id::kDebounce, &MainWindowModel::debounce}, {id::kFileName, &MainWindowModel::fileName},
    {id::kVersion, &MainWindowModel::version},   {id::kSerial, &MainWindowModel::serial},
    {id::kGain, &MainWindowModel::gain},         {id::kBeepLength, &MainWindowModel::beepLength},
};

inline constexpr ControlBinding<ComboBox> kComboBoxBindings[] = {
    {id::kRepeatDelay, &MainWindowModel::repeatDelay},
    {id::kRepeatRate, &MainWindowModel::repeatRate},
    {id::kMaxScanRow, &MainWindowModel::maxScanRow},
    {id::kPointDevice, &MainWindowModel::pointDevice},
};

}  // namespace veltrane::ui
