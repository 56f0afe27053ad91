// SPDX-License-Identifier: MIT
#include "link/keyboard_open.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "tests/link/fake_device_layer.h"

namespace veltrane::link {
namespace {

using testing::FakeDeviceLayer;
using testing::FakeKeyboard;

TEST(IdentityTest, BothVendorsWithBothProductRules) {
  const DeviceCapabilities keyboard{0x01, 0x06, 8, 1};
  for (const std::uint16_t vendor : {0x7A31, 0x6C4E}) {
    for (const std::uint16_t product : {0xFF02, 0xFF80, 0xFFFF, 0xB5A0})
      EXPECT_TRUE(PassesIdentityTest({vendor, product}, keyboard)) << vendor << ":" << product;
    for (const std::uint16_t product : {0xFF01, 0xB59F, 0xB5A1, 0x0000})
      EXPECT_FALSE(PassesIdentityTest({vendor, product}, keyboard)) << vendor << ":" << product;
  }
  EXPECT_FALSE(PassesIdentityTest({0x7A30, 0xFF02}, keyboard));
  EXPECT_FALSE(PassesIdentityTest({0x6C4F, 0xB5A0}, keyboard));
}

TEST(IdentityTest, OnlyTheGenericDesktopKeyboardCollection) {
  EXPECT_FALSE(PassesIdentityTest({0x7A31, 0xFF02}, {0x01, 0x02, 8, 1}));  // mouse
  EXPECT_FALSE(PassesIdentityTest({0x7A31, 0xFF02}, {0x0C, 0x06, 8, 1}));
  EXPECT_TRUE(PassesIdentityTest({0x7A31, 0xFF02}, {0x01, 0x06, 0, 0}));
}

TEST(CutAtKbd, CutsAtTheFirstOccurrenceOnly) {
  std::string path = "\\\\?\\hid#vid_7a31&pid_ff02\\kbd#1\\kbd";
  CutAtKbd(path);
  EXPECT_EQ(path, "\\\\?\\hid#vid_7a31&pid_ff02");
  std::string other = "/dev/hidraw3kbd\\kb";
  CutAtKbd(other);
  EXPECT_EQ(other, "/dev/hidraw3kbd\\kb");
}

TEST(OpenWalk, NothingFoundAfterAllFortyIndices) {
  FakeDeviceLayer layer;
  layer.interfaces[3] = FakeKeyboard("/dev/hidraw3");
  layer.interfaces[3].attributes.product = 0xFF01;
  LinkState state;
  EXPECT_EQ(OpenKeyboard(layer, state), kNoDevice);
  std::vector<int> all(kInterfaceAttempts);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(layer.queried, all);
  EXPECT_EQ(ProductTextOf(state), "Not found");
  EXPECT_EQ(layer.printed, "");
  layer.VerifyAllSent();  // the skipped device was closed again
}

TEST(OpenWalk, AbsentInterfacesDoNotStopTheWalk) {
  FakeDeviceLayer layer;
  layer.interfaces[39] = FakeKeyboard("/dev/hidraw39", u"V1420 last");
  LinkState state;
  const DeviceHandle handle = OpenKeyboard(layer, state);
  EXPECT_EQ(handle, 39);
  EXPECT_EQ(ProductTextOf(state), "V1420 last");
  EXPECT_EQ(layer.printed, "Found keyboard\n\n");
  layer.Close(handle);
  layer.VerifyAllSent();
}

TEST(OpenWalk, TheFirstMatchingInterfaceWins) {
  FakeDeviceLayer layer;
  layer.interfaces[2] = FakeKeyboard("/dev/mouse");
  layer.interfaces[2].capabilities.usage = 0x02;
  layer.interfaces[5] = FakeKeyboard("/dev/first", u"V0527 first");
  layer.interfaces[9] = FakeKeyboard("/dev/second", u"V0412 second");
  LinkState state;
  for (int run = 0; run < 2; ++run) {
    const DeviceHandle handle = OpenKeyboard(layer, state);
    EXPECT_EQ(handle, 5);
    layer.Close(handle);
  }
  EXPECT_EQ(ProductTextOf(state), "V0527 first");
  EXPECT_EQ(std::count(layer.opened.begin(), layer.opened.end(), "/dev/second"), 0);
  EXPECT_EQ(layer.queried.back(), 5);
  layer.VerifyAllSent();
}

TEST(OpenWalk, DevicesThatFailAreSkippedAndClosed) {
  FakeDeviceLayer layer;
  layer.interfaces[0].status = InterfaceStatus::NoDeviceSet;
  layer.interfaces[1] = FakeKeyboard("/dev/unopenable");
  layer.interfaces[1].open = OpenStatus::Failed;
  layer.interfaces[2] = FakeKeyboard("/dev/noattributes");
  layer.interfaces[2].attributesFail = true;
  layer.interfaces[3] = FakeKeyboard("/dev/nocaps");
  layer.interfaces[3].capabilitiesFail = true;
  layer.interfaces[4] = FakeKeyboard("/dev/good", u"V0527X good");
  LinkState state;
  EXPECT_EQ(OpenKeyboard(layer, state), 4);
  EXPECT_EQ(layer.printed, "No HDEVINFO available for this GUID\nFound keyboard\n\n");
  EXPECT_EQ(std::count(layer.events.begin(), layer.events.end(), "close"), 2);
}

TEST(OpenWalk, KbdPartIsNotOpenedAndLongPathsAreWhole) {
  FakeDeviceLayer layer;
  const std::string collection = "\\\\?\\hid#vid_7a31&pid_ff02&mi_00#8&2c1e&0&0000#{4d1e55b2}";
  layer.interfaces[0] = FakeKeyboard(collection + "\\kbd");
  layer.interfaces[0].attributes.product = 0x0001;
  const std::string long_path = "/dev/" + std::string(1000, 'x');
  layer.interfaces[1] = FakeKeyboard(long_path);
  LinkState state;
  EXPECT_EQ(OpenKeyboard(layer, state), 1);
  ASSERT_EQ(layer.opened.size(), 2u);
  EXPECT_EQ(layer.opened[0], collection);
  EXPECT_EQ(layer.opened[1], long_path);
}

TEST(ProductText, LowBytesOfTheFirst63Characters) {
  FakeDeviceLayer layer;
  std::u16string product =
      u"\u0156"
      u"0527 ";  // U+0156 keeps its low byte 'V'
  while (product.size() < 100) product += u'a' + static_cast<char16_t>(product.size() % 26);
  layer.interfaces[0] = FakeKeyboard("/dev/k", product);
  LinkState state;
  char text[80];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(DetectKeyboard(layer, state, text), 1);
  EXPECT_EQ(std::strlen(text), 63u);
  EXPECT_EQ(std::string(text, 6), "V0527 ");
  EXPECT_EQ(text[64], '#');  // nothing beyond the 64 bytes
  layer.VerifyAllSent();
}

TEST(ProductText, ErrorTextsStillCountAsFound) {
  struct Case {
    DeviceCapabilities capabilities;
    bool productStringReadable;
    const char* text;
  };
  const Case cases[] = {{{1, 6, 0, 1}, true, "Error 1"},
                        {{1, 6, 8, 0}, true, "Error 1"},
                        {{1, 6, 8, 1}, false, "Error 2"},
                        {{1, 6, 0, 0}, false, "Error 1"}};
  for (const Case& c : cases) {
    FakeDeviceLayer layer;
    layer.interfaces[7] = FakeKeyboard("/dev/k", u"V0527");
    layer.interfaces[7].capabilities = c.capabilities;
    if (!c.productStringReadable) layer.interfaces[7].productString.reset();
    LinkState state;
    char text[64] = "stale";
    EXPECT_EQ(DetectKeyboard(layer, state, text), 1);
    EXPECT_STREQ(text, c.text);
    layer.VerifyAllSent();
  }
}

TEST(DetectKeyboard, NotFoundIntoTheTextAndNullTextIsSafe) {
  FakeDeviceLayer empty;
  LinkState state;
  SetProductText(state, "V0527 before");
  char text[64] = "stale";
  EXPECT_EQ(DetectKeyboard(empty, state, text), 0);
  EXPECT_STREQ(text, "Not found");

  FakeDeviceLayer layer;
  layer.interfaces[0] = FakeKeyboard("/dev/k", u"V0527X");
  EXPECT_EQ(DetectKeyboard(layer, state, nullptr), 1);
  EXPECT_EQ(ProductTextOf(state), "V0527X");
  layer.VerifyAllSent();
}

TEST(DeniedOpen, AMatchingKeyboardIsExplainedOnce) {
  FakeDeviceLayer layer;
  for (const int index : {1, 2}) {
    layer.interfaces[index] = FakeKeyboard("/dev/hidraw" + std::to_string(index));
    layer.interfaces[index].open = OpenStatus::Denied;
    layer.interfaces[index].listed = DeviceAttributes{0x6C4E, 0xB5A0};
  }
  LinkState state;
  char text[64];
  EXPECT_EQ(DetectKeyboard(layer, state, text), 0);
  EXPECT_STREQ(text, "Not found");
  EXPECT_TRUE(state.openDenied);
  const std::string problem = state.accessProblem.data();
  EXPECT_NE(problem.find("6c4e:b5a0 at /dev/hidraw1"), std::string::npos);
  EXPECT_NE(problem.find("sudo ./dev udev"), std::string::npos);
  EXPECT_NE(problem.find("the veltrane package installs it"), std::string::npos);  // no tree
  EXPECT_EQ(layer.printed, problem);

  layer.interfaces[1].listed = DeviceAttributes{0x7A31, 0xFF01};
  layer.interfaces[2].listed.reset();
  EXPECT_EQ(DetectKeyboard(layer, state, text), 0);
  EXPECT_FALSE(state.openDenied);
  EXPECT_STREQ(state.accessProblem.data(), "");
}

}  // namespace
}  // namespace veltrane::link
