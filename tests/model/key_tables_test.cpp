// SPDX-License-Identifier: MIT
#include "model/key_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrane::model {
namespace {

TEST(IbmKeyTable, RowsCarryTheirOwnNumberAndKnownCodes) {
  for (int i = 0; i < kIbmKeyRowCount; ++i) EXPECT_EQ(IbmKeyTable[i].number, i);
  EXPECT_EQ(IbmKeyTable[0].legend, "No Key");
  EXPECT_EQ(IbmKeyTable[0].scan2, 0xFF);
  EXPECT_EQ(IbmKeyTable[0].type, UNUSED_KEY);
  EXPECT_EQ(IbmKeyTable[1].legend, "IBM Key 1");
  EXPECT_EQ(IbmKeyTable[1].usb, 0x35);
  EXPECT_EQ(IbmKeyTable[14].legend, "IBM Key 14 Not Used!");
  EXPECT_EQ(IbmKeyTable[30].scan3, 0x14);
  EXPECT_EQ(IbmKeyTable[44].type, SHIFT_LEFT_KEY);
  EXPECT_EQ(IbmKeyTable[118].scan2, 0x83);
  EXPECT_EQ(IbmKeyTable[129].legend, "IBM Key 129");
  EXPECT_EQ(IbmKeyTable[146].type, STOP_SUN_KEY);
  EXPECT_EQ(IbmKeyTable[158].legend, "F24");
  EXPECT_EQ(IbmKeyTable[158].usb, 0x73);
}

TEST(IbmKeyTable, NotUsedRowsAreMarked) {
  int marked = 0;
  for (const IbmKeyRow& row : IbmKeyTable)
    if (row.legend.ends_with(" Not Used!")) ++marked;
  EXPECT_EQ(marked, 23);
}

TEST(FindRow, ByUsbTakesTheFirstRowInIndexOrder) {
  EXPECT_EQ(FindRowByUsb(0x01), 130);
  EXPECT_EQ(FindRowByUsb(0x04), 31);
  EXPECT_EQ(FindRowByUsb(0x87), 56);
  EXPECT_EQ(FindRowByUsb(0xFE), 0);
}

TEST(FindRow, ByTypeAndUsbNeedsBoth) {
  EXPECT_EQ(FindRowByTypeAndUsb(CONSUMER_KEY, 0x04), 144);
  EXPECT_EQ(FindRowByTypeAndUsb(SYSTEM_KEY, 0x04), 138);
  EXPECT_EQ(FindRowByTypeAndUsb(MOUSE_BUTTON_KEY, 0x04), 132);
  EXPECT_EQ(FindRowByTypeAndUsb(SYSTEM_KEY, 0x35), 0);
  EXPECT_EQ(FindRowByTypeAndUsb(0xD1, 0x04), 0);  // a light flag matches no type
}

TEST(FindRow, ByLegendIsExactAndCaseSensitive) {
  EXPECT_EQ(FindRowByLegend("Volume up"), 144);
  EXPECT_EQ(FindRowByLegend("No Key"), 0);
  EXPECT_EQ(FindRowByLegend("IBM Key 14 Not Used!"), 14);
  EXPECT_FALSE(FindRowByLegend("volume up").has_value());
  EXPECT_FALSE(FindRowByLegend("IBM Key 14").has_value());
  EXPECT_FALSE(FindRowByLegend("").has_value());
}

TEST(IbmKeyRowAt, RefusesValuesOutsideTheTable) {
  EXPECT_EQ(IbmKeyRowAt(-1), nullptr);
  EXPECT_EQ(IbmKeyRowAt(159), nullptr);
  EXPECT_EQ(IbmKeyRowAt(255), nullptr);
  ASSERT_NE(IbmKeyRowAt(158), nullptr);
  EXPECT_EQ(IbmKeyRowAt(158)->legend, "F24");
}

TEST(KeyTypeNames, IdentifiersKeepTheirSpelling) {
  EXPECT_EQ(KeyTypeIdentifierOf(4), "PRINTSCREEEN_KEY");
  EXPECT_EQ(KeyTypeIdentifierOf(15), "UNUSED_KEY");
  EXPECT_EQ(KeyTypeIdentifierOf(21), "undefined");
  EXPECT_EQ(KeyTypeIdentifierOf(22), "STOP_SUN_KEY");
  EXPECT_EQ(KeyTypeNames[20], "Light Control Key");
  EXPECT_EQ(KeyTypeNames[14], "Fn2");
}

TEST(KeyTypeNames, LightFlagsKeepTheNameAndUnknownTypesAreUndefined) {
  EXPECT_EQ(KeyTypeIdentifierOf(20 | 0x80), "LOCAL_ILLUMINATION_KEY");
  EXPECT_EQ(KeyTypeIdentifierOf(0 | 0x40), "NORMAL_KEY");
  EXPECT_EQ(KeyTypeIdentifierOf(23), "undefined");
  EXPECT_EQ(KeyTypeIdentifierOf(63), "undefined");
  EXPECT_EQ(KeyTypeIdentifierOf(255), "undefined");
}

TEST(ScanCodes, TranslateWithAndWithoutTheExtendedFlag) {
  EXPECT_EQ(IbmKeyOfScanCode(1, false), 110);
  EXPECT_EQ(IbmKeyOfScanCode(28, false), 43);
  EXPECT_EQ(IbmKeyOfScanCode(28, true), 108);
  EXPECT_EQ(IbmKeyOfScanCode(83, true), 76);
  EXPECT_EQ(IbmKeyOfScanCode(99, false), 0);
  EXPECT_EQ(IbmKeyOfScanCode(100, false), 0);
  EXPECT_EQ(IbmKeyOfScanCode(-1, true), 0);
}

TEST(ScanCodes, TypedKeysBeyondTheListsAreF13ToF24) {
  // Num Lock is the extended 0x45, Pause the plain one.
  const std::pair<int, bool> typed[] = {{0x45, true},  {0x45, false}, {0x64, false}, {0x6E, false},
                                        {0x76, false}, {0x64, true},  {0x6F, false}, {0x1E, false}};
  const int rows[] = {90, 126, 147, 157, 158, 0, 0, 31};
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(RowOfTypedKey(typed[i].first, typed[i].second), rows[i]) << i;
  EXPECT_EQ(IbmKeyTable[static_cast<std::size_t>(RowOfTypedKey(0x76, false))].legend, "F24");
}

TEST(ScanCodes, ExtendedKeysNeverTakeAPlainKeysRow) {
  const auto legend = [](int scan) {
    return IbmKeyTable[static_cast<std::size_t>(RowOfTypedKey(scan, true))].legend;
  };
  // The extended list gives D, B, C, F for these; they are media keys.
  EXPECT_EQ(legend(0x20), "Mute");
  EXPECT_EQ(legend(0x30), "Volume up");
  EXPECT_EQ(legend(0x5E), "System power");
  EXPECT_EQ(RowOfTypedKey(0x21, true), 0);  // Calculator: no row of its own
  EXPECT_EQ(RowOfTypedKey(0x32, true), 0);  // browser Home
  EXPECT_EQ(RowOfTypedKey(0x1D, true), 64);
  EXPECT_EQ(RowOfTypedKey(0x38, true), 62);
  // The keys that truly send E0 keep the list's rows.
  EXPECT_EQ(RowOfTypedKey(0x1C, true), 108);
  EXPECT_EQ(RowOfTypedKey(0x35, true), 95);
  EXPECT_EQ(RowOfTypedKey(0x5B, true), 127);
  // No extended code lands on a row that a key without E0 has.
  std::set<int> plain;
  for (int scan = 1; scan <= 0x58; ++scan) plain.insert(RowOfTypedKey(scan, false));
  plain.erase(0);
  for (int scan = 0; scan < 0x80; ++scan)
    EXPECT_EQ(plain.count(RowOfTypedKey(scan, true)), 0u) << std::hex << scan;
}

TEST(NameLists, RepeatRatesFollowTheTypematicCode) {
  for (int i = 0; i < 32; ++i) {
    const int a = i & 7, b = (i >> 3) & 3;
    EXPECT_EQ(DefRepRateNames[i], std::to_string((8 + a) * (1 << b) * 4) + " mS");
  }
  EXPECT_EQ(LedNames[5], "Scroll Lock LED");
  EXPECT_EQ(PointDeviceNames[2], "Gyro Kestan");
  EXPECT_EQ(MaxScanRowNames[13], "14");
}

}  // namespace
}  // namespace veltrane::model
