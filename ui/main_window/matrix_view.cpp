// SPDX-License-Identifier: MIT
#include "ui/main_window/matrix_view.h"

#include "model/diagnostics.h"
#include "model/key_tables.h"

namespace veltrane::ui {
namespace {

KeyPicture PictureOfKeyType(std::uint8_t keytype) {
  switch (keytype) {
    case model::MOUSE_BUTTON_KEY:
      return KeyPicture::Mouse;
    case model::STRING_KEY:
      return KeyPicture::String;
    case model::CONSUMER_KEY:
      return KeyPicture::Consumer;
    case model::SYSTEM_KEY:
      return KeyPicture::System;
    case model::LOCAL_ILLUMINATION_KEY:
      return KeyPicture::Illumination;
    case model::STOP_SUN_KEY:
      return KeyPicture::Stop;
    default:
      break;
  }
  if ((keytype & model::KEYTYPE_LIGHT_UP) != 0) return KeyPicture::LightUp;
  if ((keytype & model::KEYTYPE_LIGHT_DOWN) != 0) return KeyPicture::LightDown;
  return KeyPicture::Complete;
}

// A layer's meaning in words; values from a file outside the tables are shown as numbers.
std::string MeaningOf(const model::KeyLayer& layer) {
  const std::uint8_t type = layer.keytype & 0x3F;
  const std::string typeName = type < model::kKeyTypeCount
                                   ? std::string(model::KeyTypeIdentifiers[type])
                                   : model::FormatText("key type %d", layer.keytype);
  if (layer.keytype == model::STRING_KEY)
    return model::FormatText("string %d (%s)", layer.ibmkey, typeName.c_str());
  if (layer.ibmkey >= 0 && layer.ibmkey < model::kIbmKeyRowCount) {
    const auto& row = model::IbmKeyTable[static_cast<std::size_t>(layer.ibmkey)];
    return std::string(row.legend) + " (" + typeName + ")";
  }
  return model::FormatText("IBM key %d (%s)", layer.ibmkey, typeName.c_str());
}

}  // namespace

KeyPicture ChooseKeyPicture(const model::KeyDefinition& key, bool editing) {
  if (editing) return KeyPicture::Editing;
  if (key.enabled == 0) return KeyPicture::Disabled;
  if (key.enabled == 1 && key.used != 1) return KeyPicture::Unused;
  if (key.enabled == 1 && key.used == 1 && key.complete == 0) return KeyPicture::Incomplete;
  return PictureOfKeyType(key.layers[0].keytype);
}

KeyPicture LedPicture(std::int32_t led) {
  return led == 0 ? KeyPicture::LedOff : KeyPicture::Illumination;
}

std::string KeyTooltip(const model::KeyDefinition& key) {
  const std::string_view legend = model::FieldText(key.legend);
  const std::string meaning = MeaningOf(key.layers[0]);
  return (legend.empty() ? std::string("(no legend)") : std::string(legend)) +
         " — layer [0,0]: " + (key.layers[0].used != 0 ? meaning : std::string("not used"));
}

std::string KeyAccessibleName(int row, int column, KeyPicture picture) {
  return model::FormatText("Row %d, column %d: ", row, column) +
         std::string(KeyPictureName(picture));
}

}  // namespace veltrane::ui
