// SPDX-License-Identifier: MIT
#include "eeprom/image_reader.h"

#include <algorithm>
#include <utility>

#include "eeprom/firmware_version.h"
#include "model/key_tables.h"

namespace veltrane::eeprom {
namespace {

using model::KeyboardDefinition;
using model::StringChar;

constexpr std::size_t kStroke = model::kStrokeBytes;

StringChar StrokeAt(const EepromImage& image, std::size_t at) {
  return model::DecodeStroke(std::span<const std::uint8_t, kStroke>(image.data() + at, kStroke));
}

// The text field at `offset` up to its first 0x00 or 0xFF, at most 31
// characters; nothing when its first byte is erased.
std::optional<std::string> ReadTextField(const EepromImage& image, std::size_t offset) {
  if (image[offset] == 0xFF) return std::nullopt;
  std::string text;
  for (std::size_t k = 0; k < info::TextFieldLimit; ++k) {
    const std::uint8_t c = image[offset + k];
    if (c == 0x00 || c == 0xFF) break;
    text += static_cast<char>(c);
  }
  return text;
}

// A one-byte setting; an erased byte (0xFF where no value of the range reads so) is not read.
bool ReadByte(const EepromImage& image, const model::SettingEntry& e, model::Settings& settings) {
  const std::uint8_t b = image[e.imageOffset];
  const std::int64_t before = e.get(settings);
  e.set(settings, b);
  if (b != 0xFF || e.InRange(e.get(settings))) return true;
  e.set(settings, before);
  return false;
}

// Reads one setting in its image form; false when the image does not carry it.
bool ReadSetting(const EepromImage& image, int firmwareVersion, const model::SettingEntry& e,
                 model::Settings& settings) {
  switch (e.imageForm) {
    case model::ImageForm::Byte:
      return ReadByte(image, e, settings);
    case model::ImageForm::LedMask: {
      const auto leds = LedsFromMasks(image, firmwareVersion);
      if (leds) e.set(settings, (*leds)[e.element]);
      return leds.has_value();
    }
    case model::ImageForm::ScanRows: {
      const int scanRows = image[e.imageOffset];
      if (scanRows == 0xFF) return false;
      e.set(settings, ((scanRows - 1) >> 1) + 1);
      return true;
    }
    case model::ImageForm::Text: {
      const auto text = ReadTextField(image, e.imageOffset);
      if (text) settings.*e.text = *text;
      return text.has_value();
    }
    default:
      return false;
  }
}

void ReadStringIndex(const EepromImage& image, KeyboardDefinition& def) {
  for (std::size_t s = 0; s < model::kStringCount; ++s) {
    const std::uint8_t lo = image[region::StringPointers + 2 * s];
    const std::uint8_t hi = image[region::StringPointers + 2 * s + 1];
    // A high byte of 0xFF is erased memory.
    def.stringIndex[s] = hi == 0xFF ? 0 : static_cast<std::uint16_t>(hi << 8 | lo);
  }
}

// Copies the string at p into its row: its strokes up to the terminator (all
// four bytes zero), as the build packs them, while the store lasts and the row
// keeps room for its own terminator.
void CopyString(const EepromImage& image, std::size_t p, model::StringRow& row) {
  std::size_t j = 0;
  for (; j < model::kMaxStringStrokes && p + kStroke <= region::StorageEnd; ++j, p += kStroke) {
    const StringChar stroke = StrokeAt(image, p);
    if (stroke.IsTerminator()) break;
    row[j] = stroke;
  }
  row[j] = StringChar{};
}

// Copies every string the pointer table leads into the store into its row,
// whether a key refers to it or not: the store holds every row's strings, and
// they build into the same store again. Returns NumberOfStrings: one more
// than the string number of the string key at the highest address below 128,
// as the configuration header has always counted it.
std::int32_t ReadStrings(const EepromImage& image, KeyboardDefinition& def) {
  for (std::size_t s = 0; s < model::kStringCount; ++s) {
    const int p = static_cast<std::int16_t>(def.stringIndex[s]);
    if (p < static_cast<int>(region::StringStorage) ||
        p + static_cast<int>(kStroke) > static_cast<int>(region::StorageEnd))
      continue;
    CopyString(image, static_cast<std::size_t>(p), def.stringWorkBuffer[s]);
  }
  std::int32_t numberOfStrings = 1;
  for (std::size_t a = 0; a < 128; ++a)
    if (image[region::KeyInfo + a] == model::STRING_KEY)
      numberOfStrings = std::int32_t{image[region::ScanSet2 + a]} + 1;
  return numberOfStrings;
}

void ReadStringStore(const EepromImage& image, KeyboardDefinition& def) {
  for (std::size_t k = 0; k < model::kStoreEntries; ++k) {
    const std::size_t at = region::StringStorage + kStroke * k;
    // A first byte of 0xFF is erased memory.
    def.stringStore[k] = image[at] == 0xFF ? StringChar{} : StrokeAt(image, at);
  }
}

bool HoldsCodes(const model::IbmKeyRow& row, std::uint8_t scan2, std::uint8_t scan3,
                std::uint8_t usb) {
  return row.scan2 == scan2 && row.scan3 == scan3 && row.usb == usb;
}

// The table row of a layer: found by its USB code (and for most types its
// type) as images have always been read, unless that row's codes are not the
// ones stored (the type carries light flags, or several rows share the USB
// code); then the first row holding all three codes, so that the layer builds
// back into the same codes.
std::int32_t IbmKeyOf(std::uint8_t keytype, std::uint8_t scan2, std::uint8_t scan3,
                      std::uint8_t usb) {
  int searched = 0;
  switch (keytype) {
    case model::STRING_KEY:
      return scan2;
    case model::NORMAL_KEY:
    case model::LOCAL_SHIFT_LEFT_KEY:
    case model::SHIFT_LEFT_KEY:
    case model::UNUSED_KEY:
      searched = model::FindRowByUsb(usb);
      break;
    default:
      searched = model::FindRowByTypeAndUsb(keytype, usb);
      break;
  }
  if (HoldsCodes(model::IbmKeyTable[static_cast<std::size_t>(searched)], scan2, scan3, usb))
    return searched;
  for (const model::IbmKeyRow& row : model::IbmKeyTable)
    if (HoldsCodes(row, scan2, scan3, usb)) return row.number;
  return searched;
}

// Firmware 500..699 keeps the key mode bits in its own order.
void ReadKeys(const EepromImage& image, KeyboardDefinition& def, bool firmwareOrder) {
  for (int i = 0; i < model::kKeyCount; ++i) {
    model::KeyDefinition& key = def.keys[static_cast<std::size_t>(i)];
    for (int j = 0; j < model::kLayerCount; ++j) {
      const std::uint8_t b = image[LogicalAddressOffset(j, i)];
      if (b == kNoKeyAddress) continue;
      key.enabled = key.used = key.complete = 1;
      model::KeyLayer& layer = key.layers[static_cast<std::size_t>(j)];
      layer.used = 1;
      layer.keymode = firmwareOrder ? KeyModeFromFirmware(image[region::KeyMode + b])
                                    : image[region::KeyMode + b];
      layer.keytype = image[region::KeyInfo + b];
      layer.scan2code = image[region::ScanSet2 + b];
      layer.scan3code = image[region::ScanSet3 + b];
      layer.usbcode = image[region::UsbSet + b];
      layer.ibmkey = IbmKeyOf(layer.keytype, layer.scan2code, layer.scan3code, layer.usbcode);
    }
  }
}

}  // namespace

ImageRead DecodeImage(const EepromImage& image, int firmwareVersion,
                      model::KeyboardDefinition& def) {
  model::ClearStringStore(def);
  ImageRead read{def.settings, {}};
  for (const model::SettingEntry& e : model::SettingsSchema())
    if (ReadSetting(image, firmwareVersion, e, read.settings))
      read.read.set(model::SettingIndex(e));
  ReadStringIndex(image, def);
  const std::int32_t numberOfStrings = ReadStrings(image, def);
  for (const model::SettingEntry& e : model::SettingsSchema()) {
    if (e.imageForm != model::ImageForm::StringCount) continue;
    e.set(read.settings, numberOfStrings);
    read.read.set(model::SettingIndex(e));
  }
  ReadStringStore(image, def);
  ReadKeys(image, def, UsesFirmwareKeyModeOrder(firmwareVersion));
  return read;
}

std::optional<std::array<std::int32_t, model::kLedCount>> LedsFromMasks(const EepromImage& image,
                                                                        int firmwareVersion) {
  for (int f = 1; f <= 5; ++f)
    if (image[info::LedMaskBase + static_cast<std::size_t>(f)] == 0xFF) return std::nullopt;
  std::array<std::int32_t, model::kLedCount> leds{};
  for (int led = 0; led < 4; ++led) {
    const std::uint8_t bit = LedOutputBit(led, firmwareVersion);
    if (bit == 0) continue;
    for (int f = 1; f <= 5 && leds[static_cast<std::size_t>(led)] == 0; ++f)
      if (image[info::LedMaskBase + static_cast<std::size_t>(f)] == bit)
        leds[static_cast<std::size_t>(led)] = f;
  }
  return leds;
}

}  // namespace veltrane::eeprom
