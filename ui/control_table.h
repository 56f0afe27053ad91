// The main window's controls as data: every child control with its kind,
// text, place and id, in the order the window creates them, and the matrix
// of key buttons beside them.
#pragma once

#include <span>
#include <string_view>

#include "ui/control_ids.h"
#include "ui/main_window_model.h"

namespace veltrane::ui {

enum class MainControlKind { PushButton, CheckBox, Label, ComboBox, Edit, LedButton, ListBox };

struct MainControl {
  MainControlKind kind;
  std::string_view text;
  int x, y, width, height;
  int id;  // 0: a control no command refers to
  bool createdDisabled = false;
  bool digitsOnly = false;  // edit fields that take only decimal digits
};

// Every child control of the main window other than the matrix, in table order.
std::span<const MainControl> ControlTable();

// The control of the table with this id, or nullptr.
const MainControl* FindControl(int id);

// The key matrix: 16 rows (sense lines) by 8 columns (drive lines).
inline constexpr int kMatrixRows = 16;
inline constexpr int kMatrixColumns = 8;
inline constexpr int kKeyButtonFirstId = id::kFirstKeyButton;
inline constexpr int kKeyButtonSize = 16;

struct KeyButtonPlace {
  int id, x, y, width, height;
};

constexpr KeyButtonPlace KeyButtonAt(int row, int column) {
  return {kKeyButtonFirstId + row * kMatrixColumns + column, column * 20 + 40, row * 20 + 40,
          kKeyButtonSize, kKeyButtonSize};
}

// Index row * 8 + column of a key button id, or -1 for any other id.
constexpr int KeyButtonIndex(int id) {
  const int index = id - kKeyButtonFirstId;
  return index >= 0 && index < kMatrixRows * kMatrixColumns ? index : -1;
}

// The LED buttons' ids, LED 1..4.
inline constexpr int kLedButtonIds[4] = {id::kLed1, id::kLed2, id::kLed3, id::kLed4};

// Which control of the table mirrors which field of the view model.
template <typename Control>
struct ControlBinding {
  int id;
  Control MainWindowModel::*field;
};

inline constexpr ControlBinding<CheckBox> kCheckBoxBindings[] = {
    {35079, &MainWindowModel::matrix},         {35080, &MainWindowModel::globalRepeat},
    {35081, &MainWindowModel::anyKeyRelease},  {35091, &MainWindowModel::prefixMakeBreak},
    {35101, &MainWindowModel::enableKeyboard}, {35102, &MainWindowModel::enablePointing},
    {35148, &MainWindowModel::beep},           {35194, &MainWindowModel::writeBin},
    {35195, &MainWindowModel::writeTxt},       {35198, &MainWindowModel::writeDat},
    {35197, &MainWindowModel::writeSavedTxt},  {35196, &MainWindowModel::copyEepromBin},
    {35199, &MainWindowModel::changedWords},
};

inline constexpr ControlBinding<EditField> kEditFieldBindings[] = {
    {35084, &MainWindowModel::debounce}, {35078, &MainWindowModel::fileName},
    {35187, &MainWindowModel::version},  {35119, &MainWindowModel::serial},
    {35193, &MainWindowModel::gain},     {35149, &MainWindowModel::beepLength},
};

inline constexpr ControlBinding<ComboBox> kComboBoxBindings[] = {
    {35082, &MainWindowModel::repeatDelay},
    {35083, &MainWindowModel::repeatRate},
    {35090, &MainWindowModel::maxScanRow},
    {35100, &MainWindowModel::pointDevice},
};

inline constexpr int kGenerateButtonId =
    id::kGenerate;  // enabled from MainWindowModel::generateEnabled
inline constexpr int kProgramVersionLabelId =
    id::kProgramVersionLabel;  // MainWindowModel::programVersion

// Menu commands.
inline constexpr int kCommandAbout = id::kAbout;
inline constexpr int kCommandExit = id::kExit;

}  // namespace veltrane::ui
