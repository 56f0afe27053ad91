// SPDX-License-Identifier: MIT
// The one document of a run: the definition with its settings, the header
// image of the last load or save, the EEPROM image buffer, the file-name
// texts, the detected keyboard and the per-run options.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "eeprom/image_layout.h"
#include "fileaccess/file_stamp.h"
#include "model/definition.h"
#include "persist/header_image.h"
#include "veltrane_version.h"

namespace veltrane::ui {

inline constexpr std::string_view kInitialBaseName = "EEPkey";

// Options that start cleared on every run and are never saved.
struct RunOptions {
  bool matrixEnabled = false;
  bool writeBinFile = false;
  bool writeTxtFile = false;
  bool copyEepromBin = false;
  bool writeSavedTxt = false;
  bool changedWordsOnly = false;  // "Program Keyboard" sends only the words that differ
};

struct Document {
  model::KeyboardDefinition def;  // def.settings: every global setting, also those the window shows
  persist::HeaderImage header;    // its reserved bytes carry into the next save
  eeprom::EepromImage image{};
  RunOptions options;
  // A configuration file named on the command line (an absolute path), until
  // a presence check loads it or the user's own definition makes it moot.
  std::string commandLineText;
  std::string dataDirectory;  // empty, or ends in "/"
  std::string baseName = std::string(kInitialBaseName);
  std::string chosenFileName;
  std::string loadedFile;  // the configuration file last loaded or saved, as its path was given
  // The file the definition in the window belongs to: the one last loaded,
  // saved or imported; empty for a new definition and one read from a keyboard.
  std::string documentFile;
  // Each file this run loaded or wrote, by absolute path, as it was then:
  // one that differs now was written by someone else since.
  std::map<std::string, fileaccess::FileStamp> knownFiles;
  std::string versionText;         // from the last detection, as the version field shows it
  int firmwareVersion = 0;         // 0: no keyboard answered
  bool accessProblemTold = false;  // a keyboard this user may not open has been explained
};

}  // namespace veltrane::ui
