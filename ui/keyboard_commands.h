// The main window's commands that talk to the keyboard.
#pragma once

#include <optional>
#include <string>

#include "ui/app_state.h"
#include "ui/keyboard_link.h"

namespace veltrane::ui {

inline constexpr unsigned kMatrixSwitchAddress = 0xFF00;
inline constexpr unsigned char kMatrixOn = 0xB1;
inline constexpr unsigned char kMatrixOff = 0xC2;

// Asks the keyboard for its version text and derives FirmwareVersion.
void DetectionStep(AppState& app, KeyboardLink& link);

// "Check keyboard presence": detection, then the one load of the
// configuration file named on the command line.
void CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link);

enum class TransferOutcome { Done, NoKeyboard, Refused, Failed };

// The progress bar set to 0..100, step 1, position 0; the step that advances it.
ProgressStep StartTransferProgress(AppState& app);

// "Program Keyboard" up to the transfer: the plug-in message, the detection,
// the command-line load and the image built. Done when the image is ready to
// send; otherwise what stopped it, told to the user.
TransferOutcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link);

// "Program Keyboard": Done when the library reported the download as complete.
TransferOutcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link);

// "Read Keyboard EEProm": the image read, the raw copy DataDirectory +
// "EeProm.bin" when the option is set, then the decode. A failed read decodes
// nothing. The image buffer keeps the bytes as read.
TransferOutcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link);

// The keyboard takes the matrix switch when its version text begins with "V"
// and holds an "X" from position 4 on.
bool SupportsMatrixSwitch(const std::string& versionText);

// "Enable matrix": flips MatrixEnabled (or clears it) and sends the switch.
// Returns what the library answered.
bool EnableMatrix(AppState& app, const Services& io, KeyboardLink& link);

enum class MatrixOutcome { Switched, Unsupported, Failed };

// Detects the keyboard and switches its matrix mode on or off, refusing a
// keyboard without the switch (with a message) before anything is sent.
MatrixOutcome SwitchMatrix(AppState& app, const Services& io, KeyboardLink& link, bool on);

}  // namespace veltrane::ui
