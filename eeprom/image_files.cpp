#include "eeprom/image_files.h"

#include "eeprom/text_dump.h"
#include "fileaccess/replace_file.h"

namespace veltrane::eeprom {

bool WriteOrTell(const std::string& path, const fileaccess::Status& written,
                 model::MessageSink& messages) {
  if (!written)
    messages.Show(written.reason.empty() ? path : written.reason, "Cannot open",
                  model::MessageIcon::None);
  return written;
}

fileaccess::Status WriteBinFile(const std::string& path, const EepromImage& image) {
  return fileaccess::ReplaceFile(path, image);
}

fileaccess::Status WriteTxtFile(const std::string& path, const EepromImage& image) {
  return fileaccess::ReplaceFile(path, std::string_view(FormatTextDump(image)));
}

bool WriteImageFiles(const EepromImage& image, bool writeBin, bool writeTxt,
                     const std::string& dataDirectory, const std::string& baseName,
                     model::MessageSink& messages) {
  bool all = true;
  if (writeBin) {
    const std::string path = dataDirectory + baseName + ".BIN";
    all = WriteOrTell(path, WriteBinFile(path, image), messages) && all;
  }
  if (writeTxt) {
    const std::string path = dataDirectory + baseName + ".TXT";
    all = WriteOrTell(path, WriteTxtFile(path, image), messages) && all;
  }
  return all;
}

fileaccess::Status WriteReadBackCopy(const EepromImage& image, const std::string& dataDirectory) {
  return WriteBinFile(dataDirectory + "EeProm.bin", image);
}

}  // namespace veltrane::eeprom
