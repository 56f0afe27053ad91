#include "ui/image_commands.h"

#include "eeprom/firmware_version.h"
#include "eeprom/image_builder.h"
#include "eeprom/image_files.h"
#include "eeprom/image_reader.h"
#include "model/text_field.h"
#include "ui/file_commands.h"

namespace veltrane::ui {

void SetVersionText(AppState& app, std::string_view text) {
  app.versionText = std::string(text);
  app.window.version.text = app.versionText;
  app.firmwareVersion = eeprom::FirmwareVersionFromText(app.versionText);
}

void ShowNoKeyboardFound(AppState& app) {
  app.messages->Show("No Keyboard Found!", "ReadFirmwareVersion", model::MessageIcon::Information);
}

bool BuildImageForUse(AppState& app) {
  const eeprom::BuildResult result = eeprom::BuildImage(app.def, ReadShownSettings(app.window),
                                                        model::CutText(app.window.version.text, 15),
                                                        app.firmwareVersion, app.image, app.log);
  WarnDroppedStrokes(app, result.droppedStrokes);
  if (!result.fits)
    app.messages->Show(
        model::FormatText("The definition has %d distinct key meanings; an EEPROM image holds "
                          "at most %d. No image was made.",
                          result.distinctMeanings, eeprom::kMaxDistinctMeanings),
        "EEPROM image", model::MessageIcon::Error);
  return result.fits;
}

void GenerateImageFiles(AppState& app) {
  if (app.firmwareVersion == 0) ShowNoKeyboardFound(app);
  if (!BuildImageForUse(app)) return;
  eeprom::WriteImageFiles(app.image, app.options.writeBinFile, app.options.writeTxtFile,
                          app.dataDirectory, app.baseName, *app.messages);
}

void DecodeReadImage(AppState& app) {
  eeprom::DecodeImage(app.image, app.firmwareVersion, app.def, app.header);
  ApplyLoadedSettings(app);
}

bool SaveSettings(AppState& app, const std::string& chosenName) {
  BuildImageForUse(app);  // a save needs only the packed strings, so it goes on regardless
  app.baseName = BaseNameFromChosen(chosenName);
  app.chosenFileName = app.baseName + ".DAT";
  app.window.fileName.text = app.chosenFileName;
  if (chosenName.empty()) return false;
  const bool written = WriteConfiguration(app, app.chosenFileName);
  if (app.options.writeSavedTxt) WriteReport(app, DefaultReportPath(app));
  return written;
}

}  // namespace veltrane::ui
