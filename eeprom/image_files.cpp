#include "eeprom/image_files.h"

#include <span>

#include "eeprom/text_dump.h"
#include "persist/file_io.h"

namespace veltrane::eeprom {

bool WriteOrTell(const std::string& path, bool written, model::MessageSink& messages) {
  if (!written) messages.Show(path, "Cannot open", model::MessageIcon::None);
  return written;
}

bool WriteBinFile(const std::string& path, const EepromImage& image) {
  return persist::WriteFileAtomically(path, image);
}

bool WriteTxtFile(const std::string& path, const EepromImage& image) {
  const std::string dump = FormatTextDump(image);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(dump.data());
  return persist::WriteFileAtomically(path, std::span<const std::uint8_t>(bytes, dump.size()));
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

bool WriteReadBackCopy(const EepromImage& image, const std::string& dataDirectory) {
  return WriteBinFile(dataDirectory + "EeProm.bin", image);
}

}  // namespace veltrane::eeprom
