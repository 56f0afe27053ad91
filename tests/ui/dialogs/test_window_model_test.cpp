// SPDX-License-Identifier: MIT
#include "ui/dialogs/test_window_model.h"

#include <gtest/gtest.h>

namespace veltrane::ui {
namespace {

TestKeyEvent KeyOf(int evdev, bool release = false) {
  TestKeyEvent event = TestKeyEventOf(evdev, 0, true);
  event.release = release;
  return event;
}

TEST(TestWindowLine, LetterAPressAndReleaseGiveTwoLines) {
  TestWindowModel window;
  ShowTestWindow(window);
  OnTestKey(window, KeyOf(30));
  OnTestKey(window, KeyOf(30, true));
  ASSERT_EQ(window.lines.size(), 2u);
  EXPECT_EQ(window.lines[0],
            (TestLine{"KEYDOWN", "A", "1", "30", "Not Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(window.lines[1],
            (TestLine{"KEYUP", "A", "1", "30", "Not Ext", "No Alt", "Down", "Release"}));
  EXPECT_EQ(MakeKeyMessage(KeyOf(30)).keyData, 0x001E0001u);
  EXPECT_EQ(MakeKeyMessage(KeyOf(30, true)).keyData, 0xC01E0001u);
}

TEST(TestWindowLine, AltAndF10GiveSystemMessages) {
  TestKeyEvent altA = KeyOf(30);
  altA.altHeld = true;
  const KeyMessage down = MakeKeyMessage(altA);
  EXPECT_EQ(down.kind, "SYSKEYDOWN");
  EXPECT_EQ(down.keyData, 0x201E0001u);
  EXPECT_EQ(FormatTestLine(down)[5], "Alt");
  altA.release = true;
  EXPECT_EQ(MakeKeyMessage(altA).kind, "SYSKEYUP");

  const KeyMessage f10 = MakeKeyMessage(KeyOf(68));
  EXPECT_EQ(f10.kind, "SYSKEYDOWN");
  EXPECT_EQ(FormatTestLine(f10)[5], "No Alt");
  EXPECT_EQ(MakeKeyMessage(KeyOf(56, true)).kind, "SYSKEYUP");  // Alt let go
  EXPECT_EQ(MakeKeyMessage(KeyOf(59)).kind, "KEYDOWN");         // F1
}

TEST(TestWindowLine, HeldAndExtendedKeys) {
  TestKeyEvent held = KeyOf(97);
  held.autoRepeat = true;
  const TestLine line = FormatTestLine(MakeKeyMessage(held));
  EXPECT_EQ(line, (TestLine{"KEYDOWN", "CONTROL", "1", "29", "Ext", "No Alt", "Down", "Press"}));
  EXPECT_EQ(FormatTestLine(MakeKeyMessage(KeyOf(97)))[6], "Up");
}

TEST(TestWindowLine, CtrlAltAltGrBreakAndSysRqAsWindowsReportsThem) {
  // A key pressed while Ctrl is also down is no system key, Alt with it neither.
  const KeyMessage ctrlAltA = MakeKeyMessage(TestKeyEventOf(30, 0, true, true, true));
  EXPECT_EQ(ctrlAltA.kind, "KEYDOWN");
  EXPECT_EQ(ctrlAltA.keyData & (1u << 29), 0u);
  EXPECT_EQ(MakeKeyMessage(TestKeyEventOf(56, 0, true, true, true)).kind, "KEYDOWN");
  // AltGr: the left Ctrl the platform adds, then a KEYDOWN for the right Alt.
  TestWindowModel window;
  ShowTestWindow(window);
  for (const TestKeyEvent& event : AltGrEvents(false)) OnTestKey(window, event);
  for (const TestKeyEvent& event : AltGrEvents(true)) OnTestKey(window, event);
  ASSERT_EQ(window.lines.size(), 4u);
  EXPECT_EQ(window.lines[0],
            (TestLine{"KEYDOWN", "CONTROL", "1", "29", "Not Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(window.lines[1],
            (TestLine{"KEYDOWN", "MENU (ALT)", "1", "56", "Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(window.lines[3][0], "KEYUP");
  // Ctrl+Pause is Break, Alt+Print SysRq; Num Lock is extended.
  EXPECT_EQ(FormatTestLine(MakeKeyMessage(TestKeyEventOf(119, 0, true, true, false))),
            (TestLine{"KEYDOWN", "VK_CANCEL", "1", "70", "Ext", "No Alt", "Up", "Press"}));
  EXPECT_EQ(FormatTestLine(MakeKeyMessage(TestKeyEventOf(99, 0, true, false, true))),
            (TestLine{"SYSKEYDOWN", "VK_SNAPSHOT", "1", "84", "Not Ext", "Alt", "Up", "Press"}));
  EXPECT_EQ(FormatTestLine(MakeKeyMessage(KeyOf(69)))[4], "Ext");
}

TEST(TestWindowLine, AHeldKeyRepeatsWithoutReleasesItDidNotHave) {
  TestWindowModel window;
  ShowTestWindow(window);
  // Where the platform sends no release between repeats, nor flags them.
  for (int i = 0; i < 3; ++i) OnTestKey(window, KeyOf(48));
  OnTestKey(window, KeyOf(48, true));
  OnTestKey(window, KeyOf(48));
  ASSERT_EQ(window.lines.size(), 5u);
  EXPECT_EQ((std::array{window.lines[0][6], window.lines[2][6], window.lines[4][6]}),
            (std::array<std::string, 3>{"Up", "Down", "Up"}));
  // A key is released as it was pressed: Break stays Break after Ctrl is let go.
  OnTestKey(window, TestKeyEventOf(119, 0, true, true, false));
  OnTestKey(window, KeyOf(119, true));
  EXPECT_EQ(window.lines.back(),
            (TestLine{"KEYUP", "VK_CANCEL", "1", "70", "Ext", "No Alt", "Down", "Release"}));
  // Released while the window had no focus: the next press is a new one.
  OnTestWindowFocusLost(window);
  OnTestKey(window, KeyOf(48));
  EXPECT_EQ(window.lines.back()[6], "Up");
}

TEST(KeyName, NamedAndUndefinedCodes) {
  const std::pair<int, std::string_view> names[] = {
      {7, "Undefined"},   {0, "Undefined"},       {-1, "Undefined"},
      {256, "Undefined"}, {193, "Undefined"},     {1, "VK_LBUTTON"},
      {18, "MENU (ALT)"}, {47, "HELP"},           {90, "Z"},
      {111, "DIVIDE"},    {127, "F16"},           {128, "VK_F17"},
      {165, "VK_RMENU"},  {192, "OEM_3"},         {222, "OEM_7"},
      {226, "OEM_102"},   {229, "VK_PROCESSKEY"}, {254, "VK_OEM_CLEAR"}};
  for (const auto& [code, name] : names) EXPECT_EQ(KeyName(code), name) << code;
}

TEST(TestWindowGeometry, ColumnsInPixelsAtTheLogicalDpi) {
  EXPECT_EQ(TestColumnX(0, 96, 4, 20), 0);
  EXPECT_EQ(TestColumnX(1, 96, 4, 20), 144);
  EXPECT_EQ(TestColumnX(4, 96, 4, 20), 384);
  EXPECT_EQ(TestColumnX(7, 120, 4, 20), 840);
  // Numbers end half a blank (rounded down) before the edge.
  EXPECT_EQ(TestColumnX(2, 96, 5, 7), 288 - (2 + 7));
  EXPECT_EQ(TestColumnX(3, 144, 6, 14), 504 - (3 + 14));
}

TEST(TestWindowGeometry, KeepsOnlyTheLinesOnScreen) {
  TestWindowModel window;
  SetTestWindowArea(window, 300, 96);
  EXPECT_EQ(NewestLineTop(window), 281);
  const int count = VisibleLineCount(window);
  EXPECT_EQ(count, 18);
  for (int i = 0; i < 40; ++i) OnTestKey(window, KeyOf(i % 2 ? 30 : 48));
  ASSERT_EQ(static_cast<int>(window.lines.size()), count);
  EXPECT_EQ(window.lines.back()[1], "A");
  EXPECT_EQ(TestLineTop(window, count - 1), 281);
  EXPECT_GT(TestLineTop(window, 0) + kTestLineStep, kTestStripHeight);
  EXPECT_LE(TestLineTop(window, 0), kTestStripHeight);

  SetTestWindowArea(window, 30, 96);
  OnTestKey(window, KeyOf(30));
  EXPECT_TRUE(window.lines.empty());
}

TEST(TestWindowGeometry, ShowingAgainStartsEmpty) {
  TestWindowModel window;
  ShowTestWindow(window);
  OnTestKey(window, KeyOf(30));
  OnStopTest(window);
  EXPECT_FALSE(window.visible);
  ShowTestWindow(window);
  EXPECT_TRUE(window.visible && window.lines.empty());
  OnTestKey(window, KeyOf(30));
  OnTestWindowExposed(window);
  EXPECT_TRUE(window.lines.empty());
}

}  // namespace
}  // namespace veltrane::ui
