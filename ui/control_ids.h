// Ids of the main window's controls and menu items, as its commands arrive.
#pragma once

namespace veltrane::ui::id {

inline constexpr int kFirstKeyButton = 34560;  // 34560 + row * 8 + column
inline constexpr int kLastKeyButton = 34687;
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
inline constexpr int kAbout = 104;
inline constexpr int kExit = 105;
inline constexpr int kExportText = 106;
inline constexpr int kImportText = 107;
inline constexpr int kProductionLine = 108;

}  // namespace veltrane::ui::id
