// SPDX-License-Identifier: MIT
#include "link/block_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/feature_reports.h"
#include "link/link_status.h"
#include "tests/link/fake_device_layer.h"

namespace veltrane::link {
namespace {

using testing::FakeDeviceLayer;
using testing::FakeKeyboard;
using testing::g_progress;
using testing::RecordProgress;

using Messages = std::vector<std::pair<std::string, std::string>>;

class BlockTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    g_progress.clear();
    layer.interfaces[2] = FakeKeyboard("/dev/hidraw2", u"V0527X");
    for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k * 7 + 1);
  }
  void UseProduct(const std::u16string& product) { layer.interfaces[2].productString = product; }
  // Scripts the write reports for image[address .. address + count).
  void ExpectWrites(std::uint32_t address, std::uint32_t count, std::uint32_t refusedAt = ~0u) {
    for (std::uint32_t o = 0, n = 0; o < count; o += 4, ++n) {
      layer.ExpectSet(WriteReport(address + o, &image[address + o]), n != refusedAt);
      if (n == refusedAt) return;
    }
  }
  std::vector<int> Steps(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> steps;
    for (const auto& [value, times] : runs) steps.insert(steps.end(), times, value);
    return steps;
  }

  FakeDeviceLayer layer;
  LinkState state;
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(8192);
};

TEST_F(BlockTransfer, ReportLayouts) {
  const std::uint8_t data[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  EXPECT_EQ(testing::Hex(ReadRequest(0x0123)), "00 23 81 00 00 00 7a");
  EXPECT_EQ(testing::Hex(ReadRequest(0x7FFC)), "00 fc ff 00 00 00 7a");
  EXPECT_EQ(testing::Hex(WriteReport(0x0BFC, data)), "00 fc 0b de ad be ef");
  EXPECT_EQ(testing::Hex(ControlWrite(0xFF00, data)), "00 00 ff de ad be ef");
}

TEST_F(BlockTransfer, DownloadOf3072BytesSends768ReportsWithEvenProgress) {
  ExpectWrites(0, 3072);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 3072, RecordProgress), 1);
  layer.VerifyAllSent();
  std::vector<int> expected(99);
  for (int k = 0; k < 99; ++k) expected[k] = k;
  expected.push_back(99);
  EXPECT_EQ(g_progress, expected);
  EXPECT_EQ(layer.messages, (Messages{{"Done", "nirvex"}}));
  EXPECT_EQ(std::count(layer.events.begin(), layer.events.end(), "set"), 768);
}

TEST_F(BlockTransfer, BufferIsAPictureOfTheAddressSpace) {
  ExpectWrites(0x0100, 8);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0x0100, 8, nullptr), 1);
  layer.VerifyAllSent();

  layer.ExpectSet(ReadRequest(0x0123));
  layer.ExpectGet({0x00, 0x23, 0x81, 0x11, 0x22, 0x33, 0x44});
  std::vector<std::uint8_t> buffer(0x200, 0xEE);
  EXPECT_EQ(ReadFirmWare(layer, state, buffer.data(), 0x0123, 4, nullptr), 1);
  layer.VerifyAllSent();
  EXPECT_EQ(buffer[0x122], 0xEE);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin() + 0x123, buffer.begin() + 0x127),
            (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(buffer[0x127], 0xEE);
  EXPECT_TRUE(layer.messages.size() == 1 && layer.messages[0].first == "Done");
}

TEST_F(BlockTransfer, CountZeroAndFourStillMakeOneHundredCalls) {
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 0, RecordProgress), 1);
  EXPECT_EQ(g_progress, Steps({{0, 100}}));
  EXPECT_EQ(ProgramFirmWare(layer, state, nullptr, 0, 0, nullptr), 1);
  g_progress.clear();
  EXPECT_EQ(ReadFirmWare(layer, state, image.data(), 0, 0, RecordProgress), 1);
  EXPECT_EQ(g_progress, Steps({{0, 100}}));

  g_progress.clear();
  ExpectWrites(0x40, 4);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0x40, 4, RecordProgress), 1);
  EXPECT_EQ(g_progress, Steps({{0, 100}}));
  layer.VerifyAllSent();
  EXPECT_EQ(layer.messages, (Messages{{"Done", "nirvex"}, {"Done", "nirvex"}, {"Done", "nirvex"}}));
}

TEST_F(BlockTransfer, RefusedWriteStopsWithoutDoneAndReportsFailure) {
  ExpectWrites(0, 3072, 250);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 3072, RecordProgress), 0);
  layer.VerifyAllSent();
  std::vector<int> expected;
  for (int k = 0; k < 32; ++k) expected.push_back(k);
  expected.insert(expected.end(), 68, 32);
  EXPECT_EQ(g_progress, expected);
  EXPECT_EQ(layer.messages, (Messages{{"Setfeature returned: 5 Input/output error\n", "nirvex"}}));
}

TEST_F(BlockTransfer, ControlWriteIsOneReportWithoutProgressOrDone) {
  const std::uint8_t on[4] = {0x00, 0x00, 0x00, 0xB1};
  layer.ExpectSet({0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xB1});
  EXPECT_EQ(ProgramFirmWare(layer, state, on, 0xFF00, 4, RecordProgress), 1);
  layer.ExpectSet({0x00, 0x37, 0xFF, 0x00, 0x00, 0x00, 0xB1});
  EXPECT_EQ(ProgramFirmWare(layer, state, on, 0xFF37, 4, RecordProgress), 1);
  layer.VerifyAllSent();
  EXPECT_TRUE(g_progress.empty());
  EXPECT_TRUE(layer.messages.empty());

  layer.errorCode = 32;
  layer.ExpectSet({0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xB1}, false);
  EXPECT_EQ(ProgramFirmWare(layer, state, on, 0xFF00, 4, RecordProgress), 0);
  layer.VerifyAllSent();
  EXPECT_EQ(layer.messages, (Messages{{"Setfeature returned: 32 Broken pipe\n", "nirvex"}}));
}

TEST_F(BlockTransfer, PacingFollowsTheFirmwareVersion) {
  const struct {
    const char16_t* product;
    bool paced;
  } cases[] = {{u"V0527X", false}, {u"V0412", true},  {u"V1420", true}, {u"V0012", true},
               {u"V0599", false},  {u"V1520", false}, {u"V0", true}};
  for (const auto& c : cases) {
    UseProduct(c.product);
    layer.events.clear();
    ExpectWrites(0, 12, 2);
    ProgramFirmWare(layer, state, image.data(), 0, 12, nullptr);
    layer.VerifyAllSent();
    const std::vector<std::string> paced = {"set", "sleep 16", "set", "sleep 16", "set", "close"};
    const std::vector<std::string> unpaced = {"set", "set", "set", "close"};
    EXPECT_EQ(std::vector<std::string>(layer.events.end() - (c.paced ? 6 : 4), layer.events.end()),
              c.paced ? paced : unpaced);
  }
}

TEST_F(BlockTransfer, ReadIsNeverPaced) {
  UseProduct(u"V0412");
  layer.ExpectSet(ReadRequest(0));
  layer.ExpectGet({});
  EXPECT_EQ(ReadFirmWare(layer, state, image.data(), 0, 4, nullptr), 1);
  EXPECT_EQ(std::count(layer.events.begin(), layer.events.end(), "sleep 16"), 0);
}

TEST_F(BlockTransfer, DoneComesOnlyAfterASuccessfulClose) {
  ExpectWrites(0, 8);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 8, nullptr), 1);
  EXPECT_EQ(layer.openAtMessage, std::vector<int>{0});  // the keyboard is free when it shows

  layer.closeFails = true;
  layer.errorCode = 6;
  layer.messages.clear();
  ExpectWrites(0, 8);
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 8, nullptr), 1);
  EXPECT_EQ(layer.messages, (Messages{{"CloseHandle failed 6\n", "nirvex"}}));
  EXPECT_EQ(LastStatus(), LinkStatus::CloseFailed);
  const std::uint8_t on[4] = {0x00, 0x00, 0x00, 0xB1};
  layer.ExpectSet({0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xB1}, false);
  EXPECT_EQ(ProgramFirmWare(layer, state, on, 0xFF00, 4, nullptr), 0);
  EXPECT_EQ(LastStatus(), LinkStatus::ReportFailed);  // before the failed close
  layer.VerifyAllSent();
}

TEST_F(BlockTransfer, StoppedReadKeepsTheEarlierBytesAndSaysSo) {
  for (const bool getFails : {false, true}) {
    g_progress.clear();
    layer.messages.clear();
    std::vector<std::uint8_t> buffer(16, 0xEE);
    for (std::uint32_t a = 0; a < 8; a += 4) {
      layer.ExpectSet(ReadRequest(a));
      layer.ExpectGet({0, 0, 0, 1, 2, 3, static_cast<std::uint8_t>(a)});
    }
    layer.ExpectSet(ReadRequest(8), getFails);
    if (getFails) layer.ExpectGet({}, false);
    EXPECT_EQ(ReadFirmWare(layer, state, buffer.data(), 0, 16, RecordProgress), 0);
    layer.VerifyAllSent();
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{1, 2, 3, 0, 1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE,
                                                 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(g_progress.size(), 100u);
    EXPECT_EQ(layer.messages, (Messages{{"Set or GetFeature failed ", "nirvex"}}));
  }
}

TEST_F(BlockTransfer, NoKeyboardIsSilent) {
  layer.interfaces[2].attributes.vendor = 0x1234;
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 3072, RecordProgress), 0);
  EXPECT_EQ(ReadFirmWare(layer, state, image.data(), 0, 3072, RecordProgress), 0);
  const std::uint8_t on[4] = {0, 0, 0, 0xB1};
  EXPECT_EQ(ProgramFirmWare(layer, state, on, 0xFF00, 4, RecordProgress), 0);
  layer.VerifyAllSent();
  EXPECT_TRUE(g_progress.empty());
  EXPECT_TRUE(layer.messages.empty());
  EXPECT_EQ(ProductTextOf(state), "Not found");
}

TEST_F(BlockTransfer, RangesThatCannotBeSentAreRefusedBeforeTheSearch) {
  const struct {
    bool write;
    bool nullBuffer;
    std::uint32_t address, count;
  } refused[] = {
      {true, false, 0x8000, 4},     {true, false, 0xFEFC, 4},      {true, false, 0x7FFC, 8},
      {true, false, 0xFFFFFFFC, 8}, {true, false, 0x1FF00, 4},     {true, false, 0x0000, 6},
      {true, true, 0x0000, 4},      {true, true, 0xFF00, 4},       {true, false, 0xFF00, 3},
      {false, false, 0xFF00, 4},    {false, false, 0x8000, 0x100}, {false, true, 0, 4},
      {false, false, 0x7FFE, 4},    {false, false, 4, 0xFFFFFFFC}, {false, false, 0x7F00, 4},
      {false, false, 0x7EFC, 8}};
  for (const auto& r : refused) {
    std::uint8_t* buffer = r.nullBuffer ? nullptr : image.data();
    const int result =
        r.write ? ProgramFirmWare(layer, state, buffer, r.address, r.count, RecordProgress)
                : ReadFirmWare(layer, state, buffer, r.address, r.count, RecordProgress);
    EXPECT_EQ(result, 0) << std::hex << r.address << " " << r.count;
  }
  EXPECT_TRUE(layer.queried.empty());
  EXPECT_TRUE(g_progress.empty());
  EXPECT_NE(layer.printed.find("Transfer refused: address 0x8000, count 4\n"), std::string::npos);

  std::vector<std::uint8_t> full(0x8000, 0x5A);
  layer.ExpectSet(WriteReport(0x7FFC, &full[0x7FFC]));
  EXPECT_EQ(ProgramFirmWare(layer, state, full.data(), 0x7FFC, 4, nullptr), 1);
  layer.ExpectSet(ReadRequest(0x7EFC));
  layer.ExpectGet({});
  EXPECT_EQ(ReadFirmWare(layer, state, full.data(), 0x7EFC, 4, nullptr), 1);
  layer.VerifyAllSent();
}

}  // namespace
}  // namespace veltrane::link
