// SPDX-License-Identifier: MIT
#include "ui/dialogs/test_window_model.h"

#include "ui/dialogs/key_mapping.h"

namespace veltrane::ui {
namespace {

constexpr int kVkCancel = 3;
constexpr int kVkMenu = 18;
constexpr int kVkF10 = 121;
constexpr int kEvdevCtrlLeft = 29;
constexpr int kEvdevAltRight = 100;
constexpr int kEvdevPrint = 99;
constexpr int kEvdevPause = 119;

struct NameRange {
  int first;
  std::initializer_list<std::string_view> names;
};

using NameTable = std::array<std::string_view, 256>;

constexpr NameTable BuildNames() {
  NameTable table{};
  table.fill("Undefined");
  const NameRange ranges[] = {
      {1, {"VK_LBUTTON", "VK_RBUTTON", "VK_CANCEL", "VK_MBUTTON"}},
      {8, {"BACKSPACE", "TAB"}},
      {12, {"VK_CLEAR", "RETURN"}},
      {16, {"SHIFT", "CONTROL", "MENU (ALT)", "PAUSE", "CAPITAL"}},
      {27, {"ESCAPE"}},
      {32,
       {"SPACE", "PAGE UP", "PAGE DOWN", "END", "HOME", "LEFT", "UP", "RIGHT", "DOWN", "VK_SELECT",
        "PRINT", "VK_EXECUTE", "VK_SNAPSHOT", "INSERT", "DELETE", "HELP"}},
      {48, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {65, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
            "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"}},
      {96,
       {"NUMPAD0", "NUMPAD1", "NUMPAD2", "NUMPAD3", "NUMPAD4", "NUMPAD5", "NUMPAD6", "NUMPAD7",
        "NUMPAD8", "NUMPAD9"}},
      {106, {"MULTIPLY", "ADD", "SEPARATOR", "SUBTRACT", "DECIMAL", "DIVIDE"}},
      {112,
       {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "F13", "F14",
        "F15", "F16"}},
      {128, {"VK_F17", "VK_F18", "VK_F19", "VK_F20", "VK_F21", "VK_F22", "VK_F23", "VK_F24"}},
      {144, {"NUMLOCK", "SCROLL"}},
      {160, {"VK_LSHIFT", "VK_RSHIFT", "VK_LCONTROL", "VK_RCONTROL", "VK_LMENU", "VK_RMENU"}},
      {186, {"OEM_1", "OEM_PLUS", "OEM_COMMA", "OEM_MINUS", "OEM_PERIOD", "OEM_2", "OEM_3"}},
      {219, {"OEM_4", "OEM_5", "OEM_6", "OEM_7", "OEM_8"}},
      {226, {"OEM_102"}},
      {229, {"VK_PROCESSKEY"}},
      {246,
       {"VK_ATTN", "VK_CRSEL", "VK_EXSEL", "VK_EREOF", "VK_PLAY", "VK_ZOOM", "VK_NONAME", "VK_PA1",
        "VK_OEM_CLEAR"}},
  };
  for (const NameRange& range : ranges) {
    int code = range.first;
    for (std::string_view name : range.names) table[code++] = name;
  }
  return table;
}

constexpr NameTable kKeyNames = BuildNames();

constexpr std::uint32_t kExtendedBit = 1u << 24;
constexpr std::uint32_t kContextBit = 1u << 29;
constexpr std::uint32_t kPreviousBit = 1u << 30;
constexpr std::uint32_t kTransitionBit = 1u << 31;

}  // namespace

TestKeyEvent TestKeyEventOf(int evdevCode, char32_t character, bool numLock, bool ctrlHeld,
                            bool altHeld) {
  const ScanCode scan = ScanCodeOfEvdev(evdevCode);
  TestKeyEvent event;
  event.virtualKey = VirtualKeyOf(evdevCode, character, numLock);
  event.scanCode = scan.code;
  event.extended = scan.extended;
  event.ctrlHeld = ctrlHeld;
  event.altHeld = altHeld;
  event.key = evdevCode > 0 && evdevCode < 256 ? evdevCode : 0;
  if (evdevCode == kEvdevPause && ctrlHeld) {
    event.virtualKey = kVkCancel;
    event.scanCode = 0x46;
    event.extended = true;
  } else if (evdevCode == kEvdevPrint && altHeld) {
    event.scanCode = 0x54;
    event.extended = false;
  }
  return event;
}

std::array<TestKeyEvent, 2> AltGrEvents(bool release) {
  TestKeyEvent ctrl = TestKeyEventOf(kEvdevCtrlLeft, 0, true, true, true);
  TestKeyEvent alt = TestKeyEventOf(kEvdevAltRight, 0, true, true, true);
  ctrl.release = alt.release = release;
  return {ctrl, alt};
}

KeyMessage MakeKeyMessage(const TestKeyEvent& event) {
  bool system = event.altHeld && !event.ctrlHeld;
  if (event.virtualKey == kVkMenu) system = !event.ctrlHeld;
  if (event.virtualKey == kVkF10) system = true;
  KeyMessage message;
  if (system) {
    message.kind = event.release ? "SYSKEYUP" : "SYSKEYDOWN";
  } else {
    message.kind = event.release ? "KEYUP" : "KEYDOWN";
  }
  message.virtualKey = event.virtualKey;
  std::uint32_t data = 1;
  data |= static_cast<std::uint32_t>(event.scanCode) << 16;
  if (event.extended) data |= kExtendedBit;
  if (system && event.altHeld) data |= kContextBit;
  if (event.release || event.autoRepeat) data |= kPreviousBit;
  if (event.release) data |= kTransitionBit;
  message.keyData = data;
  return message;
}

std::string_view KeyName(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= static_cast<int>(kKeyNames.size())) return "Undefined";
  return kKeyNames[virtualKey];
}

TestLine FormatTestLine(const KeyMessage& message) {
  const std::uint32_t data = message.keyData;
  TestLine line;
  line[0] = std::string(message.kind);
  line[1] = std::string(KeyName(message.virtualKey));
  line[2] = std::to_string(static_cast<std::int16_t>(data & 0xFFFF));
  line[3] = std::to_string((data >> 16) & 0xFF);
  line[4] = (data & kExtendedBit) ? "Ext" : "Not Ext";
  line[5] = (data & kContextBit) ? "Alt" : "No Alt";
  line[6] = (data & kPreviousBit) ? "Down" : "Up";
  line[7] = (data & kTransitionBit) ? "Release" : "Press";
  return line;
}

int ThousandthsToPixels(int thousandths, int dpi) {
  return thousandths * dpi / 1000;
}

int TestColumnX(int column, int dpi, int blankWidth, int textWidth) {
  if (column < 0 || column >= kTestColumnCount) return 0;
  const int edge = ThousandthsToPixels(kTestColumnEdges[column], dpi);
  if (column == 2 || column == 3) return edge - (blankWidth / 2 + textWidth);
  return edge;
}

int NewestLineTop(const TestWindowModel& window) {
  return window.clientHeight - ThousandthsToPixels(200, window.dpi);
}

int TestLineTop(const TestWindowModel& window, int index) {
  const int fromBottom = static_cast<int>(window.lines.size()) - 1 - index;
  return NewestLineTop(window) - kTestLineStep * fromBottom;
}

int VisibleLineCount(const TestWindowModel& window) {
  // Line i from the bottom is kept while top - 15 i + 15 > 40.
  const int room = NewestLineTop(window) + kTestLineStep - kTestStripHeight;
  if (room <= 0) return 0;
  return (room + kTestLineStep - 1) / kTestLineStep;
}

void ShowTestWindow(TestWindowModel& window) {
  window.visible = true;
  window.lines.clear();
  window.keysDown.reset();
}

void OnTestWindowFocusLost(TestWindowModel& window) {
  window.keysDown.reset();
}

void OnStopTest(TestWindowModel& window) {
  window.visible = false;
}

void SetTestWindowArea(TestWindowModel& window, int clientHeight, int dpi) {
  window.clientHeight = clientHeight;
  window.dpi = dpi > 0 ? dpi : 96;
  window.lines.clear();
}

void OnTestWindowExposed(TestWindowModel& window) {
  window.lines.clear();
}

void OnTestKey(TestWindowModel& window, TestKeyEvent event) {
  if (event.key > 0 && event.key < static_cast<int>(window.keysDown.size())) {
    const auto key = static_cast<std::size_t>(event.key);
    PressedKey& pressed = window.pressedAs[key];
    if (event.release && window.keysDown[key]) {
      event.virtualKey = pressed.virtualKey;
      event.scanCode = pressed.scanCode;
      event.extended = pressed.extended;
    } else if (!event.release) {
      if (window.keysDown[key]) event.autoRepeat = true;
      pressed = {event.virtualKey, event.scanCode, event.extended};
    }
    window.keysDown[key] = !event.release;
  }
  window.lines.push_back(FormatTestLine(MakeKeyMessage(event)));
  const auto keep = static_cast<std::size_t>(VisibleLineCount(window));
  if (window.lines.size() > keep) {
    window.lines.erase(window.lines.begin(),
                       window.lines.end() - static_cast<std::ptrdiff_t>(keep));
  }
}

}  // namespace veltrane::ui
