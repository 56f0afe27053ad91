// SPDX-License-Identifier: MIT
// The main window's commands that talk to the keyboard.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_link.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

inline constexpr unsigned kMatrixSwitchAddress = 0xFF00;

// Asks the keyboard for its version text and derives FirmwareVersion.
void DetectionStep(AppState& app, KeyboardLink& link);

// Shows the main window as the model now stands, at once.
using RepaintNow = std::function<void()>;

// The start-up step for a configuration file named on the command line: it is
// loaded as any load is (with the same messages), so that the window shows it
// before the user can do anything. Ok when there is none. One that cannot be
// loaded stays pending (NotLoaded, with its path): "Check keyboard presence"
// tries it again, and "Program Keyboard" and "Read Keyboard EEProm" stop and
// say so until it loads or the user makes the definition their own.
Outcome LoadCommandLineFile(AppState& app, const Services& io);

// "Check keyboard presence": detection, then the load of the configuration
// file named on the command line, while it is pending. It stays pending when
// its load fails; it is dropped unloaded once the user has made the definition
// their own by editing it (loading, reading or saving drops it as well), so
// that it never replaces the user's work. Ends with a repaint. NotLoaded (with
// the file) when the command-line file was to be loaded and could not be: the
// commands that ran the check stop there.
Outcome CheckKeyboardPresence(AppState& app, const Services& io, KeyboardLink& link,
                              const RepaintNow& repaint = {});

// The progress bar set to 0..100, step 1, position 0; the step that advances it.
ProgressStep StartTransferProgress(AppState& app);

// "Program Keyboard" up to the transfer: the plug-in message, the detection,
// the command-line load and the image built. Ok when the image is ready to
// send; otherwise what stopped it (NotLoaded, NoKeyboard, TooManyMeanings),
// told to the user.
Outcome PrepareDownload(AppState& app, const Services& io, KeyboardLink& link,
                        const RepaintNow& repaint = {});

// Whether "Program Keyboard" reads the block back after the download and compares it.
enum class Verify {
  Off,   // the download alone
  On,    // a keyboard that does not hold the image fails the download
  Told,  // as On, and a keyboard that holds it is told too ("Verified 3072 bytes")
};

// "Program Keyboard": Ok when the library reported the download as complete,
// the keyboard closed again and (unless `verify` is Off) the 3072 bytes read
// back equal the image. Otherwise TransferFailed with the library's status:
// "Programming failed", after a read-back followed by the verify line that
// says where the keyboard differs, or that it could not be read back.
Outcome ProgramKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                        const RepaintNow& repaint = {}, Verify verify = Verify::On);

// "Read Keyboard EEProm": the image read, the decode (shown at once), then
// "Keyboard read !" and the raw copy DataDirectory + "EeProm.bin" when the
// option is set (a copy that cannot be written is told). The definition is
// replaced only by a read that completed and closed the keyboard; any other
// outcome leaves it as it was. The image buffer keeps the bytes as read.
Outcome ReadKeyboard(AppState& app, const Services& io, KeyboardLink& link,
                     const RepaintNow& repaint = {});

// The keyboard takes the matrix switch when its version text begins with "V"
// and holds an "X" from position 4 on.
bool SupportsMatrixSwitch(const std::string& versionText);

// "Enable matrix": flips MatrixEnabled (or clears it) and sends the switch;
// "Matrix enabled" once the keyboard took it. A switch the keyboard refused
// leaves MatrixEnabled as it was and says so. TransferFailed when the library
// reported any failure, also a close that failed after the switch arrived.
Outcome EnableMatrix(AppState& app, const Services& io, KeyboardLink& link);

// Detects the keyboard and switches its matrix mode on or off, refusing a
// keyboard without the switch (Unsupported, told) before anything is sent.
Outcome SwitchMatrix(AppState& app, const Services& io, KeyboardLink& link, bool on);

}  // namespace veltrane::ui
