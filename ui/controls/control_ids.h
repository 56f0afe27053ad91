// SPDX-License-Identifier: MIT
// The ids of the program's windows that code names: the controls of the main
// window, its dialogs and the key editing windows, and the menu commands.
// Commands arrive with these ids; a front end finds its widgets by them. A
// control that only its table addresses (a new setting's field) may be named
// beside its row instead.
#pragma once

#include "model/definition.h"

namespace veltrane::ui::id {

inline constexpr int kNone = -1;   // a control nobody addresses: labels, frames
inline constexpr int kOk = 1;      // a dialog's default button: "OK", "Load", "Save"
inline constexpr int kCancel = 2;  // "Cancel", also Escape and the close box

// Menu commands.
inline constexpr int kAbout = 104;
inline constexpr int kExit = 105;
inline constexpr int kExportText = 106;
inline constexpr int kImportText = 107;
inline constexpr int kProductionLine = 108;
inline constexpr int kExportPicture = 109;
inline constexpr int kPrint = 110;
// The Edit menu: undo and redo, the key cut, copied, pasted or swapped at the
// matrix's selected position, and the layer edits.
inline constexpr int kUndo = 111;
inline constexpr int kRedo = 112;
inline constexpr int kCutKey = 113;
inline constexpr int kCopyKey = 114;
inline constexpr int kPasteKey = 115;
inline constexpr int kSwapKey = 116;
inline constexpr int kCopyLayer = 117;
inline constexpr int kSwapLayers = 118;
inline constexpr int kClearLayer = 119;

// Key Settings dialog.
inline constexpr int kKeyUsed = 1000;
inline constexpr int kKeyEnabled = 1001;
inline constexpr int kLayerUsedFirst = 1002;   // 1002..1005
inline constexpr int kIbmKeyListFirst = 1006;  // 1006..1009
inline constexpr int kGroupFirst = 1039;       // 1039..1042
inline constexpr int kLegend = 1049;
inline constexpr int kPrevious = 1050;
inline constexpr int kNext = 1051;
inline constexpr int kPosition = 1052;
inline constexpr int kKeyTypeListFirst = 35112;  // 35112..35115
inline constexpr int kAssignMacroFirst = 35143;  // 35143..35146
inline constexpr int kLayerNoteFirst = 35250;    // 35250..35253: what a layer's choice waits for

// Main window.
inline constexpr int kFirstKeyButton =
    static_cast<int>(model::kFirstButtonId);  // + row * 8 + column
inline constexpr int kLastKeyButton = kFirstKeyButton + model::kKeyCount - 1;
inline constexpr int kGenerate = 35072;
inline constexpr int kSave = 35073;
inline constexpr int kLoad = 35074;
inline constexpr int kTestKeyboard = 35076;
inline constexpr int kFileName = 35078;
inline constexpr int kEnableMatrix = 35079;
inline constexpr int kGlobalRepeat = 35080;
inline constexpr int kAnyKeyRelease = 35081;
inline constexpr int kRepeatDelay = 35082;
inline constexpr int kRepeatRate = 35083;
inline constexpr int kDebounce = 35084;
inline constexpr int kMaxScanRow = 35090;
inline constexpr int kPrefixMakeBreak = 35091;
inline constexpr int kLed1 = 35093;
inline constexpr int kLed2 = 35094;
inline constexpr int kLed3 = 35095;
inline constexpr int kNewClearAll = 35096;
inline constexpr int kProgramVersionLabel = 35097;
inline constexpr int kProgram = 35098;
inline constexpr int kCheckPresence = 35099;
inline constexpr int kPointDevice = 35100;
inline constexpr int kEnableKeyboard = 35101;
inline constexpr int kEnablePointing = 35102;
inline constexpr int kRead = 35118;
inline constexpr int kSerial = 35119;
inline constexpr int kLed4 = 35120;
inline constexpr int kActivateBeep = 35148;
inline constexpr int kBeepLength = 35149;
inline constexpr int kPointDevSet = 35166;
inline constexpr int kVersion = 35187;
inline constexpr int kGain = 35193;
inline constexpr int kWriteBin = 35194;
inline constexpr int kWriteTxt = 35195;
inline constexpr int kCopyEepromBin = 35196;
inline constexpr int kWriteSavedTxt = 35197;
inline constexpr int kWriteDat = 35198;
inline constexpr int kChangedWordsOnly = 35199;
inline constexpr int kSpareList = 35162;  // a list box that stays empty
inline constexpr int kLedButtons[4] = {kLed1, kLed2, kLed3, kLed4};

// Key LED dialog.
inline constexpr int kLedList = 35092;

// Copy layer, Swap layers, Clear layer.
inline constexpr int kLayerFrom = 35256;
inline constexpr int kLayerTo = 35257;
inline constexpr int kLayerQuestion =
    35258;  // what the edit changes, e.g. "Copy Fn1 to Fn2: 37 keys change"

// Load File and Save File.
inline constexpr int kLoadFiles = 35121;
inline constexpr int kLoadPlaces = 35122;
inline constexpr int kLoadDirectories = 35123;
inline constexpr int kSaveFiles = 35124;
inline constexpr int kSavePlaces = 35125;
inline constexpr int kSaveDirectories = 35126;
inline constexpr int kSaveName = 35127;
inline constexpr int kChooserDirectory = 35254;  // the chooser's directory as a path
inline constexpr int kChooserProblem = 35255;    // why a directory could not be entered

// Pointing Device dialog: 20 fields, N, E, S, W, each gain 1, gain 2, offset 1, offset 2, inverse.
inline constexpr int kFirstPointingField = 35167;  // 35167..35186

// Test window.
inline constexpr int kStopTest = 35117;

// Key Macro Tool (the string editor).
inline constexpr int kLeftMouse = 35128;
inline constexpr int kMiddleMouse = 35129;
inline constexpr int kRightMouse = 35130;
inline constexpr int kDelete = 35131;
inline constexpr int kClear = 35132;
inline constexpr int kCheckAlt = 35133;
inline constexpr int kCheckCtrlLeft = 35134;
inline constexpr int kCheckShiftLeft = 35135;
inline constexpr int kCheckBase = 35136;
inline constexpr int kCheckRepeatOff = 35137;
inline constexpr int kCheckAltGr = 35138;
inline constexpr int kStringEditorList = 35139;
inline constexpr int kFn1 = 35140;
inline constexpr int kFn2 = 35141;
inline constexpr int kGetFocus = 35142;
inline constexpr int kEcho = 35147;
inline constexpr int kMute = 35157;
inline constexpr int kVolumeUp = 35158;
inline constexpr int kVolumeDown = 35159;
inline constexpr int kCheckCtrlRight = 35160;
inline constexpr int kCheckShiftRight = 35161;
inline constexpr int kStopSun = 35165;
inline constexpr int kExtraKeys = 35188;
inline constexpr int kExtraKeysLabel = 35189;
inline constexpr int kFnLight = 35190;
inline constexpr int kCheckLightUp = 35191;
inline constexpr int kCheckLightDown = 35192;

}  // namespace veltrane::ui::id
