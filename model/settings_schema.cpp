// SPDX-License-Identifier: MIT
#include "model/settings_schema.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "model/key_tables.h"

namespace veltrane::model {
namespace {

// An entry's access to a number member, or to element I of an array member.
template <auto Member>
constexpr SettingEntry Number(std::string_view name, std::int64_t min, std::int64_t max) {
  using Type = std::remove_cvref_t<decltype(std::declval<Settings>().*Member)>;
  SettingEntry e;
  e.name = name;
  e.get = [](const Settings& s) -> std::int64_t { return s.*Member; };
  e.set = [](Settings& s, std::int64_t v) { s.*Member = static_cast<Type>(v); };
  e.min = min;
  e.max = max;
  return e;
}

template <auto Member, std::size_t I>
constexpr SettingEntry Element(std::string_view name, std::int64_t min, std::int64_t max) {
  using Type = std::remove_cvref_t<decltype((std::declval<Settings>().*Member)[I])>;
  SettingEntry e;
  e.name = name;
  e.get = [](const Settings& s) -> std::int64_t { return (s.*Member)[I]; };
  e.set = [](Settings& s, std::int64_t v) { (s.*Member)[I] = static_cast<Type>(v); };
  e.element = I;
  e.min = min;
  e.max = max;
  return e;
}

constexpr SettingEntry Text(std::string_view name, std::string Settings::*member) {
  SettingEntry e;
  e.name = name;
  e.text = member;
  e.max = 32;  // a file's field, whole
  return e;
}

// The places and forms of an entry, set one after the other.
constexpr SettingEntry In(SettingEntry e, HeaderForm form, std::size_t offset) {
  e.headerForm = form;
  e.headerOffset = offset;
  return e;
}

constexpr SettingEntry At(SettingEntry e, ImageForm form, std::size_t offset,
                          std::size_t copy = 0) {
  e.imageForm = form;
  e.imageOffset = offset;
  e.imageCopy = copy;
  return e;
}

constexpr SettingEntry As(SettingEntry e, Shown shown,
                          std::span<const std::string_view> names = {}) {
  e.shown = shown;
  e.names = names;
  return e;
}

constexpr SettingEntry Reported(SettingEntry e) {
  e.reported = true;
  return e;
}

constexpr SettingEntry KeptByNew(SettingEntry e) {
  e.onNew = OnNew::Keep;
  return e;
}

constexpr std::array<std::string_view, 2> kEnableBitNames = {"KEYBOARD", "POINTING_DEVICE"};

using H = HeaderForm;
using I = ImageForm;
using S = Shown;

// A flag, a number and a list's position as the report and the header have them.
template <auto Member>
constexpr SettingEntry Flag(std::string_view name, std::size_t header, std::size_t image) {
  return Reported(
      As(At(In(Number<Member>(name, 0, 1), H::LowByte, header), I::Byte, image), S::Flag));
}

template <auto Member, std::size_t N>
constexpr SettingEntry Listed(std::string_view name, const std::array<std::string_view, N>& names,
                              std::size_t header) {
  return Reported(As(In(Number<Member>(name, 0, N - 1), H::I32, header), S::Name, names));
}

template <std::size_t N>
constexpr SettingEntry Led(std::string_view name) {
  return Reported(
      As(At(In(Element<&Settings::Leds, N>(name, 0, 5), H::I32, 32 + 4 * N), I::LedMask, 0x605),
         S::Name, LedNames));
}

// The pointing device's values lie at 0x650 in this order; the image has no
// narrower range for any of them.
template <std::size_t N>
constexpr SettingEntry PointingValue(std::string_view name) {
  return KeptByNew(At(Element<&Settings::PointDeviceParams, N>(name, 0, 255), I::Byte, 0x650 + N));
}

const std::array kSchema = {
    Flag<&Settings::GlobalRepeatDisable>("GlobalRepeatDisable", 12, 0x601),
    Flag<&Settings::AnyKeyRelease>("AnyKeyRelease", 16, 0x602),
    // The image keeps a second copy over the place of iGain2N.
    At(Listed<&Settings::DefRepDelay>("DefRepDelay", DefRepDelayNames, 20), I::Byte, 0x603, 0x651),
    At(Listed<&Settings::DefRepRate>("DefRepRate", DefRepRateNames, 24), I::Byte, 0x604),
    Reported(At(In(Number<&Settings::DebounceTime>("DebounceTime", 0, 255), H::U32, 28), I::Byte,
                0x605)),
    Led<0>("Led1"),
    Led<1>("Led2"),
    Led<2>("Led3"),
    Led<3>("Led4"),
    Reported(
        At(In(Number<&Settings::MaxScanRow>("MaxScanRow", 1, 16), H::I32, 56), I::ScanRows, 0x60B)),
    Flag<&Settings::PrefixMakeBreak>("PrefixMakeBreak", 60, 0x60C),
    At(Listed<&Settings::PointDevice>("PointDevice", PointDeviceNames, 64), I::Byte, 0x60D),
    KeptByNew(Reported(As(
        At(In(Number<&Settings::EnableBits>("EnableBits", 0, 3), H::LowByte, 68), I::Byte, 0x60E),
        S::EnableBits, kEnableBitNames))),
    Reported(At(In(Number<&Settings::NumberOfStrings>("NumberOfStrings", 0, 256), H::I32, 72),
                I::StringCount, 0)),
    KeptByNew(Reported(At(In(Number<&Settings::BeepLength>("BeepLength", 0, 200), H::LowByte, 140),
                          I::Byte, 0x60F))),
    Reported(At(In(Number<&Settings::ScrollWheelGain>("ScrollWheelGain", 0, 16), H::I8, 144),
                I::Byte, 0x6B0)),
    As(At(In(Text("ConfigFileName", &Settings::ConfigFileName), H::Text, 76), I::Text, 0x610),
       S::Text),
    KeptByNew(
        As(At(In(Text("SerialNumber", &Settings::SerialNumber), H::Text, 108), I::Text, 0x630),
           S::Text)),
    PointingValue<0>("iGain1N"),
    PointingValue<1>("iGain2N"),
    PointingValue<2>("iGain1E"),
    PointingValue<3>("iGain2E"),
    PointingValue<4>("iGain1S"),
    PointingValue<5>("iGain2S"),
    PointingValue<6>("iGain1W"),
    PointingValue<7>("iGain2W"),
    PointingValue<8>("iOffs1N"),
    PointingValue<9>("iOffs2N"),
    PointingValue<10>("iOffs1E"),
    PointingValue<11>("iOffs2E"),
    PointingValue<12>("iOffs1S"),
    PointingValue<13>("iOffs2S"),
    PointingValue<14>("iOffs1W"),
    PointingValue<15>("iOffs2W"),
    PointingValue<16>("iInvN"),
    PointingValue<17>("iInvE"),
    PointingValue<18>("iInvS"),
    PointingValue<19>("iInvW"),
};
static_assert(kSchema.size() <= SettingMask().size());

// The length of a control character starting at text[i], or 0.
std::size_t ControlLength(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x20 || b == 0x7F) return 1;
  // C1 controls U+0080..U+009F in UTF-8.
  if (b == 0xC2 && i + 1 < text.size()) {
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (next >= 0x80 && next <= 0x9F) return 2;
  }
  return 0;
}

}  // namespace

std::size_t SettingEntry::HeaderWidth() const {
  switch (headerForm) {
    case HeaderForm::None:
      return 0;
    case HeaderForm::I8:
      return 1;
    case HeaderForm::Text:
      return 32;
    default:
      return 4;
  }
}

std::span<const SettingEntry> SettingsSchema() {
  return kSchema;
}

const SettingEntry* FindSetting(std::string_view name) {
  const auto* found = std::find_if(kSchema.begin(), kSchema.end(),
                                   [name](const SettingEntry& e) { return e.name == name; });
  return found == kSchema.end() ? nullptr : found;
}

const SettingEntry& SettingNamed(std::string_view name) {
  return *FindSetting(name);
}

std::size_t SettingIndex(const SettingEntry& entry) {
  return static_cast<std::size_t>(&entry - kSchema.data());
}

SettingMask AllSettings() {
  SettingMask all;
  for (std::size_t i = 0; i < kSchema.size(); ++i) all.set(i);
  return all;
}

SettingMask HeaderSettings() {
  SettingMask held;
  for (std::size_t i = 0; i < kSchema.size(); ++i)
    if (kSchema[i].headerForm != HeaderForm::None) held.set(i);
  return held;
}

void ResetForNew(Settings& settings) {
  const Settings fresh;
  for (const SettingEntry& e : kSchema) {
    if (e.onNew == OnNew::Keep) continue;
    if (e.IsText()) {
      settings.*e.text = fresh.*e.text;
    } else {
      e.set(settings, e.get(fresh));
    }
  }
}

std::vector<SettingProblem> KeepWithinRanges(Settings& settings, const SettingMask& checked) {
  std::vector<SettingProblem> problems;
  for (std::size_t i = 0; i < kSchema.size(); ++i) {
    const SettingEntry& e = kSchema[i];
    if (!checked.test(i)) continue;
    if (e.IsText()) {
      std::string& text = settings.*e.text;
      if (IsPrintableText(text)) continue;
      SettingProblem problem{&e, 0, 0, text, WithoutControls(text)};
      text = problem.usedText;
      problems.push_back(std::move(problem));
    } else if (const std::int64_t value = e.get(settings); !e.InRange(value)) {
      e.set(settings, e.Clamped(value));
      problems.push_back({&e, value, e.get(settings), {}, {}});
    }
  }
  return problems;
}

bool IsPrintableText(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (ControlLength(text, i) != 0) return false;
  return true;
}

std::string WithoutControls(std::string_view text) {
  std::string kept;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t control = ControlLength(text, i);
    if (control == 0) kept += text[i];
    i += control == 0 ? 1 : control;
  }
  return kept;
}

}  // namespace veltrane::model
