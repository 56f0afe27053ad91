#include "ui/image_commands.h"

#include <algorithm>

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "eeprom/image_files.h"
#include "eeprom/image_reader.h"
#include "model/text_field.h"
#include "persist/file_io.h"
#include "ui/file_commands.h"

namespace veltrane::ui {

void SetVersionText(AppState& app, std::string_view text) {
  app.doc.versionText = std::string(text);
  app.window.version.text = app.doc.versionText;
  app.doc.firmwareVersion = eeprom::FirmwareVersionFromText(app.doc.versionText);
}

void ShowNoKeyboardFound(const Services& io) {
  io.messages.Show("No Keyboard Found!", "ReadFirmwareVersion", model::MessageIcon::Information);
}

bool BuildImageForUse(AppState& app, const Services& io) {
  PackStrings(app, io);
  const eeprom::BuildResult result = eeprom::BuildImage(
      app.doc.def, ReadShownSettings(app.window), model::CutText(app.window.version.text, 15),
      app.doc.firmwareVersion, app.doc.image, &io.log);
  if (!result.fits)
    io.messages.Show(
        model::FormatText("The definition has %d distinct key meanings; an EEPROM image holds "
                          "at most %d. No image was made.",
                          result.distinctMeanings, eeprom::kMaxDistinctMeanings),
        "EEPROM image", model::MessageIcon::Error);
  return result.fits;
}

void GenerateImageFiles(AppState& app, const Services& io) {
  if (app.doc.firmwareVersion == 0) ShowNoKeyboardFound(io);
  if (!BuildImageForUse(app, io)) return;
  eeprom::WriteImageFiles(app.doc.image, app.doc.options.writeBinFile, app.doc.options.writeTxtFile,
                          app.doc.dataDirectory, app.doc.baseName, io.messages);
}

void DecodeReadImage(AppState& app) {
  eeprom::StoreImageSettings(
      eeprom::DecodeImage(app.doc.image, app.doc.firmwareVersion, app.doc.def), app.doc.header);
  ApplyLoadedSettings(app);
}

bool LoadImageFile(AppState& app, const Services& io, const std::string& path) {
  model::ClearKeys(app.doc.def);
  const auto bytes = persist::ReadWholeFile(path);
  if (!bytes) {
    io.messages.Show(path, "Cannot open file", model::MessageIcon::Error);
    return false;
  }
  if (bytes->size() < eeprom::kKeyboardBytes) {
    io.messages.Show(model::FormatText("%s holds %zu bytes; an image read back from a keyboard "
                                       "has at least %zu",
                                       path.c_str(), bytes->size(), eeprom::kKeyboardBytes),
                     "Image file", model::MessageIcon::Error);
    return false;
  }
  if (bytes->size() > eeprom::kImageSize) {
    io.messages.Show(model::FormatText("%s holds %zu bytes; an EEPROM image holds at most %zu",
                                       path.c_str(), bytes->size(), eeprom::kImageSize),
                     "Image file", model::MessageIcon::Error);
    return false;
  }
  app.doc.image.fill(0);
  std::copy_n(bytes->begin(), eeprom::kKeyboardBytes, app.doc.image.begin());
  return true;
}

bool SaveDecodedDefinition(AppState& app, const Services& io, const std::string& path) {
  BuildImageForUse(app, io);
  app.window.fileName.text = FileNameOf(path);
  return WriteConfiguration(app, io, path, WriteFailure::Tell);
}

bool SaveSettings(AppState& app, const Services& io,
                  const std::function<std::string()>& chooseName) {
  BuildImageForUse(app, io);  // a save needs only the packed strings, so it goes on regardless
  const std::string chosenName = chooseName();
  app.doc.baseName = BaseNameFromChosen(chosenName);
  app.doc.chosenFileName = app.doc.baseName + ".DAT";
  app.window.fileName.text = app.doc.chosenFileName;
  if (chosenName.empty()) return false;
  const bool written = WriteConfiguration(app, io, app.doc.chosenFileName, WriteFailure::Silent);
  if (app.doc.options.writeSavedTxt) WriteReport(app, DefaultReportPath(app));
  return written;
}

}  // namespace veltrane::ui
