// SPDX-License-Identifier: MIT
#include "persist/config_file.h"

#include <algorithm>

#include "fileaccess/read_file.h"
#include "fileaccess/replace_file.h"
#include "persist/byte_io.h"
#include "persist/definition_text.h"
#include "persist/header_settings.h"

namespace veltrane::persist {
namespace {

using model::KeyDefinition;
using model::KeyLayer;

constexpr std::size_t kStringIndexSize = 2 * model::kStringCount;
constexpr std::size_t kStringStoreSize = model::kStrokeBytes * model::kStoreEntries;

// Where the parts of one file generation lie.
struct Layout {
  std::size_t keyMatrix;
  std::size_t keyRecordSize;
  constexpr std::size_t StringIndex() const { return keyMatrix + model::kKeyCount * keyRecordSize; }
  constexpr std::size_t StringStore() const { return StringIndex() + kStringIndexSize; }
  constexpr std::size_t Trailer() const { return StringStore() + kStringStoreSize; }
  constexpr std::size_t Length() const { return Trailer() + kTrailerSize; }
};

constexpr Layout kCurrent{kHeaderSize, kKeyRecordSize};
constexpr Layout kEarlier{kEarlierHeaderSize, kKeyRecordSize};
constexpr Layout kOldest{kEarlierHeaderSize, kOldKeyRecordSize};
static_assert(kCurrent.Length() == kConfigFileSize && kCurrent.StringIndex() == 18580 &&
              kCurrent.StringStore() == 18836 && kCurrent.Trailer() == 19604);
static_assert(kEarlier.Length() == kEarlierConfigFileSize && kEarlier.StringIndex() == 18576);
static_assert(kKeyRecordSize == 64 + model::kLayerCount * kLayerRecordSize);
static_assert(kOldest.Length() == kOldestConfigFileSize && kOldest.StringIndex() == 14480 &&
              kOldest.StringStore() == 14736 && kOldest.Trailer() == 15504);

// Old key record: the layers are 12 bytes apart and have no character count.
constexpr std::size_t kOldFirstLayer = 61;
constexpr std::size_t kOldLayerStride = 12;

void PutLayer(ByteWriter& out, const KeyLayer& layer) {
  out.U8(layer.used);
  out.Bytes(layer.padding1);
  out.I32(layer.ibmkey);
  out.U8(layer.keymode);
  out.U8(layer.keytype);
  out.U8(layer.scan2code);
  out.U8(layer.scan3code);
  out.U8(layer.usbcode);
  out.Bytes(layer.padding2);
  out.I32(layer.stringcharcount);
}

void PutKey(ByteWriter& out, const KeyDefinition& key) {
  out.U32(key.buttonHandle);
  out.U8(key.enabled);
  out.U8(key.used);
  out.U8(key.complete);
  out.U8(key.padding1);
  out.U32(key.buttonId);
  out.I32(key.buttonX);
  out.I32(key.buttonY);
  out.I32(key.buttonWidth);
  out.I32(key.buttonHeight);
  out.Bytes(key.legend);
  out.U8(key.logicalAddress);
  out.Bytes(key.padding2);
  for (const KeyLayer& layer : key.layers) PutLayer(out, layer);
}

void GetLayer(ByteReader& in, KeyLayer& layer) {
  layer.used = in.U8();
  in.Bytes(layer.padding1);
  layer.ibmkey = in.I32();
  layer.keymode = in.U8();
  layer.keytype = in.U8();
  layer.scan2code = in.U8();
  layer.scan3code = in.U8();
  layer.usbcode = in.U8();
  in.Bytes(layer.padding2);
  layer.stringcharcount = in.I32();
}

void GetKey(ByteReader& in, KeyDefinition& key) {
  key.buttonHandle = in.U32();
  key.enabled = in.U8();
  key.used = in.U8();
  key.complete = in.U8();
  key.padding1 = in.U8();
  key.buttonId = in.U32();
  key.buttonX = in.I32();
  key.buttonY = in.I32();
  key.buttonWidth = in.I32();
  key.buttonHeight = in.I32();
  in.Bytes(key.legend);
  key.logicalAddress = in.U8();
  in.Bytes(key.padding2);
  for (KeyLayer& layer : key.layers) GetLayer(in, layer);
}

// Moves the fields an old record has into the key; the button position and
// size and every padding byte keep their values.
void GetOldKey(ByteReader& in, KeyDefinition& key) {
  const std::size_t record = in.Position();
  key.buttonHandle = in.U32();
  key.enabled = in.U8();
  key.used = in.U8();
  key.complete = in.U8();
  in.Skip(1);
  key.buttonId = in.U32();
  in.Skip(16);
  in.Bytes(key.legend);
  key.logicalAddress = in.U8();
  for (std::size_t l = 0; l < model::kLayerCount; ++l) {
    KeyLayer& layer = key.layers[l];
    in.Seek(record + kOldFirstLayer + kOldLayerStride * l);
    layer.used = in.U8();
    in.Skip(2);
    layer.ibmkey = in.I32();
    layer.keymode = in.U8();
    layer.keytype = in.U8();
    layer.scan2code = in.U8();
    layer.scan3code = in.U8();
    layer.usbcode = in.U8();
    layer.stringcharcount = 0;
  }
  in.Seek(record + kOldKeyRecordSize);
}

const Layout* LayoutOfLength(std::size_t length) {
  switch (length) {
    case kConfigFileSize:
      return &kCurrent;
    case kEarlierConfigFileSize:
      return &kEarlier;
    case kOldestConfigFileSize:
      return &kOldest;
    default:
      return nullptr;
  }
}

// The header as the file gives it: its first 144 bytes (or as many as a short
// file has); bytes 144..147 from a current file, the scroll-wheel gain 1 for an
// earlier one, and otherwise unchanged. The versions become those written.
void ReadHeader(std::span<const std::uint8_t> file, HeaderImage& header) {
  const std::size_t count =
      file.size() == kConfigFileSize ? kHeaderSize : std::min(file.size(), kEarlierHeaderSize);
  std::copy_n(file.begin(), count, header.bytes.begin());
  // The earlier generation has no gain field: its gain is 1.
  if (file.size() == kEarlierConfigFileSize)
    header.bytes[model::SettingNamed("ScrollWheelGain").headerOffset] = 1;
  header.SetI32(header::VersionMinor, kWrittenVersionMinor);
  header.SetI32(header::VersionMajor, kWrittenVersionMajor);
}

}  // namespace

bool LooksLikeConfigFile(std::span<const std::uint8_t> file) {
  if (LayoutOfLength(file.size()) == nullptr) return false;
  ByteReader versions(file);
  const std::int32_t minor = versions.I32();
  const std::int32_t major = versions.I32();
  return major >= 4 && minor >= 0 && minor <= 2;
}

LoadOutcome DecodeConfigFile(std::span<const std::uint8_t> file, model::KeyboardDefinition& def,
                             HeaderImage& header) {
  model::ClearStringStore(def);
  // A file too short to hold both versions is judged by its length alone.
  if (file.size() >= 8) {
    ByteReader versions(file);
    const std::int32_t minor = versions.I32();
    const std::int32_t major = versions.I32();
    if (major < 4) return LoadOutcome::Incompatible;
    if (minor < 0 || minor > 2) return LoadOutcome::BadMinorVersion;
  }

  ReadHeader(file, header);
  const Layout* layout = LayoutOfLength(file.size());
  if (layout == nullptr) return LoadOutcome::BadLength;

  ByteReader in(file, layout->keyMatrix);
  for (KeyDefinition& key : def.keys) {
    if (layout->keyRecordSize == kOldKeyRecordSize) {
      GetOldKey(in, key);
    } else {
      GetKey(in, key);
    }
  }
  for (std::uint16_t& index : def.stringIndex) index = in.U16();
  for (model::StringChar& entry : def.stringStore) {
    model::StrokeBytes bytes{};
    in.Bytes(bytes);
    entry = model::DecodeStroke(bytes);
  }
  return LoadOutcome::Loaded;
}

ConfigLoad ReadConfigFile(const std::string& path, model::KeyboardDefinition& def,
                          HeaderImage& header) {
  model::ClearKeys(def);
  // A longer file is read no further than one byte past the longest generation,
  // which the decoder then refuses as a wrong length.
  const fileaccess::ReadResult file = fileaccess::ReadFile(path, kConfigFileSize);
  if (!file.ok() && file.error != fileaccess::ReadError::TooLarge) {
    const bool named = file.error == fileaccess::ReadError::NotRegular;
    return {LoadOutcome::CannotOpen, named ? file.reason : std::string()};
  }
  return LoadConfigBytes(file.bytes, def, header);
}

ConfigLoad LoadConfigBytes(std::span<const std::uint8_t> file, model::KeyboardDefinition& def,
                           HeaderImage& header) {
  model::ClearKeys(def);
  ConfigLoad load{DecodeConfigFile(file, def, header), {}};
  load.definitionText = !load.ok() && LooksLikeDefinitionText(file);
  if (load.outcome == LoadOutcome::BadMinorVersion) {
    ByteReader versions(file);
    load.minor = versions.I32();
    load.major = versions.I32();
  }
  return load;
}

std::array<std::uint8_t, kConfigFileSize> EncodeConfigFile(const model::KeyboardDefinition& def,
                                                           HeaderImage& header) {
  ToHeader(def.settings, header);
  std::array<std::uint8_t, kConfigFileSize> file{};  // the trailer stays zero
  ByteWriter out(file);
  out.Bytes(header.bytes);
  for (const KeyDefinition& key : def.keys) PutKey(out, key);
  for (std::uint16_t index : def.stringIndex) out.U16(index);
  for (const model::StringChar& entry : def.stringStore) out.Bytes(model::EncodeStroke(entry));
  return file;
}

fileaccess::Status WriteConfigFile(const std::string& path, const model::KeyboardDefinition& def,
                                   HeaderImage& header) {
  HeaderImage filled = header;
  const auto file = EncodeConfigFile(def, filled);
  fileaccess::Status written = fileaccess::ReplaceFile(path, file);
  if (written) header = filled;
  return written;
}

}  // namespace veltrane::persist
