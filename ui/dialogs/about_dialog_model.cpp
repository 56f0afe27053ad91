// SPDX-License-Identifier: MIT
#include "ui/dialogs/about_dialog_model.h"

#include <array>

#include "ui/app/document.h"

namespace veltrane::ui {
namespace {

constexpr std::array<Control, 3> kControls = {{
    {ControlKind::DefaultButton, id::kOk, "OK", DialogUnitsRect(195, 6, 30, 11)},
    {ControlKind::Static, id::kNone, kProgramName, DialogUnitsRect(10, 10, 150, 10)},
    {ControlKind::Static, id::kNone, kProgramVersion, DialogUnitsRect(10, 26, 150, 10)},
}};

constexpr DialogLayout kLayout = {"About", DialogUnitsX(230), DialogUnitsY(75), kControls};

}  // namespace

const DialogLayout& AboutDialogLayout() {
  return kLayout;
}

}  // namespace veltrane::ui
