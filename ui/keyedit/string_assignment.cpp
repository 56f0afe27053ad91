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

std::string StrokeLine(const model::IbmKeyRow& row, std::uint8_t modifier) {
  std::string line(row.legend);
  line += (modifier & 0x04) ? "\tAlt" : "\t";
  line += (modifier & 0x01) ? "\tCtrl l" : (modifier & 0x10) ? "\tCtrl r" : "\t";
  line += (modifier & 0x02) ? "\tShift l" : (modifier & 0x20) ? "\tShift r" : "\t";
  line += "\t\t";
  line += (modifier & 0x40) ? "\tAlt Gr2" : "\t";
  line += "\t\t";
  return line;
}

std::string LayerKeyLine(const model::IbmKeyRow& row, const KeyLayer& layer) {
  const auto column = [&](std::uint8_t bit, std::string_view text) {
    return std::string((layer.keymode & bit) ? text : "") + "\t";
  };
  std::string line(row.legend);
  line += "\t";
  line += column(model::KEYMODE_ALT, "Alt");
  line += column(model::KEYMODE_CTRL, "Ctrl l");
  line += column(model::KEYMODE_SHIFT, "Shift l");
  line += column(model::KEYMODE_BASE, "Base");
  line += column(model::KEYMODE_REPEAT_OFF, "Rep Off");
  line += column(model::KEYMODE_ALTGR, "Alt Gr3");
  if (layer.keytype & model::KEYTYPE_LIGHT_UP) {
    line += "Light3Up";
  } else if (layer.keytype & model::KEYTYPE_LIGHT_DOWN) {
    line += "Light3Down";
  }
  line += "\t";
  return line;
}

// Frees string n unless another string layer still names it.
void FreeString(model::KeyboardDefinition& def, std::int32_t n, const KeyLayer& layer) {
  if (!IsStringNumber(n) || model::IsStringReferenced(def, n, &layer)) return;
  StringAt(def, n)[0] = StringChar{};
  if (def.settings.NumberOfStrings > 0) --def.settings.NumberOfStrings;
}

// Writes the strokes and the terminator behind them into string n.
void RecordString(AssignmentContext& context, const std::vector<std::string>& lines, int n) {
  const int count = std::min(static_cast<int>(lines.size()), model::kMaxStringStrokes);
  for (int k = 0; k < count; ++k)
    ConvertLineToStringChar(context.def, lines[static_cast<std::size_t>(k)], k, n);
  StringAt(context.def, n)[static_cast<std::size_t>(count)] = StringChar{};
  if (static_cast<int>(lines.size()) > model::kMaxStringStrokes) {
    context.messages.Show(
        model::FormatText("The macro has %d strokes; only the first %d were kept.",
                          static_cast<int>(lines.size()), model::kMaxStringStrokes),
        kKeyMacroCaption, model::MessageIcon::Warning);
  }
}

bool IsLightControlLine(std::string_view name) {
  return name == kFnLightLine || name == kLightControlDisplay;
}

// The first line that cannot be applied: every stroke of a macro names a
// table row; a single line may also be a light control line.
const std::string* LineNamingNoKey(const std::vector<std::string>& lines) {
  for (const std::string& text : lines) {
    const std::string_view name = SplitLine(text).name;
    if (model::FindRowByLegend(name)) continue;
    if (lines.size() == 1 && IsLightControlLine(name)) continue;
    return &text;
  }
  return nullptr;
}

enum class Variant { A, B };

// Returns whether the line named a table row.
bool AssignSingleKey(AssignmentContext& context, KeyLayer& layer, std::string_view text,
                     Variant variant) {
  const LineColumns line = SplitLine(text);
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
  const bool a = variant == Variant::A;
  if (line.IsSet(1)) layer.keymode |= model::KEYMODE_ALT;
  if (line.IsSet(2) && layer.ibmkey != 58 && layer.ibmkey != 64 && (!a || line.At(2, 5) == 'l'))
    layer.keymode |= model::KEYMODE_CTRL;
  if (line.IsSet(3) && layer.ibmkey != 44 && layer.ibmkey != 57 && (!a || line.At(3, 6) == 'l'))
    layer.keymode |= model::KEYMODE_SHIFT;
  if (line.IsSet(4)) layer.keymode |= model::KEYMODE_BASE;
  if (line.IsSet(5)) layer.keymode |= model::KEYMODE_REPEAT_OFF;
  if (line.IsSet(6)) layer.keymode |= model::KEYMODE_ALTGR;
  if (a && line.IsSet(7))
    layer.keytype |= line.At(7, 6) == 'U' ? model::KEYTYPE_LIGHT_UP : model::KEYTYPE_LIGHT_DOWN;
  return row.has_value();
}

// A layer that is not a string (or names no string) gets a new string number.
bool AssignNewString(AssignmentContext& context, KeyLayer& layer,
                     const std::vector<std::string>& lines) {
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
                        const std::vector<std::string>& lines) {
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
                       const std::vector<std::string>& lines) {
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

char LineColumns::At(int column, std::size_t index) const {
  const std::string_view text = columns[static_cast<std::size_t>(column - 1)];
  return index < text.size() ? text[index] : '\0';
}

LineColumns SplitLine(std::string_view line) {
  LineColumns result;
  std::size_t tab = line.find('\t');
  result.name = line.substr(0, tab);
  for (std::size_t c = 0; c < result.columns.size() && tab != std::string_view::npos; ++c) {
    const std::size_t next = line.find('\t', tab + 1);
    result.columns[c] =
        line.substr(tab + 1, next == std::string_view::npos ? next : next - tab - 1);
    tab = next;
  }
  return result;
}

void ShowLayerInStringEditor(const model::KeyboardDefinition& def, const model::KeyLayer& layer,
                             std::vector<std::string>& lines) {
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
    lines.emplace_back(kLightControlDisplay);
    return;
  }
  if (layer.ibmkey == 0) return;
  if (const model::IbmKeyRow* row = model::IbmKeyRowAt(layer.ibmkey))
    lines.push_back(LayerKeyLine(*row, layer));
}

bool ApplyStringEditorList(AssignmentContext& context, int layerIndex,
                           const std::vector<std::string>& lines) {
  if (context.keyIndex < 0 || context.keyIndex >= model::kKeyCount || layerIndex < 0 ||
      layerIndex >= model::kLayerCount)
    return false;
  if (const std::string* line = LineNamingNoKey(lines)) {
    context.messages.Show(model::FormatText("\"%s\" names no key that can be recorded. Delete the "
                                            "line and press OK again; the key was not changed.",
                                            std::string(SplitLine(*line).name).c_str()),
                          kKeyMacroCaption, model::MessageIcon::Warning);
    return false;
  }
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

bool ConvertLineToStringChar(model::KeyboardDefinition& def, std::string_view text, int k, int n) {
  if (!IsStringNumber(n) || k < 0 || k >= model::kMaxStringStrokes) return false;
  const LineColumns line = SplitLine(text);
  const std::optional<int> row = model::FindRowByLegend(line.name);
  // Without a row the entry could be left all zero: a terminator inside the macro.
  if (!row) return false;
  StringChar& entry = StringAt(def, n)[static_cast<std::size_t>(k)];
  const model::IbmKeyRow& found = model::IbmKeyTable[static_cast<std::size_t>(*row)];
  entry.characterMode2 = found.scan2;
  entry.characterUSB = found.usb;
  entry.characterType = found.type;
  entry.modifier = 0;
  if (line.IsSet(1)) entry.modifier |= 0x04;
  if (line.IsSet(2)) entry.modifier |= line.At(2, 5) == 'l' ? 0x01 : 0x10;
  if (line.IsSet(3)) entry.modifier |= line.At(3, 6) == 'l' ? 0x02 : 0x20;
  if (line.IsSet(6)) entry.modifier |= 0x40;
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

int FindFreeString(const model::KeyboardDefinition& def) {
  for (int n = 0; n < model::kStringCount; ++n) {
    if (def.stringWorkBuffer[static_cast<std::size_t>(n)][0].IsTerminator() &&
        !model::IsStringReferenced(def, n))
      return n;
  }
  return -1;
}

}  // namespace veltrane::ui
