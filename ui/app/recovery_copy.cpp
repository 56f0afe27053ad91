// SPDX-License-Identifier: MIT
#include "ui/app/recovery_copy.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <memory>

#include "fileaccess/checksum.h"
#include "fileaccess/paths.h"
#include "persist/config_file.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"

namespace veltrane::ui {
namespace {

constexpr std::string_view kFirstLine = "Veltrane recovery copy 1\n";

// Takes `prefix`, a number and `end` from the front of `text`.
bool TakeNumber(std::string_view& text, std::string_view prefix, int base, std::uint64_t& value,
                char end) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc{} || stop == text.data() + text.size() || *stop != end) return false;
  text.remove_prefix(static_cast<std::size_t>(stop - text.data()) + 1);
  return true;
}

// The header lines; false when they do not parse. `text` is left at the definition.
bool TakeHeader(std::string_view& text, std::string& file, std::uint64_t& checksum) {
  std::uint64_t length = 0;
  if (!TakeNumber(text, "file ", 10, length, ':') || length >= text.size()) return false;
  file = std::string(text.substr(0, length));
  if (text[length] != '\n') return false;
  text.remove_prefix(length + 1);
  if (!TakeNumber(text, "checksum ", 16, checksum, '\n') || !text.starts_with('\n')) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::string WorkFileOf(const Document& doc) {
  return doc.loadedFile.empty() ? std::string() : fileaccess::AbsolutePath(doc.loadedFile);
}

std::string EncodeRecoveryCopy(const Document& doc) {
  auto def = std::make_unique<model::KeyboardDefinition>(doc.def);
  model::FlattenStrings(*def);
  persist::HeaderImage header = doc.header;
  const auto bytes = persist::EncodeConfigFile(*def, header);
  const std::string_view body(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string file = WorkFileOf(doc);
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "%016" PRIx64, fileaccess::Checksum(body));
  std::string copy(kFirstLine);
  copy.append("file ").append(std::to_string(file.size())).append(":").append(file).append("\n");
  copy.append("checksum ").append(checksum).append("\n\n");
  return copy.append(body);
}

bool DecodeRecoveryCopy(std::string_view bytes, RecoveredWork& work, std::string& reason) {
  if (!bytes.starts_with(kFirstLine)) {
    reason = "it is not a recovery copy";
    return false;
  }
  bytes.remove_prefix(kFirstLine.size());
  std::uint64_t checksum = 0;
  if (!TakeHeader(bytes, work.file, checksum)) {
    reason = "its header is damaged";
    return false;
  }
  if (bytes.size() != persist::kConfigFileSize) {
    reason = "it holds " + std::to_string(bytes.size()) + " bytes of definition instead of " +
             std::to_string(persist::kConfigFileSize);
    return false;
  }
  if (fileaccess::Checksum(bytes) != checksum) {
    reason = "its checksum does not match what it holds";
    return false;
  }
  model::InitialiseDefinition(work.def);
  model::ClearKeys(work.def);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  if (persist::DecodeConfigFile({data, bytes.size()}, work.def, work.header) !=
      persist::LoadOutcome::Loaded) {
    reason = "its definition cannot be decoded";
    return false;
  }
  model::Settings settings = persist::FromHeader(work.header);
  if (!work.file.empty()) settings.ConfigFileName = FileNameOf(work.file);
  model::KeepWithinRanges(settings);
  work.def.settings = std::move(settings);
  model::ClearStringWorkBuffer(work.def, false);
  model::RebuildStringWorkBuffer(work.def);
  return true;
}

std::string WorkName(const std::string& file) {
  return file.empty() ? "the new definition" : FileNameOf(file);
}

}  // namespace veltrane::ui
