// SPDX-License-Identifier: MIT
// The image side of the main window's commands: building the EEPROM image,
// writing the image files and decoding an image read back.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/app/app_state.h"
#include "ui/app/file_commands.h"
#include "ui/app/outcome.h"

namespace veltrane::ui {

// The second half of the detection step: the version text is kept (the
// version field shows it) and FirmwareVersion derived from it.
void SetVersionText(AppState& app, std::string_view text);

// Packs the strings, then builds the image from the definition, its settings
// and the version text. Macros that do not fit the string store are refused
// (MacrosDoNotFit, told: nothing is packed or built); a definition with more
// distinct meanings than the image holds is refused (TooManyMeanings, told).
// After either the image must not be used.
Outcome BuildImageForUse(AppState& app, const Services& io);

// DataDirectory + BaseName + ".BIN" and ".TXT" from the image as asked; each
// file that cannot be written is told ("Cannot open") and the other is still
// tried. NotWritten for the first that failed.
Outcome WriteImageFiles(AppState& app, const Services& io, bool writeBin, bool writeTxt);

// "Generate EEPROM File" after its detection step: "No Keyboard Found!"
// without a keyboard, then the build and the files asked for.
Outcome GenerateImageFiles(AppState& app, const Services& io);

// Replaces the keys and strings with those the document's image holds and
// applies the settings it carries, its serial number too (ui::Load of the
// KeyboardImage); settings whose bytes are erased keep their values, those
// outside their ranges are told. The result is taken as the kept definition;
// the image itself is left as it was read.
Outcome DecodeReadImage(AppState& app, const Services& io);

// Puts the first 3072 bytes of an image file over an all-zero buffer and
// decodes it as DecodeReadImage does, for the document's FirmwareVersion. A
// file that cannot be read, is too short to be an image or longer than one
// (8192 bytes) is told and changes nothing.
Outcome LoadImageFile(AppState& app, const Services& io, const std::string& path);
// The same for an image read already (at most 8192 bytes); `name` stands for its path.
Outcome LoadImageBytes(AppState& app, const Services& io, const std::string& name,
                       const std::vector<std::uint8_t>& bytes);

// Saves a definition decoded from an image as the Save command does: the
// image built (which packs the strings), the file-name text the file's name; a file that cannot be
// written gives the "Cannot open" box. Macros that do not fit are refused: nothing is written.
Outcome SaveDecodedDefinition(AppState& app, const Services& io, const std::string& path);

// "Save settings to file" after its detection step: the image is built (with
// its messages) before `chooseName` asks for the name; macros that do not fit
// refuse the save there (MacrosDoNotFit, told). Then the naming rule, the
// write and the report. A name whose file exists is taken only when `ask`
// says Yes to ReplaceQuestion for the file that would be written. Ok when the
// configuration file was written. A cancelled dialog (empty name) writes and
// changes nothing (Cancelled). A file that cannot be written is told ("Cannot
// open: PATH: REASON", caption "Save File") and changes nothing either. A
// written file becomes the document's: the file-name text is its name,
// BaseName and DataDirectory follow it (so that image files and the report go
// beside it), and it is the kept definition.
Outcome SaveSettings(AppState& app, const Services& io, const ChooseSaveName& chooseName,
                     const AskYesNo& ask);

}  // namespace veltrane::ui
