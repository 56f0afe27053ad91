// SPDX-License-Identifier: MIT
// Several keyboards: the listing, the choice of one by its path, the read-back
// comparison, and the USB port from sysfs.
#include "link/keyboards.h"

#include <gtest/gtest.h>

#include "link/feature_reports.h"
#include "link/hid_nodes.h"
#include "tests/link/fake_device_layer.h"

namespace veltrane::link {
namespace {

using testing::FakeDeviceLayer;
using testing::FakeKeyboard;

// Keyboards at 1, 5 (a path with "\kbd") and 39; a mouse at 3, a keyboard
// this user may not open at 7.
FakeDeviceLayer Bus() {
  FakeDeviceLayer layer;
  layer.interfaces[1] = FakeKeyboard("/dev/hidraw1", u"V0527X first");
  layer.interfaces[3] = FakeKeyboard("/dev/hidraw3");
  layer.interfaces[3].capabilities.usage = 0x02;
  layer.interfaces[5] = FakeKeyboard("\\\\?\\hid#5\\kbd", u"V0412 second");
  layer.interfaces[7] = FakeKeyboard("/dev/hidraw7");
  layer.interfaces[7].open = OpenStatus::Denied;
  layer.interfaces[7].listed = DeviceAttributes{0x7A31, 0xFF02};
  layer.interfaces[39] = FakeKeyboard("/dev/hidraw39", u"V1420 third");
  return layer;
}

TEST(KeyboardList, EveryKeyboardInOrderEachClosedAgainAndTheDeniedOneExplained) {
  FakeDeviceLayer layer = Bus();
  LinkState state;
  const std::vector<ListedKeyboard> found = ListKeyboards(layer, state);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].path, "/dev/hidraw1");
  EXPECT_EQ(found[0].text, "V0527X first");
  EXPECT_EQ(found[1].path, "\\\\?\\hid#5");
  EXPECT_EQ(found[1].text, "V0412 second");
  EXPECT_EQ(found[2].path, "/dev/hidraw39");
  EXPECT_EQ(found[2].attributes.product, 0xFF02);
  EXPECT_EQ(found[2].serial, "");  // the fake has no serial number string
  EXPECT_EQ(layer.openDevices, 0);
  EXPECT_TRUE(state.openDenied);
  EXPECT_NE(std::string(state.accessProblem.data()).find("/dev/hidraw7"), std::string::npos);
  EXPECT_EQ(layer.queried.size(), static_cast<std::size_t>(kListAttempts));
}

TEST(ChosenKeyboard, TheOneKeyboardOperationsRunOnTheChosenOneQuietly) {
  FakeDeviceLayer layer = Bus();
  const std::uint8_t data[4] = {1, 2, 3, 4};
  layer.ExpectSet(WriteReport(0x10, data));
  LinkState state;
  ChosenKeyboardLayer chosen(layer, "/dev/hidraw39");
  std::uint8_t image[0x14] = {};
  std::copy(data, data + 4, image + 0x10);
  EXPECT_EQ(ProgramFirmWare(chosen, state, image, 0x10, 4, nullptr), 1);
  EXPECT_EQ(layer.opened, std::vector<std::string>{"/dev/hidraw39"});
  EXPECT_EQ(ProductTextOf(state), "V1420 third");
  EXPECT_TRUE(layer.messages.empty());  // no "Done"
  EXPECT_EQ(layer.printed, "");         // no "Found keyboard"
  layer.VerifyAllSent();
  // Paced by its own text, not by the first keyboard's.
  EXPECT_EQ(layer.events, (std::vector<std::string>{"set", "sleep 16", "close"}));
}

TEST(ChosenKeyboard, APathCutAtKbdIsFoundAndAMissingOneIsNotThere) {
  FakeDeviceLayer layer = Bus();
  LinkState state;
  char text[64];
  ChosenKeyboardLayer fifth(layer, "\\\\?\\hid#5");
  EXPECT_EQ(DetectKeyboard(fifth, state, text), 1);
  EXPECT_STREQ(text, "V0412 second");
  for (const char* gone : {"/dev/hidraw2", "/dev/hidraw3"}) {
    ChosenKeyboardLayer missing(layer, gone);
    EXPECT_EQ(DetectKeyboard(missing, state, text), 0) << gone;  // absent; a mouse
    EXPECT_STREQ(text, "Not found");
  }
  EXPECT_EQ(layer.openDevices, 0);
}

FeatureReport Reply(std::uint32_t address, std::array<std::uint8_t, 4> bytes) {
  FeatureReport reply = ReadRequest(address);
  std::copy(bytes.begin(), bytes.end(), reply.begin() + 3);
  return reply;
}

TEST(VerifyBlock, CountsTheBytesThatDifferAndNamesTheFirst) {
  std::uint8_t expected[0x28] = {};
  for (std::uint8_t k = 0; k < 8; ++k) expected[0x20 + k] = k;
  FakeDeviceLayer fresh = Bus();
  fresh.ExpectSet(ReadRequest(0x20));
  fresh.ExpectGet(Reply(0x20, {0, 1, 9, 3}));
  fresh.ExpectSet(ReadRequest(0x24));
  fresh.ExpectGet(Reply(0x24, {4, 5, 6, 0}));
  LinkState state;
  ChosenKeyboardLayer chosen(fresh, "/dev/hidraw1");
  const BlockVerification result = VerifyBlock(chosen, state, expected, 0x20, 8, nullptr);
  EXPECT_TRUE(result.read);
  EXPECT_EQ(result.differences, 2u);
  EXPECT_EQ(result.firstDifference, 0x22u);
  fresh.VerifyAllSent();

  FakeDeviceLayer failing = Bus();
  failing.ExpectSet(ReadRequest(0x20), false);
  ChosenKeyboardLayer failed(failing, "/dev/hidraw1");
  EXPECT_FALSE(VerifyBlock(failed, state, expected, 0x20, 8, nullptr).read);
  // A refused range is refused before anything is sized or sent.
  EXPECT_FALSE(VerifyBlock(failed, state, expected, 0xFFFF0000u, 8, nullptr).read);
  EXPECT_NE(failing.printed.find("Transfer refused"), std::string::npos);
}

TEST(UsbPort, TheInterfaceComponentNearestTheDevice) {
  EXPECT_EQ(UsbPortOfSysfsPath("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1.4/1-1.4:1.0/"
                               "0003:7A31:FF02.0005"),
            "1-1.4");
  EXPECT_EQ(UsbPortOfSysfsPath("/sys/devices/usb3/3-2/3-2:1.1/0003:6C4E:B5A0.0001/hidraw/hidraw2"),
            "3-2");
  for (const char* none : {"", "/sys/devices/virtual/misc/uhid/0003:7A31:FF02.0009",
                           "/sys/devices/pci0000:00/0000:00:14.0", "/a/1-:1.0", "/a/x-1:1.0"})
    EXPECT_EQ(UsbPortOfSysfsPath(none), "") << none;
  EXPECT_EQ(UsbPortOfNode("/dev/null"), "");
}

}  // namespace
}  // namespace veltrane::link
