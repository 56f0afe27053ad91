// SPDX-License-Identifier: MIT
#include "eeprom/image_files.h"

#include "eeprom/text_dump.h"
#include "fileaccess/replace_file.h"

namespace veltrane::eeprom {

fileaccess::Status WriteBinFile(const std::string& path, const EepromImage& image) {
  return fileaccess::ReplaceFile(path, image);
}

fileaccess::Status WriteTxtFile(const std::string& path, const EepromImage& image) {
  return fileaccess::ReplaceFile(path, std::string_view(FormatTextDump(image)));
}

ImageFiles WriteImageFiles(const EepromImage& image, bool writeBin, bool writeTxt,
                           const std::string& dataDirectory, const std::string& baseName) {
  ImageFiles files{dataDirectory + baseName + ".BIN", dataDirectory + baseName + ".TXT", {}, {}};
  if (writeBin) files.bin = WriteBinFile(files.binPath, image);
  if (writeTxt) files.txt = WriteTxtFile(files.txtPath, image);
  return files;
}

fileaccess::Status WriteReadBackCopy(const EepromImage& image, const std::string& dataDirectory) {
  return WriteBinFile(dataDirectory + "EeProm.bin", image);
}

}  // namespace veltrane::eeprom
