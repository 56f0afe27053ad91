// SPDX-License-Identifier: MIT
#include "ui/keyedit/string_assignment.h"

#include <algorithm>

#include "model/key_tables.h"

namespace veltrane::ui {
namespace {

using model::KeyLayer;
using model::StringChar;

constexpr std::string_view kKeyMacroCaption = "Key Macro Tool";

// The first table row carrying the USB code; nullptr when none does (unlike
// FindRowByUsb, no match is not row 0).
const model::IbmKeyRow* RowWithUsb(std::uint8_t usb) {
  for (const model::IbmKeyRow& row : model::IbmKeyTable)
    if (row.usb == usb) return &row;
  return nullptr;
}

bool IsStringNumber(std::int32_t n) {
  return n >= 0 && n < model::kStringCount;
}

model::StringRow& StringAt(model::KeyboardDefinition& def, int n) {
  return def.stringWorkBuffer[static_cast<std::size_t>(n)];
}

MacroLine StrokeLine(const model::IbmKeyRow& row, std::uint8_t modifier) {
  MacroLine line{std::string(row.legend), {}, LineWriter::StringStroke};
  ModifierFlags& f = line.flags;
  f.alt = (modifier & 0x04) != 0;
  f.ctrlLeft = (modifier & 0x01) != 0;
  f.ctrlRight = (modifier & 0x10) != 0;
  f.shiftLeft = (modifier & 0x02) != 0;
  f.shiftRight = (modifier & 0x20) != 0;
  f.altGr = (modifier & 0x40) != 0;
  return line;
}

MacroLine LayerKeyLine(const model::IbmKeyRow& row, const KeyLayer& layer) {
  MacroLine line{std::string(row.legend), {}, LineWriter::KeyLayer};
  ModifierFlags& f = line.flags;
  f.alt = (layer.keymode & model::KEYMODE_ALT) != 0;
  f.ctrlLeft = (layer.keymode & model::KEYMODE_CTRL) != 0;
  f.shiftLeft = (layer.keymode & model::KEYMODE_SHIFT) != 0;
  f.base = (layer.keymode & model::KEYMODE_BASE) != 0;
  f.repeatOff = (layer.keymode & model::KEYMODE_REPEAT_OFF) != 0;
  f.altGr = (layer.keymode & model::KEYMODE_ALTGR) != 0;
  f.lightUp = (layer.keytype & model::KEYTYPE_LIGHT_UP) != 0;
  f.lightDown = (layer.keytype & model::KEYTYPE_LIGHT_DOWN) != 0;
  return line;
}

// Frees string n unless another string layer still names it.
void FreeString(model::KeyboardDefinition& def, std::int32_t n, const KeyLayer& layer) {
  if (!IsStringNumber(n) || model::IsStringReferenced(def, n, &layer)) return;
  StringAt(def, n)[0] = StringChar{};
  if (def.settings.NumberOfStrings > 0) --def.settings.NumberOfStrings;
}

// Writes the strokes (at most a row's) and the terminator behind them into string n.
void RecordString(AssignmentContext& context, const std::vector<MacroLine>& lines, int n) {
  const int count = std::min(static_cast<int>(lines.size()), model::kMaxStringStrokes);
  for (int k = 0; k < count; ++k)
    ConvertLineToStringChar(context.def, lines[static_cast<std::size_t>(k)], k, n);
  StringAt(context.def, n)[static_cast<std::size_t>(count)] = StringChar{};
}

bool IsLightControlLine(std::string_view name) {
  return name == kFnLightLine || name == kLightControlDisplay;
}

// The index of the first line that cannot be applied, -1 for none: every
// stroke of a macro names a table row; a single line may also be a light
// control line.
int LineNamingNoKey(const std::vector<MacroLine>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const MacroLine& line = lines[i];
    if (model::FindRowByLegend(line.name)) continue;
    if (lines.size() == 1 && IsLightControlLine(line.name)) continue;
    return static_cast<int>(i);
  }
  return -1;
}

// A list the layer cannot take is told and refused; the list stays to be mended.
bool RefuseList(AssignmentContext& context, const std::vector<MacroLine>& lines) {
  if (const int at = LineNamingNoKey(lines); at >= 0) {
    context.messages.Show(
        model::FormatText("Line %d, \"%s\", names no key that can be recorded. Delete the "
                          "line and press OK again; the key was not changed.",
                          at + 1, lines[static_cast<std::size_t>(at)].name.c_str()),
        kKeyMacroCaption, model::MessageIcon::Warning);
    return true;
  }
  if (const int n = static_cast<int>(lines.size()); n > model::kMaxStringStrokes) {
    context.messages.Show(
        model::FormatText("The list has %d lines; a macro holds at most %d strokes. Delete %d "
                          "lines and press OK again; the key was not changed.",
                          n, model::kMaxStringStrokes, n - model::kMaxStringStrokes),
        kKeyMacroCaption, model::MessageIcon::Warning);
    return true;
  }
  return false;
}

enum class Variant { A, B };

// Returns whether the line named a table row.
bool AssignSingleKey(AssignmentContext& context, KeyLayer& layer, const MacroLine& line,
                     Variant variant) {
  const std::optional<int> row = model::FindRowByLegend(line.name);
  if (row) {
    const model::IbmKeyRow& entry = model::IbmKeyTable[static_cast<std::size_t>(*row)];
    layer.keytype = entry.type;
    layer.ibmkey = *row;
    model::LogPrintf(context.log, variant == Variant::A ? "! bIBMKey = %d\n" : "$ bIBMKey = %d\n",
                     *row);
    layer.scan2code = entry.scan2;
    layer.scan3code = entry.scan3;
    layer.usbcode = entry.usb;
    if (variant == Variant::B) {
      if (context.flags.lightUp) layer.keytype |= model::KEYTYPE_LIGHT_UP;
      if (context.flags.lightDown) layer.keytype |= model::KEYTYPE_LIGHT_DOWN;
    }
  }
  if (variant == Variant::B && context.keyIndex == context.fnLightKey)
    layer.keytype = model::LOCAL_ILLUMINATION_KEY;

  layer.keymode = 0;
  // On a string layer only the left Ctrl and Shift give modes.
  const bool a = variant == Variant::A;
  const ModifierFlags f = ShownFlags(line);
  if (f.alt) layer.keymode |= model::KEYMODE_ALT;
  if ((f.ctrlLeft || (!a && f.ctrlRight)) && layer.ibmkey != 58 && layer.ibmkey != 64)
    layer.keymode |= model::KEYMODE_CTRL;
  if ((f.shiftLeft || (!a && f.shiftRight)) && layer.ibmkey != 44 && layer.ibmkey != 57)
    layer.keymode |= model::KEYMODE_SHIFT;
  if (f.base) layer.keymode |= model::KEYMODE_BASE;
  if (f.repeatOff) layer.keymode |= model::KEYMODE_REPEAT_OFF;
  if (f.altGr) layer.keymode |= model::KEYMODE_ALTGR;
  if (a && (f.lightUp || f.lightDown))
    layer.keytype |= f.lightUp ? model::KEYTYPE_LIGHT_UP : model::KEYTYPE_LIGHT_DOWN;
  return row.has_value();
}

// A layer that is not a string (or names no string) gets a new string number.
bool AssignNewString(AssignmentContext& context, KeyLayer& layer,
                     const std::vector<MacroLine>& lines) {
  const int s = FindFreeString(context.def);
  if (s < 0) {
    context.messages.Show(
        "All 128 macro strings are in use: free one before recording another. "
        "The key was not changed.",
        kKeyMacroCaption, model::MessageIcon::Warning);
    return false;
  }
  ++context.def.settings.NumberOfStrings;
  layer.ibmkey = s;
  model::LogPrintf(context.log, "new string idx %d\n", s);
  layer.keytype = model::STRING_KEY;
  layer.scan2code = 0;
  layer.scan3code = 0;
  layer.usbcode = 0;
  layer.stringcharcount = std::min(static_cast<int>(lines.size()), model::kMaxStringStrokes);
  RecordString(context, lines, s);
  return true;
}

bool ApplyToStringLayer(AssignmentContext& context, KeyLayer& layer,
                        const std::vector<MacroLine>& lines) {
  const std::int32_t old = layer.ibmkey;
  const std::size_t n = lines.size();
  if (n == 0) {
    AssignModifierKey(layer, context.flags, context.log);
    FreeString(context.def, old, layer);
  } else if (n == 1) {
    FreeString(context.def, old, layer);
    if (!AssignSingleKey(context, layer, lines[0], Variant::A)) {
      // A light control line: the layer no longer names its string.
      layer.ibmkey = 0;
      layer.keytype = context.keyIndex == context.fnLightKey ? model::LOCAL_ILLUMINATION_KEY
                                                             : model::UNUSED_KEY;
    }
  } else if (!IsStringNumber(old) || model::IsStringReferenced(context.def, old, &layer)) {
    // Re-recording a string another key shares would change that key too.
    return AssignNewString(context, layer, lines);
  } else {
    layer.stringcharcount = std::min(static_cast<int>(n), model::kMaxStringStrokes);
    RecordString(context, lines, old);
  }
  return true;
}

bool ApplyToOtherLayer(AssignmentContext& context, KeyLayer& layer,
                       const std::vector<MacroLine>& lines) {
  if (lines.empty()) {
    if (AssignModifierKey(layer, context.flags, context.log) == 0) {
      layer.scan2code = 0;
      layer.scan3code = 0;
      layer.usbcode = 0;
    }
    return true;
  }
  if (lines.size() == 1) {
    AssignSingleKey(context, layer, lines[0], Variant::B);
    return true;
  }
  return AssignNewString(context, layer, lines);
}

}  // namespace

void ShowLayerInStringEditor(const model::KeyboardDefinition& def, const model::KeyLayer& layer,
                             std::vector<MacroLine>& lines) {
  if (layer.keytype == model::STRING_KEY) {
    if (!IsStringNumber(layer.ibmkey)) return;
    for (const StringChar& entry : def.stringWorkBuffer[static_cast<std::size_t>(layer.ibmkey)]) {
      if (entry.IsTerminator()) break;
      if (const model::IbmKeyRow* row = RowWithUsb(entry.characterUSB))
        lines.push_back(StrokeLine(*row, entry.modifier));
    }
    return;
  }
  if (layer.keytype == model::LOCAL_ILLUMINATION_KEY) {
    lines.push_back({std::string(kLightControlDisplay), {}, LineWriter::Bare});
    return;
  }
  if (layer.ibmkey == 0) return;
  if (const model::IbmKeyRow* row = model::IbmKeyRowAt(layer.ibmkey))
    lines.push_back(LayerKeyLine(*row, layer));
}

bool ApplyStringEditorList(AssignmentContext& context, int layerIndex,
                           const std::vector<MacroLine>& lines) {
  if (context.keyIndex < 0 || context.keyIndex >= model::kKeyCount || layerIndex < 0 ||
      layerIndex >= model::kLayerCount)
    return false;
  if (RefuseList(context, lines)) return false;
  model::KeyDefinition& key = context.def.keys[static_cast<std::size_t>(context.keyIndex)];
  KeyLayer& layer = key.layers[static_cast<std::size_t>(layerIndex)];
  if (layer.keytype == model::STRING_KEY) return ApplyToStringLayer(context, layer, lines);
  return ApplyToOtherLayer(context, layer, lines);
}

int AssignModifierKey(model::KeyLayer& layer, const ModifierFlags& flags, model::LogSink* log) {
  int row = -1;
  if (flags.alt) {
    row = 60;
  } else if (flags.altGr) {
    row = 62;
  } else if (flags.shiftLeft) {
    row = 44;
  } else if (flags.shiftRight) {
    row = 57;
  } else if (flags.ctrlLeft) {
    row = 58;
  } else if (flags.ctrlRight) {
    row = 64;
  }
  if (row >= 0) {
    model::AssignTableKey(layer, row);
    return 1;
  }
  layer.keytype = model::UNUSED_KEY;
  layer.ibmkey = 0;
  layer.keymode = 0;
  model::LogPrintf(log, "# bIBMKey = %d\n", 0);
  return 0;
}

bool ConvertLineToStringChar(model::KeyboardDefinition& def, const MacroLine& line, int k, int n) {
  if (!IsStringNumber(n) || k < 0 || k >= model::kMaxStringStrokes) return false;
  const std::optional<int> row = model::FindRowByLegend(line.name);
  // Without a row the entry could be left all zero: a terminator inside the macro.
  if (!row) return false;
  StringChar& entry = StringAt(def, n)[static_cast<std::size_t>(k)];
  const model::IbmKeyRow& found = model::IbmKeyTable[static_cast<std::size_t>(*row)];
  entry.characterMode2 = found.scan2;
  entry.characterUSB = found.usb;
  entry.characterType = found.type;
  entry.modifier = 0;
  const ModifierFlags f = ShownFlags(line);
  if (f.alt) entry.modifier |= 0x04;
  if (f.ctrlLeft || f.ctrlRight) entry.modifier |= f.ctrlLeft ? 0x01 : 0x10;
  if (f.shiftLeft || f.shiftRight) entry.modifier |= f.shiftLeft ? 0x02 : 0x20;
  if (f.altGr) entry.modifier |= 0x40;
  return true;
}

void MarkLayerUsedIfAssigned(model::KeyDefinition& key, int layerIndex) {
  if (layerIndex < 0 || layerIndex >= model::kLayerCount) return;
  model::KeyLayer& layer = key.layers[static_cast<std::size_t>(layerIndex)];
  constexpr std::uint8_t kTypeBits = 0x3F;
  if ((layer.keytype & kTypeBits) == model::UNUSED_KEY) return;
  layer.used = 1;
  key.used = 1;
}

StringChange PlanStringChange(const model::KeyboardDefinition& def, const model::KeyLayer& layer,
                              int lineCount) {
  StringChange change;
  const int strokes = std::min(lineCount, model::kMaxStringStrokes);
  if (layer.keytype != model::STRING_KEY) {
    if (lineCount >= 2) change = {-1, FindFreeString(def), strokes};
    return change;
  }
  const std::int32_t old = layer.ibmkey;
  const bool own = IsStringNumber(old) && !model::IsStringReferenced(def, old, &layer);
  if (lineCount <= 1) {
    if (own) change.freed = old;
  } else {
    change = {-1, own ? old : FindFreeString(def), strokes};
  }
  return change;
}

}  // namespace veltrane::ui
