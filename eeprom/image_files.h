// SPDX-License-Identifier: MIT
// The image files: raw ".BIN", hex dump ".TXT" and the read-back copy.
#pragma once

#include <string>

#include "eeprom/image_layout.h"
#include "fileaccess/status.h"

namespace veltrane::eeprom {

// Each file is written whole or not at all (fileaccess::ReplaceFile): a failed
// write leaves any earlier file at the path as it was; the status says why.
fileaccess::Status WriteBinFile(const std::string& path, const EepromImage& image);
fileaccess::Status WriteTxtFile(const std::string& path, const EepromImage& image);

// The image files asked for: dataDirectory + baseName + ".BIN" and ".TXT".
// Each asked file is tried, also when the other could not be written; a file
// not asked for reads as written.
struct ImageFiles {
  std::string binPath;
  std::string txtPath;
  fileaccess::Status bin;
  fileaccess::Status txt;
};
ImageFiles WriteImageFiles(const EepromImage& image, bool writeBin, bool writeTxt,
                           const std::string& dataDirectory, const std::string& baseName);

// dataDirectory + "EeProm.bin", the whole 8192-byte buffer.
fileaccess::Status WriteReadBackCopy(const EepromImage& image, const std::string& dataDirectory);

}  // namespace veltrane::eeprom
