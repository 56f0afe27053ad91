// The main window's commands that talk to the keyboard.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

inline constexpr unsigned kMatrixSwitchAddress = 0xFF00;
inline constexpr unsigned char kMatrixOn = 0xB1;
inline constexpr unsigned char kMatrixOff = 0xC2;

// Asks the keyboard for its version text and derives FirmwareVersion.
void DetectionStep(AppState& app, KeyboardLink& link);

// Shows the main window as the model now stands, at once.
using RepaintNow = std::function<void()>;

// "Check keyboard presence": detection, then the load of the configuration
// file named on the command line, while it is pending. It stays pending when
// its load fails; it is dropped unloaded once the user has made the definition
// their own by editing it (loading, reading or saving drops it as well), so
// that it never replaces the user's work. Ends with a repaint. False when the
// command-line file was to be loaded and could not be: the commands that ran
// the check stop there.
bool CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link,
                           const RepaintNow& repaint = {});

enum class TransferOutcome { Done, NoKeyboard, Refused, Failed, NotLoaded };

// The progress bar set to 0..100, step 1, position 0; the step that advances it.
ProgressStep StartTransferProgress(AppState& app);

// "Program Keyboard" up to the transfer: the plug-in message, the detection,
// the command-line load and the image built. Done when the image is ready to
// send; otherwise what stopped it, told to the user (nothing is built when the
// command-line file could not be loaded).
TransferOutcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link,
                                const RepaintNow& repaint = {});

// "Program Keyboard": Done when the library reported the download as complete
// and the keyboard closed again; "Programming failed" otherwise.
TransferOutcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                                const RepaintNow& repaint = {});

// "Read Keyboard EEProm": the image read, the raw copy DataDirectory +
// "EeProm.bin" when the option is set (a copy that cannot be written is told),
// then the decode. The definition is replaced only by a read that completed
// and closed the keyboard; any other outcome leaves it as it was. The image
// buffer keeps the bytes as read.
TransferOutcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                             const RepaintNow& repaint = {});

// The keyboard takes the matrix switch when its version text begins with "V"
// and holds an "X" from position 4 on.
bool SupportsMatrixSwitch(const std::string& versionText);

// "Enable matrix": flips MatrixEnabled (or clears it) and sends the switch;
// "Matrix enabled" once the keyboard took it. A switch the keyboard refused
// leaves MatrixEnabled as it was and says so. Returns what the library answered.
bool EnableMatrix(AppState& app, const Services& io, KeyboardLink& link);

enum class MatrixOutcome { Switched, Unsupported, Failed };

// Detects the keyboard and switches its matrix mode on or off, refusing a
// keyboard without the switch (with a message) before anything is sent.
MatrixOutcome SwitchMatrix(AppState& app, const Services& io, KeyboardLink& link, bool on);

}  // namespace veltrane::ui
