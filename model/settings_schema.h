// SPDX-License-Identifier: MIT
// The one list of the settings. For each member of Settings: its name (as the
// report, the text form and the messages write it), its range (what the
// keyboard and the controls can hold), its "New - Clear all" policy, where a
// configuration file's header and the EEPROM image keep it, and how the text
// form and the report show it. The header codec, the text form, the diff, the
// report, the image builder and reader, "New - Clear all", the range checks
// of every load and the main window's controls all loop over this list.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/settings.h"

namespace veltrane::model {

// How a configuration file's header holds a setting.
enum class HeaderForm {
  None,     // not at all
  U32,      // 4 bytes, unsigned
  I32,      // 4 bytes, signed
  LowByte,  // 4 bytes of which the low one is the setting (written whole)
  I8,       // 1 byte, signed
  Text,     // 32 bytes: the text, NUL-terminated when shorter
};

// How the EEPROM image holds it.
enum class ImageForm {
  None,         // not at all
  Byte,         // one byte; 0xFF where no value of the range reads so is erased memory
  LedMask,      // the LED function masks at offset + 1..5, made from all four LEDs
  ScanRows,     // 2 * value - 1 for firmware 500..699, 16 for any other
  Text,         // at most 31 bytes, one 0x00, the rest 0xFF; erased when its first byte is 0xFF
  StringCount,  // not stored: one more than the string number of the last string key
};

// How the text form writes it; the report writes every reported one as "NAME = %d".
enum class Shown { Flag, Number, Name, EnableBits, Text };

// What "New - Clear all" does to it.
enum class OnNew { Reset, Keep };

struct SettingEntry {
  std::string_view name;
  // A number's value as its member holds it, and its store (cast to the member's type).
  std::int64_t (*get)(const Settings&) = nullptr;
  void (*set)(Settings&, std::int64_t) = nullptr;
  std::string Settings::*text = nullptr;  // a text's member
  std::size_t element = 0;                // the index of an array member's element
  std::int64_t min = 0;                   // a number's range; a text's most bytes in max
  std::int64_t max = 0;
  OnNew onNew = OnNew::Reset;
  HeaderForm headerForm = HeaderForm::None;
  std::size_t headerOffset = 0;
  ImageForm imageForm = ImageForm::None;
  std::size_t imageOffset = 0;
  std::size_t imageCopy =
      0;  // a second image byte written with the value after all others; 0: none
  Shown shown = Shown::Number;
  std::span<const std::string_view> names{};  // Name: the list's entries; EnableBits: the bits
  bool reported = false;                      // a line of the text report

  bool IsText() const { return text != nullptr; }
  bool InRange(std::int64_t value) const { return value >= min && value <= max; }
  std::int64_t Clamped(std::int64_t value) const {
    return value < min ? min : value > max ? max : value;
  }
  std::size_t HeaderWidth() const;
};

// Every setting, in the report's order, then the texts and the pointing device's values.
std::span<const SettingEntry> SettingsSchema();
const SettingEntry* FindSetting(std::string_view name);
// The entry of a name the program itself uses; the name must be one.
const SettingEntry& SettingNamed(std::string_view name);
std::size_t SettingIndex(const SettingEntry& entry);

// A set of settings by their index in the schema: those a load read, say.
using SettingMask = std::bitset<64>;
SettingMask AllSettings();
SettingMask HeaderSettings();  // those a configuration file holds

// "New - Clear all": every setting whose policy is Reset back to its default.
void ResetForNew(Settings& settings);

// A setting that was outside its range, and what is used instead.
struct SettingProblem {
  const SettingEntry* entry = nullptr;
  std::int64_t value = 0;  // a number as it was, and as it is used
  std::int64_t used = 0;
  std::string text;  // a text as it was, and as it is used
  std::string usedText;
};

// Brings each setting of `checked` into its range: a number outside it to
// its nearer end, a text without its control characters. Returns what it
// changed, in the schema's order.
std::vector<SettingProblem> KeepWithinRanges(Settings& settings,
                                             const SettingMask& checked = AllSettings());

// A text a setting can hold: no control character (C0, DEL, or C1 in UTF-8).
bool IsPrintableText(std::string_view text);
std::string WithoutControls(std::string_view text);

}  // namespace veltrane::model
