// SPDX-License-Identifier: MIT
#include "picture/key_meaning.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

#include "model/key_tables.h"
#include "persist/key_labels.h"

namespace veltrane::picture {
namespace {

// Names of the key tables shortened to what fits a printed key.
constexpr std::array<std::pair<std::string_view, std::string_view>, 37> kShortNames = {{
    {"Left Ctrl", "Ctrl"},
    {"Left Shift", "Shift"},
    {"Left Alt", "Alt"},
    {"Left GUI", "Super"},
    {"Right Ctrl", "RCtrl"},
    {"Right Shift", "RShift"},
    {"Right Alt", "AltGr"},
    {"Right GUI", "RSuper"},
    {"Backspace", "Bksp"},
    {"Caps Lock", "Caps"},
    {"Print Screen", "PrtSc"},
    {"Scroll Lock", "ScrLk"},
    {"Page Up", "PgUp"},
    {"Page Down", "PgDn"},
    {"Num Lock", "NumLk"},
    {"Escape", "Esc"},
    {"Insert", "Ins"},
    {"Delete", "Del"},
    {"Application", "Menu"},
    {"Keypad Enter", "KP Enter"},
    {"Non-US #", "#"},
    {"Non-US \\", "\\"},
    {"Left Mouse Button", "Mouse L"},
    {"Right Mouse Button", "Mouse R"},
    {"Middle Mouse Button", "Mouse M"},
    {"Fn1 Button", "Fn1"},
    {"Fn2 Button", "Fn2"},
    {"System power", "Power"},
    {"System sleep", "Sleep"},
    {"System wake", "Wake"},
    {"Next track", "Next"},
    {"Prev track", "Prev"},
    {"Play-Pause", "Play"},
    {"Volume up", "Vol+"},
    {"Volume down", "Vol-"},
    {"Stop SUN", "Stop"},
    {"No Key", ""},
}};

// keymode bits 0, 1, 2 and 5: the modifiers the key is sent with.
constexpr std::array<std::pair<std::uint8_t, std::string_view>, 4> kModeNames = {{
    {model::KEYMODE_CTRL, "Ctrl"},
    {model::KEYMODE_SHIFT, "Shift"},
    {model::KEYMODE_ALT, "Alt"},
    {model::KEYMODE_ALTGR, "AltGr"},
}};

// A stroke's modifier byte, bits 0..7 as USB has them.
constexpr std::array<std::string_view, 8> kStrokeModifiers = {"Ctrl",  "Shift",  "Alt",   "Super",
                                                              "RCtrl", "RShift", "AltGr", "RSuper"};

std::string ShortName(int row) {
  std::string name = persist::KeyLabel(row);
  for (const auto& [full, shortened] : kShortNames)
    if (name == full) return std::string(shortened);
  if (name.starts_with("Keypad ")) return "KP " + name.substr(7);
  return name;
}

MeaningKind KindOfRow(const model::IbmKeyRow& row) {
  switch (row.type) {
    case model::MOUSE_BUTTON_KEY:
      return MeaningKind::Mouse;
    case model::CONSUMER_KEY:
    case model::SYSTEM_KEY:
    case model::STOP_SUN_KEY:
      return MeaningKind::Media;
    case model::LOCAL_SHIFT_RIGHT_KEY:
    case model::LOCAL_SHIFT_LEFT_KEY:
    case model::ALPHA_LOCK_KEY:
      return MeaningKind::Fn;
    default:
      return row.usb >= 0xE0 && row.usb <= 0xE7 ? MeaningKind::Modifier : MeaningKind::Key;
  }
}

// The meaning of the low six bits of keytype with ibmkey, light flags aside.
Meaning BaseMeaning(const model::KeyLayer& layer) {
  switch (layer.keytype & 0x3F) {
    case model::STRING_KEY:
      return {"Macro " + std::to_string(layer.ibmkey), "", MeaningKind::Macro};
    case model::LOCAL_ILLUMINATION_KEY:
      return {"Light", "", MeaningKind::Light};
    case model::UNUSED_KEY:
      return {};
    case model::LOCAL_SHIFT_RIGHT_KEY:
    case model::LOCAL_SHIFT_LEFT_KEY:
      return {"Fn1", "", MeaningKind::Fn};
    case model::ALPHA_LOCK_KEY:
      return {"Fn2", "", MeaningKind::Fn};
    default:
      break;
  }
  const model::IbmKeyRow* row = model::IbmKeyRowAt(layer.ibmkey);
  if (row == nullptr) return {"IBM " + std::to_string(layer.ibmkey), "", MeaningKind::Key};
  if (layer.ibmkey == 0) return {};
  Meaning meaning{ShortName(layer.ibmkey), "", KindOfRow(*row)};
  for (const auto& [bit, name] : kModeNames)
    if ((layer.keymode & bit) != 0)
      meaning.modes.append(meaning.modes.empty() ? "" : "+").append(name);
  return meaning;
}

// The table row whose codes and type a stroke carries, or -1.
int StrokeRow(const model::StringChar& stroke) {
  for (const model::IbmKeyRow& row : model::IbmKeyTable)
    if (row.usb == stroke.characterUSB && row.scan2 == stroke.characterMode2 &&
        row.type == stroke.characterType)
      return row.number;
  return -1;
}

}  // namespace

Meaning LayerMeaning(const model::KeyLayer& layer) {
  Meaning meaning = BaseMeaning(layer);
  const bool up = (layer.keytype & model::KEYTYPE_LIGHT_UP) != 0;
  const bool down = (layer.keytype & model::KEYTYPE_LIGHT_DOWN) != 0;
  if (!up && !down) return meaning;
  const std::string light = up ? "Light+" : "Light-";
  if (meaning.kind == MeaningKind::None || meaning.kind == MeaningKind::Light)
    return {light, "", MeaningKind::Light};
  meaning.words += " " + light;
  return meaning;
}

bool IsActive(const model::KeyDefinition& key, int layer) {
  const model::KeyLayer& l = key.layers[static_cast<std::size_t>(layer)];
  return key.enabled != 0 && key.used != 0 && l.used == 1 &&
         LayerMeaning(l).kind != MeaningKind::None;
}

std::string StrokeName(const model::StringChar& stroke) {
  std::string name;
  for (std::size_t bit = 0; bit < kStrokeModifiers.size(); ++bit)
    if ((stroke.modifier >> bit) & 1) name.append(kStrokeModifiers[bit]).append("+");
  const int row = StrokeRow(stroke);
  if (row > 0) return name + ShortName(row);
  if (stroke.characterUSB == 0 && !name.empty()) return name.substr(0, name.size() - 1);
  char code[16];
  std::snprintf(code, sizeof code, "usb 0x%02x", stroke.characterUSB);
  return name + code;
}

}  // namespace veltrane::picture
