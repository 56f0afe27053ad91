// The image files: raw ".BIN", hex dump ".TXT" and the read-back copy.
#pragma once

#include <string>

#include "eeprom/image_layout.h"
#include "fileaccess/status.h"
#include "model/diagnostics.h"

namespace veltrane::eeprom {

// Each file is written whole or not at all (fileaccess::ReplaceFile): a failed
// write leaves any earlier file at the path as it was; the status says why.
fileaccess::Status WriteBinFile(const std::string& path, const EepromImage& image);
fileaccess::Status WriteTxtFile(const std::string& path, const EepromImage& image);

// Whether the file was written; one that was not gives the "Cannot open" box
// with the status's reason ("nodir/out.BIN: No such file or directory").
bool WriteOrTell(const std::string& path, const fileaccess::Status& written,
                 model::MessageSink& messages);

// Writes dataDirectory + baseName + ".BIN" and then ".TXT" as asked; each file
// that cannot be written gives a "Cannot open" box naming its path, and the
// other file is still tried. True when every asked file was written.
bool WriteImageFiles(const EepromImage& image, bool writeBin, bool writeTxt,
                     const std::string& dataDirectory, const std::string& baseName,
                     model::MessageSink& messages);

// dataDirectory + "EeProm.bin", the whole 8192-byte buffer; silent on failure.
fileaccess::Status WriteReadBackCopy(const EepromImage& image, const std::string& dataDirectory);

}  // namespace veltrane::eeprom
