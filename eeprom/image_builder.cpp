// SPDX-License-Identifier: MIT
#include "eeprom/image_builder.h"

#include <algorithm>
#include <cstddef>

#include "eeprom/firmware_version.h"
#include "model/key_tables.h"
#include "model/settings_schema.h"

namespace veltrane::eeprom {
namespace {

using model::KeyboardDefinition;
using model::KeyLayer;
using model::LogPrintf;
using model::LogSink;

// What a placed layer writes at its logical address: the key mode as the
// firmware reads it, the key type and the three codes. Layers that write the
// same bytes share one address, so that an image read back from a keyboard
// builds into the same bytes again.
struct Meaning {
  std::uint8_t keymode = 0;
  std::uint8_t keytype = 0;
  std::uint8_t scan2 = 0;
  std::uint8_t scan3 = 0;
  std::uint8_t usb = 0;
  friend bool operator==(const Meaning&, const Meaning&) = default;
};

// The table row whose codes a layer is placed with: its ibmkey's, or "No Key"
// for an ibmkey that is no row.
const model::IbmKeyRow& PlacedRow(const KeyLayer& layer) {
  const model::IbmKeyRow* row = model::IbmKeyRowAt(layer.ibmkey);
  return row != nullptr ? *row : model::IbmKeyTable[0];
}

Meaning MeaningOf(const KeyLayer& layer, bool firmwareOrder) {
  Meaning meaning{firmwareOrder ? KeyModeToFirmware(layer.keymode) : layer.keymode, layer.keytype};
  if (layer.keytype == model::STRING_KEY) {
    const auto number = static_cast<std::uint8_t>(layer.ibmkey);
    meaning.scan2 = meaning.scan3 = meaning.usb = number;
  } else {
    const model::IbmKeyRow& row = PlacedRow(layer);
    meaning.scan2 = row.scan2;
    meaning.scan3 = row.scan3;
    meaning.usb = row.usb;
  }
  return meaning;
}

struct MeaningList {
  std::array<Meaning, kMaxDistinctMeanings> entries{};
  int count = 0;

  int Find(const Meaning& meaning) const {
    for (int i = 0; i < count; ++i)
      if (entries[static_cast<std::size_t>(i)] == meaning) return i;
    return -1;
  }
};

using LayerAddresses = std::array<std::array<std::uint8_t, model::kLayerCount>, model::kKeyCount>;

const KeyLayer& LayerAt(const KeyboardDefinition& def, int keyIndex, int layer) {
  return def.keys[static_cast<std::size_t>(keyIndex)].layers[static_cast<std::size_t>(layer)];
}

// Only used layers of used keys reach the keyboard, so only they take addresses.
bool Placed(const KeyboardDefinition& def, int keyIndex, int layer) {
  return def.keys[static_cast<std::size_t>(keyIndex)].used != 0 &&
         LayerAt(def, keyIndex, layer).used != 0;
}

struct Numbering {
  MeaningList list;
  bool firmwareOrder = false;
  int distinct = 0;  // also counts meanings that found no free address
};

// Whether a placed layer visited before this one (row-major, layer innermost)
// has the same meaning; only asked once the address list is full.
bool SeenBefore(const KeyboardDefinition& def, int keyIndex, int layer, const Meaning& meaning,
                bool firmwareOrder) {
  for (int visit = 0; visit < keyIndex * model::kLayerCount + layer; ++visit) {
    const int index = visit / model::kLayerCount;
    const int j = visit % model::kLayerCount;
    if (Placed(def, index, j) && MeaningOf(LayerAt(def, index, j), firmwareOrder) == meaning)
      return true;
  }
  return false;
}

// The address of one placed layer: that of an equal meaning seen before, else
// the next free one, else none once every address is taken.
std::uint8_t NumberLayer(const KeyboardDefinition& def, int row, int column, int j,
                         Numbering& numbering, LogSink* log) {
  const int index = model::KeyIndex(row, column);
  const KeyLayer& layer = LayerAt(def, index, j);
  const Meaning meaning = MeaningOf(layer, numbering.firmwareOrder);
  MeaningList& list = numbering.list;
  const int found = list.Find(meaning);
  if (found >= 0) {
    LogPrintf(log, "\tFound duplicate at %d , [%d,%d] \n", found, j >> 1, j & 1);
    return static_cast<std::uint8_t>(found);
  }
  if (list.count < kMaxDistinctMeanings) {
    const int n = list.count;
    LogPrintf(log, "Inserting key %d,%d [%d,%d] at %d -", row, column, j >> 1, j & 1, n);
    list.entries[static_cast<std::size_t>(n)] = meaning;
    list.count = n + 1;
    LogPrintf(log, "added %d , %d , %d , %d , %d \n", n, layer.ibmkey, layer.keymode, layer.keytype,
              layer.scan2code);
    ++numbering.distinct;
    return static_cast<std::uint8_t>(n);
  }
  if (!SeenBefore(def, index, j, meaning, numbering.firmwareOrder)) ++numbering.distinct;
  LogPrintf(log, "No logical address left for key %d,%d [%d,%d]\n", row, column, j >> 1, j & 1);
  return kNoKeyAddress;
}

// Numbers the placed layers row-major, layer innermost; returns the distinct count.
int NumberMeanings(const KeyboardDefinition& def, int firmwareVersion, LayerAddresses& addresses,
                   LogSink* log) {
  Numbering numbering;
  numbering.firmwareOrder = UsesFirmwareKeyModeOrder(firmwareVersion);
  for (int row = 0; row < model::kRows; ++row) {
    for (int column = 0; column < model::kColumns; ++column) {
      const auto index = static_cast<std::size_t>(model::KeyIndex(row, column));
      for (int j = 0; j < model::kLayerCount; ++j) {
        if (!Placed(def, static_cast<int>(index), j)) continue;
        addresses[index][static_cast<std::size_t>(j)] =
            NumberLayer(def, row, column, j, numbering, log);
      }
    }
  }
  return numbering.distinct;
}

void SetCodes(EepromImage& image, std::uint8_t a, std::uint8_t scan2, std::uint8_t scan3,
              std::uint8_t usb) {
  image[region::ScanSet2 + a] = scan2;
  image[region::ScanSet3 + a] = scan3;
  image[region::UsbSet + a] = usb;
}

// Writes one used layer of a used key at its address; returns false when its
// ibmkey is no table row and it was placed as "No Key".
bool PlaceLayer(const KeyLayer& layer, std::uint8_t a, int row, int column, int j,
                EepromImage& image, LogSink* log) {
  image[LogicalAddressOffset(j, model::KeyIndex(row, column))] = a;
  image[region::KeyMode + a] = layer.keymode;
  image[region::KeyInfo + a] = layer.keytype;
  if (layer.keytype == model::STRING_KEY) {
    LogPrintf(log, "String: %d at %d,%d\n", layer.ibmkey, row, column);
    const auto number = static_cast<std::uint8_t>(layer.ibmkey);
    SetCodes(image, a, number, number, number);
    return true;
  }
  const bool valid = model::IbmKeyRowAt(layer.ibmkey) != nullptr;
  if (!valid)
    LogPrintf(log, "Invalid ibmkey %d at %d,%d [%d,%d]\n", layer.ibmkey, row, column, j >> 1,
              j & 1);
  LogPrintf(log, "Normal key: %d, %d, %d at %d,%d\n", a, layer.ibmkey, layer.keymode, row, column);
  const model::IbmKeyRow& entry = PlacedRow(layer);
  SetCodes(image, a, entry.scan2, entry.scan3, entry.usb);
  return valid;
}

// Places every used layer of every used key; returns the count of invalid ibmkeys.
int PlaceKeys(const KeyboardDefinition& def, const LayerAddresses& addresses, EepromImage& image,
              LogSink* log) {
  int invalid = 0;
  for (int row = 0; row < model::kRows; ++row) {
    for (int column = 0; column < model::kColumns; ++column) {
      const int index = model::KeyIndex(row, column);
      if (def.keys[static_cast<std::size_t>(index)].used == 0) continue;
      for (int j = 0; j < model::kLayerCount; ++j) {
        const KeyLayer& layer = LayerAt(def, index, j);
        const std::uint8_t a =
            addresses[static_cast<std::size_t>(index)][static_cast<std::size_t>(j)];
        // A meaning without an address stays "no key" rather than aliasing another.
        if (layer.used == 0 || a == kNoKeyAddress) continue;
        if (!PlaceLayer(layer, a, row, column, j, image, log)) ++invalid;
      }
    }
  }
  return invalid;
}

void FillWithFillers(EepromImage& image) {
  std::fill(image.begin(), image.begin() + 0x400, 0xFF);
  std::fill(image.begin() + 0x400, image.end(), 0x00);
  std::fill_n(image.begin() + region::KeyInfo, region::TableSize, model::UNUSED_KEY);
  std::fill_n(image.begin() + region::GeneralInfo, 2 * region::TableSize, 0xFF);
}

void WriteLedMasks(const model::Settings& settings, int firmwareVersion, EepromImage& image) {
  const std::array<std::int32_t, model::kLedCount>& leds = settings.Leds;
  for (int function = 1; function <= 5; ++function) {
    // The first LED showing the function decides its bit.
    const auto* first = std::find(leds.begin(), leds.end(), function);
    const std::uint8_t bit =
        first == leds.end() ? 0
                            : LedOutputBit(static_cast<int>(first - leds.begin()), firmwareVersion);
    image[info::LedMaskBase + static_cast<std::size_t>(function)] = bit;
  }
}

// The text cut to its limit on a character boundary and one 0x00; the
// field's rest keeps its filler.
void WriteText(EepromImage& image, std::size_t offset, std::string_view text, std::size_t limit) {
  const std::size_t n = model::Utf8CutLength(text, limit);
  std::copy_n(text.begin(), n, image.begin() + static_cast<std::ptrdiff_t>(offset));
  image[offset + n] = 0x00;
}

// A setting's text never brings a control character into the image.
void WriteSettingText(EepromImage& image, std::size_t offset, std::string_view text) {
  if (model::IsPrintableText(text)) return WriteText(image, offset, text, info::TextFieldLimit);
  WriteText(image, offset, model::WithoutControls(text), info::TextFieldLimit);
}

// A one-byte setting: its value within its range (a debounce time past 255 is 255).
std::uint8_t ImageByte(const model::SettingEntry& e, const model::Settings& settings) {
  return static_cast<std::uint8_t>(e.Clamped(e.get(settings)));
}

void WriteSetting(const model::SettingEntry& e, const model::Settings& settings,
                  int firmwareVersion, EepromImage& image) {
  switch (e.imageForm) {
    case model::ImageForm::Byte:
      image[e.imageOffset] = ImageByte(e, settings);
      return;
    case model::ImageForm::LedMask:
      return WriteLedMasks(settings, firmwareVersion, image);
    case model::ImageForm::ScanRows:
      image[e.imageOffset] = static_cast<std::uint8_t>(
          UsesFirmwareKeyModeOrder(firmwareVersion) ? 2 * ImageByte(e, settings) - 1 : 16);
      return;
    case model::ImageForm::Text:
      return WriteSettingText(image, e.imageOffset, settings.*e.text);
    default:
      return;
  }
}

// Every setting the image carries, in its form; then the key mode bit order
// of firmware 500..699 and the fixed block.
void WriteSettings(const model::Settings& settings, int firmwareVersion, EepromImage& image) {
  image[info::Zero] = 0x00;
  for (const model::SettingEntry& e : model::SettingsSchema())
    WriteSetting(e, settings, firmwareVersion, image);
  for (const model::SettingEntry& e : model::SettingsSchema())
    if (e.imageCopy != 0) image[e.imageCopy] = ImageByte(e, settings);
  if (UsesFirmwareKeyModeOrder(firmwareVersion)) {
    for (std::size_t a = 0; a < region::TableSize; ++a)
      image[region::KeyMode + a] = KeyModeToFirmware(image[region::KeyMode + a]);
  }
  std::copy(kFixedBlock.begin(), kFixedBlock.end(), image.begin() + info::FixedBlock);
}

void CopyStringStore(const KeyboardDefinition& def, EepromImage& image) {
  for (std::size_t s = 0; s < model::kStringCount; ++s) {
    image[region::StringPointers + 2 * s] = static_cast<std::uint8_t>(def.stringIndex[s] & 0xFF);
    image[region::StringPointers + 2 * s + 1] = static_cast<std::uint8_t>(def.stringIndex[s] >> 8);
  }
  for (std::size_t k = 0; k < model::kStoreEntries; ++k) {
    const model::StrokeBytes bytes = model::EncodeStroke(def.stringStore[k]);
    std::copy(bytes.begin(), bytes.end(),
              image.begin() + region::StringStorage + model::kStrokeBytes * k);
  }
}

}  // namespace

BuildResult BuildImage(const model::KeyboardDefinition& def, std::string_view versionText,
                       int firmwareVersion, EepromImage& image, model::LogSink* log) {
  BuildResult result;
  LogPrintf(log, "Setting up\n");
  LayerAddresses addresses;
  for (auto& key : addresses) key.fill(kNoKeyAddress);
  FillWithFillers(image);
  LogPrintf(log, "Reducing keys\n");
  result.distinctMeanings = NumberMeanings(def, firmwareVersion, addresses, log);
  result.fits = result.distinctMeanings <= kMaxDistinctMeanings;
  LogPrintf(log, "Writing Keys\n");
  result.invalidIbmKeys = PlaceKeys(def, addresses, image, log);
  WriteSettings(def.settings, firmwareVersion, image);
  LogPrintf(log, "Copying String\n");
  CopyStringStore(def, image);
  WriteText(image, info::VersionText, versionText, info::VersionTextLimit);
  return result;
}

void StampSerialNumber(EepromImage& image, std::string_view serialNumber) {
  const std::size_t offset = model::SettingNamed("SerialNumber").imageOffset;
  const auto field = image.begin() + static_cast<std::ptrdiff_t>(offset);
  std::fill(field, field + static_cast<std::ptrdiff_t>(info::TextFieldLimit + 1), 0xFF);
  WriteSettingText(image, offset, serialNumber);
}

}  // namespace veltrane::eeprom
