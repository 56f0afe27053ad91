// SPDX-License-Identifier: MIT
#include "cli/command_files.h"

#include "cli/standard_streams.h"
#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
#include "persist/config_file.h"
#include "persist/definition_text.h"
#include "ui/app/file_commands.h"
#include "ui/app/image_commands.h"
#include "ui/app/load.h"

namespace veltrane::cli {

namespace {

bool LoadConfiguration(Run& run, const std::string& path, bool conversion) {
  if (!IsStandardStream(path))
    return ui::Load(run.app, run.io, {ui::LoadKind::ConfigFile, path, nullptr, conversion}).ok();
  // A longer input is read one byte past the longest generation, which the load refuses.
  const fileaccess::ReadResult input = ReadStandardInput(persist::kConfigFileSize);
  if (!input.ok() && input.error != fileaccess::ReadError::TooLarge) {
    run.messages.Show(input.reason, "Cannot open file", model::MessageIcon::Error);
    return false;
  }
  const ui::LoadSource source{ui::LoadKind::ConfigFile, std::string(kStandardInputName),
                              &input.bytes, conversion};
  return ui::Load(run.app, run.io, source).ok();
}

}  // namespace

bool LoadConfigurationArgument(Run& run, const std::string& path) {
  return LoadConfiguration(run, path, false);
}

bool LoadConfigurationToRewrite(Run& run, const std::string& path) {
  return LoadConfiguration(run, path, true);
}

bool WriteOutputFile(Run& run, const std::string& path, std::string_view bytes) {
  if (IsStandardStream(path)) return WriteStandardOutput(bytes);
  return ui::Told(run.io, ui::Command::WriteFile,
                  ui::WrittenFile(fileaccess::ReplaceFile(path, bytes), path))
      .ok();
}

bool WriteOutputFile(Run& run, const std::string& path, std::span<const std::uint8_t> bytes) {
  return WriteOutputFile(
      run, path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool SaveDefinitionOutput(Run& run, const std::string& path) {
  if (!IsStandardStream(path)) return ui::SaveDecodedDefinition(run.app, run.io, path).ok();
  ui::BuildImageForUse(run.app, run.io);  // packs the strings, as a save does
  return WriteOutputFile(run, path, persist::EncodeConfigFile(run.app.doc.def, run.app.doc.header));
}

bool WouldReplaceInput(Run& run, const std::string& input, const std::string& output) {
  if (IsStandardStream(input) || IsStandardStream(output)) return false;
  return ui::WouldReplaceInput(run.io, input, output);
}

bool WouldReplaceOtherKind(Run& run, const std::string& output, FileKind writing, bool force) {
  if (force || IsStandardStream(output)) return false;
  // Only the start of a text tells its kind; a configuration file is told by its length.
  const fileaccess::ReadResult held = fileaccess::ReadFile(output, persist::kMaxDefinitionTextSize);
  if (held.error != fileaccess::ReadError::None && held.error != fileaccess::ReadError::TooLarge)
    return false;  // nothing there, or nothing a write would replace
  const bool other = writing == FileKind::DefinitionText
                         ? persist::LooksLikeConfigFile(held.bytes)
                         : persist::LooksLikeDefinitionText(held.bytes);
  if (!other) return false;
  const char* const heldKind =
      writing == FileKind::DefinitionText ? "a configuration file" : "JSON text";
  const char* const writtenKind =
      writing == FileKind::DefinitionText ? "JSON text" : "a configuration file";
  run.messages.Show(output + " holds " + heldKind + ", not " + writtenKind +
                        "; nothing was written (--force replaces it)",
                    "Output file", model::MessageIcon::Error);
  return true;
}

}  // namespace veltrane::cli
