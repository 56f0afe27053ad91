// SPDX-License-Identifier: MIT
#include "link/trace_layer.h"

#include <gtest/gtest.h>

#include "link/block_transfer.h"
#include "link/feature_reports.h"
#include "tests/link/fake_device_layer.h"
#include "tests/link/test_files.h"

namespace veltrane::link {
namespace {

using testing::ScratchPath;

TEST(TraceLine, DirectionThenSevenLowerCaseHexBytes) {
  EXPECT_EQ(TraceLine("set", ReadRequest(0x0123)), "set 00 23 81 00 00 00 7a");
  EXPECT_EQ(TraceLine("get", {0x00, 0xAB, 0xCD, 0xEF, 0x01, 0x0F, 0xF0}),
            "get 00 ab cd ef 01 0f f0");
}

TEST(TraceLayer, AppendsSentReportsAndReceivedReplies) {
  const std::string path = ScratchPath("trace.txt");
  { std::ofstream(path) << "earlier line\n"; }
  auto owned = std::make_unique<testing::FakeDeviceLayer>();
  testing::FakeDeviceLayer& fake = *owned;
  fake.interfaces[0] = testing::FakeKeyboard("/dev/hidraw0");
  TraceLayer trace(std::move(owned), path);
  ASSERT_TRUE(trace.Tracing());
  LinkState state;
  std::uint8_t buffer[12] = {};
  fake.ExpectSet(ReadRequest(0));
  fake.ExpectGet({0x00, 0x00, 0x80, 0x0A, 0x0B, 0x0C, 0x0D});
  fake.ExpectSet(ReadRequest(4));
  fake.ExpectGet({}, false);
  EXPECT_EQ(ReadFirmWare(trace, state, buffer, 0, 12, nullptr), 0);
  const std::uint8_t on[4] = {0, 0, 0, 0xB1};
  fake.ExpectSet(ControlWrite(0xFF00, on), false);
  EXPECT_EQ(ProgramFirmWare(trace, state, on, 0xFF00, 4, nullptr), 0);
  fake.VerifyAllSent();
  EXPECT_EQ(testing::ReadFileText(path),
            "earlier line\n"
            "set 00 00 80 00 00 00 7a\n"
            "get 00 00 80 0a 0b 0c 0d\n"
            "set 00 04 80 00 00 00 7a\n"
            "set 00 00 ff 00 00 00 b1\n");
  EXPECT_EQ(fake.messages.size(), 2u);  // messages pass through to the inner layer
}

TEST(TraceLayer, UnwritableTraceLeavesTheTransferAlone) {
  auto owned = std::make_unique<testing::FakeDeviceLayer>();
  testing::FakeDeviceLayer& fake = *owned;
  fake.interfaces[0] = testing::FakeKeyboard("/dev/hidraw0");
  const std::string path = ScratchPath("missing/dir/trace.txt");
  ::testing::internal::CaptureStderr();
  TraceLayer trace(std::move(owned), path);
  TraceLayer again(std::make_unique<testing::FakeDeviceLayer>(), path);
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(trace.Tracing());
  EXPECT_FALSE(again.Tracing());
  // Once a process; this is the only test here that fails to open a trace.
  EXPECT_EQ(warnings, "nirvex: cannot write trace file: " + path + ": No such file or directory\n");
  auto quiet = std::make_unique<testing::FakeDeviceLayer>();
  quiet->ExpectSet(ReadRequest(0));
  TraceLayer full(std::move(quiet), "/dev/full");
  ASSERT_TRUE(full.Tracing());
  full.SetFeature(1, ReadRequest(0));
  EXPECT_FALSE(full.Tracing()) << "a failed write stops the trace";
  LinkState state;
  const std::uint8_t data[4] = {1, 2, 3, 4};
  fake.ExpectSet(WriteReport(0, data));
  EXPECT_EQ(ProgramFirmWare(trace, state, data, 0, 4, nullptr), 1);
  fake.VerifyAllSent();
}

}  // namespace
}  // namespace veltrane::link
