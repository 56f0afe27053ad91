// SPDX-License-Identifier: MIT
#include "link/simulated_keyboard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "link/block_transfer.h"
#include "link/device_choice.h"
#include "link/feature_reports.h"
#include "link/simulated_layer.h"
#include "tests/link/fake_device_layer.h"
#include "tests/link/test_files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::link {
namespace {

using testing::g_progress;
using testing::RecordProgress;
using testing::ScratchPath;

// The simulated layer with its messages and diagnostics kept for the test.
class QuietSimulatedLayer final : public SimulatedLayer {
 public:
  using SimulatedLayer::SimulatedLayer;
  void Message(const char* text, const char* caption) override {
    messages.push_back(std::string(caption) + ": " + text);
  }
  void Print(const char* text) override { printed += text; }
  std::vector<std::string> messages;
  std::string printed;
};

SimulatedOptions Options(const std::string& path) {
  SimulatedOptions options;
  options.path = path;
  options.virtualTime = true;
  return options;
}

TEST(SimulatedKeyboard, AnswersWritesReadsAndTheMatrixSwitch) {
  SimulatedKeyboard keyboard;
  EXPECT_EQ(keyboard.memory[0x1234], 0xFF);
  const std::uint8_t data[4] = {1, 2, 3, 4};
  EXPECT_TRUE(AcceptSetFeature(keyboard, WriteReport(0x7FFE, data)));
  EXPECT_EQ(keyboard.memory[0x7FFF], 2);
  EXPECT_EQ(keyboard.memory[0x0000], 3);  // addresses wrap within the 32 KiB
  EXPECT_TRUE(AcceptSetFeature(keyboard, ReadRequest(0x7EFE)));
  EXPECT_EQ(keyboard.reply, (FeatureReport{0x00, 0xFE, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(AcceptSetFeature(keyboard, ReadRequest(0x0000)));
  EXPECT_EQ(keyboard.reply, (FeatureReport{0x00, 0x00, 0x80, 3, 4, 0xFF, 0xFF}));
  // At 0x7F00.. a read request is a control write, and the reply stays as it was.
  EXPECT_TRUE(AcceptSetFeature(keyboard, ReadRequest(0x7FFE)));
  EXPECT_EQ(keyboard.reply, (FeatureReport{0x00, 0x00, 0x80, 3, 4, 0xFF, 0xFF}));

  FeatureReport no_marker = ReadRequest(0x10);
  no_marker[6] = 0;
  EXPECT_FALSE(AcceptSetFeature(keyboard, no_marker));
  FeatureReport numbered = WriteReport(0x10, data);
  numbered[0] = 1;
  EXPECT_FALSE(AcceptSetFeature(keyboard, numbered));
  EXPECT_EQ(keyboard.memory[0x10], 0xFF);

  EXPECT_FALSE(MatrixEnabled(keyboard));
  const std::uint8_t on[4] = {0, 0, 0, NIRVEX_MATRIX_ON}, off[4] = {0, 0, 0, NIRVEX_MATRIX_OFF};
  EXPECT_TRUE(AcceptSetFeature(keyboard, ControlWrite(0xFF00, on)));
  EXPECT_TRUE(MatrixEnabled(keyboard));
  EXPECT_TRUE(AcceptSetFeature(keyboard, ControlWrite(0xFF01, off)));  // another control address
  EXPECT_TRUE(MatrixEnabled(keyboard));
  EXPECT_TRUE(AcceptSetFeature(keyboard, ControlWrite(0xFF00, off)));
  EXPECT_FALSE(MatrixEnabled(keyboard));
}

TEST(SimulatedKeyboard, MemoryAndMatrixOutliveTheLayer) {
  veltrane::testing::TempDir dir;
  const std::string path = dir.File("persist.sim");
  LinkState state;
  std::vector<std::uint8_t> image(3072);
  for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k ^ (k >> 8));
  const std::uint8_t on[4] = {0, 0, 0, NIRVEX_MATRIX_ON};
  {
    QuietSimulatedLayer writer(Options(path));
    EXPECT_EQ(ProgramFirmWare(writer, state, image.data(), 0, 3072, nullptr), 1);
  }
  {
    QuietSimulatedLayer switcher(Options(path));
    EXPECT_EQ(ProgramFirmWare(switcher, state, on, 0xFF00, 4, nullptr), 1);
  }
  EXPECT_EQ(std::filesystem::file_size(path), kSimulatedFileSize);
  QuietSimulatedLayer reader(Options(path));
  std::vector<std::uint8_t> back(3076, 0);
  EXPECT_EQ(ReadFirmWare(reader, state, back.data(), 0, 3076, nullptr), 1);
  EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.begin() + 3072), image);
  EXPECT_EQ(std::vector<std::uint8_t>(back.begin() + 3072, back.end()),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(MatrixEnabled(reader.Keyboard()));
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, std::set<std::string>{"persist.sim"}) << "temporary or lock file left";
}

TEST(SimulatedKeyboard, TwoRunsTakeTurnsAndBothDownloadsSurvive) {
  veltrane::testing::TempDir dir;
  const std::string path = dir.File("shared.sim");
  QuietSimulatedLayer first(Options(path));
  DeviceHandle handle = kNoDevice;
  ASSERT_EQ(first.Open(path, handle), OpenStatus::Opened);
  const std::uint8_t early[4] = {1, 2, 3, 4}, late[4] = {5, 6, 7, 8};
  ASSERT_TRUE(first.SetFeature(handle, WriteReport(0x0000, early)));
  std::atomic<bool> secondDone = false;
  std::thread second([&] {
    QuietSimulatedLayer layer(Options(path));
    LinkState state;
    std::vector<std::uint8_t> image(0x104);  // the buffer holds the image from address 0
    std::copy_n(late, 4, image.begin() + 0x100);
    EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0x0100, 4, nullptr), 1);
    secondDone = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(secondDone) << "the second run must wait for the first to close";
  ASSERT_TRUE(first.Close(handle));
  second.join();
  SimulatedKeyboard saved;
  ASSERT_EQ(LoadKeyboard(path, saved), LoadResult::Loaded);
  EXPECT_TRUE(std::equal(early, early + 4, saved.memory.begin()));
  EXPECT_TRUE(std::equal(late, late + 4, saved.memory.begin() + 0x100));
}

TEST(SimulatedKeyboard, TheMemoryFileKeepsItsModeAndALinkToItStaysALink) {
  veltrane::testing::TempDir dir;
  const std::string real = dir.File("real.sim"), link = dir.File("link.sim");
  ASSERT_TRUE(SaveKeyboard(real, SimulatedKeyboard{}));
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real.sim", link.c_str()), 0);
  QuietSimulatedLayer layer(Options(link));
  LinkState state;
  const std::uint8_t data[4] = {9, 9, 9, 9};
  EXPECT_EQ(ProgramFirmWare(layer, state, data, 0, 4, nullptr), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  SimulatedKeyboard saved;
  ASSERT_EQ(LoadKeyboard(real, saved), LoadResult::Loaded);
  EXPECT_EQ(saved.memory[3], 9);
}

TEST(SimulatedKeyboard, AFifoAsMemoryFileIsRefusedAtOnce) {
  veltrane::testing::TempDir dir;
  const std::string path = dir.File("fifo.sim");
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  SimulatedKeyboard keyboard;
  EXPECT_EQ(LoadKeyboard(path, keyboard), LoadResult::Damaged);
  const fileaccess::Status saved = SaveKeyboard(path, keyboard);
  EXPECT_EQ(saved.reason, path + " is a FIFO, not a regular file");
}

TEST(SimulatedKeyboard, AbsentFileIsErasedAndDamagedFileIsLeftAlone) {
  const std::string path = ScratchPath("damaged.sim");
  SimulatedKeyboard keyboard;
  EXPECT_EQ(LoadKeyboard(path, keyboard), LoadResult::Absent);
  EXPECT_EQ(keyboard.memory, ErasedMemory());
  { std::ofstream(path) << "not a keyboard"; }
  EXPECT_EQ(LoadKeyboard(path, keyboard), LoadResult::Damaged);
  QuietSimulatedLayer layer(Options(path));
  LinkState state;
  char text[64];
  EXPECT_EQ(DetectKeyboard(layer, state, text), 0);
  EXPECT_NE(layer.printed.find("damaged"), std::string::npos);
  EXPECT_EQ(testing::ReadFileText(path), "not a keyboard");
  EXPECT_FALSE(SaveKeyboard(ScratchPath("no/such/dir.sim"), keyboard));
}

TEST(DeviceChoice, ParsesTheBackendAndEveryOption) {
  EXPECT_EQ(ParseDeviceChoice(nullptr).backend, Backend::Hidapi);
  EXPECT_EQ(ParseDeviceChoice("").backend, Backend::Hidapi);
  EXPECT_EQ(ParseDeviceChoice("hidapi").backend, Backend::Hidapi);
  const DeviceChoice c = ParseDeviceChoice(
      "sim:/tmp/kb.sim,product=V0412 test,vid=0x6c4e,pid=0xb5a0,refuse=250,close=fail,"
      "reports=none,productstring=fail,time=virtual,usagepage=12,usage=0x2,open=denied");
  ASSERT_EQ(c.backend, Backend::Simulated) << c.error;
  const SimulatedOptions& o = c.simulated;
  EXPECT_EQ(o.path, "/tmp/kb.sim");
  EXPECT_EQ(o.product, "V0412 test");
  EXPECT_EQ(o.vendor, 0x6C4E);
  EXPECT_EQ(o.productId, 0xB5A0);
  EXPECT_EQ(o.refuseReport, 250u);
  EXPECT_TRUE(o.closeFails && o.productStringFails && o.virtualTime && o.openDenied);
  EXPECT_EQ(o.inputReportLength + o.outputReportLength, 0);
  EXPECT_EQ(o.usagePage, 12);
  EXPECT_EQ(o.usage, 2);
  const SimulatedOptions d = ParseDeviceChoice("sim:x").simulated;
  EXPECT_EQ(d.path, "x");
  EXPECT_EQ(d.product, "V0527X Simulated keyboard");
  EXPECT_EQ(d.vendor, 0x7A31);
  EXPECT_EQ(d.productId, 0xFF02);
  EXPECT_FALSE(d.virtualTime);
  EXPECT_EQ(ParseDeviceChoice("sim:x,reports=noinput").simulated.inputReportLength, 0);
  EXPECT_EQ(ParseDeviceChoice("sim:x,reports=nooutput").simulated.inputReportLength, 8);
}

TEST(DeviceChoice, RefusesWhatItDoesNotKnow) {
  for (const char* text : {"hid", "sim", "sim:x,vid=0x10000", "sim:x,vid=12g", "sim:x,pid=",
                           "sim:x,refuse=0", "sim:x,refuse=-1", "sim:x,close=maybe", "sim:x,time",
                           "sim:x,colour=red", "sim:x,,", "sim:", "sim:,time=virtual"}) {
    const DeviceChoice c = ParseDeviceChoice(text);
    EXPECT_EQ(c.backend, Backend::Invalid) << text;
    EXPECT_FALSE(c.error.empty());
  }
}

TEST(SimulatedOptions, ChangeWhatTheLinkSees) {
  LinkState state;
  char text[64];
  SimulatedOptions o = Options("");
  o.vendor = 0x6C4E;
  o.productId = 0xB5A0;
  o.product = "V0412";
  QuietSimulatedLayer other(o);
  EXPECT_EQ(DetectKeyboard(other, state, text), 1);
  EXPECT_STREQ(text, "V0412");
  o.productId = 0xFF01;
  QuietSimulatedLayer wrong(o);
  EXPECT_EQ(DetectKeyboard(wrong, state, text), 0);
  o = Options("");
  o.inputReportLength = 0;
  QuietSimulatedLayer no_input(o);
  EXPECT_EQ(DetectKeyboard(no_input, state, text), 1);
  EXPECT_STREQ(text, "Error 1");
  o = Options("");
  o.productStringFails = true;
  QuietSimulatedLayer no_string(o);
  EXPECT_EQ(DetectKeyboard(no_string, state, text), 1);
  EXPECT_STREQ(text, "Error 2");
  o.openDenied = true;
  QuietSimulatedLayer denied(o);
  EXPECT_EQ(DetectKeyboard(denied, state, text), 0);
  EXPECT_TRUE(state.openDenied);
}

TEST(SimulatedOptions, RefusedReportFailingCloseAndVirtualTime) {
  LinkState state;
  std::vector<std::uint8_t> image(3072, 0x42);
  SimulatedOptions o = Options(ScratchPath("refuse.sim"));
  o.product = "V0412";
  o.refuseReport = 251;
  g_progress.clear();
  QuietSimulatedLayer refusing(o);
  EXPECT_EQ(ProgramFirmWare(refusing, state, image.data(), 0, 3072, RecordProgress), 0);
  EXPECT_EQ(refusing.SetReportsSeen(), 251u);
  EXPECT_EQ(refusing.SleptMilliseconds(), 250u * 16);
  EXPECT_EQ(g_progress.size(), 100u);
  EXPECT_EQ(std::count(g_progress.begin(), g_progress.end(), 32), 68);
  EXPECT_EQ(refusing.messages,
            (std::vector<std::string>{"nirvex: Setfeature returned: 5 Input/output error\n"}));
  EXPECT_EQ(refusing.Keyboard().memory[999], 0x42);  // written before the refusal
  EXPECT_EQ(refusing.Keyboard().memory[1000], 0xFF);

  o.refuseReport = 0;
  o.closeFails = true;
  QuietSimulatedLayer closing(o);
  std::vector<std::uint8_t> back(3072);
  EXPECT_EQ(ReadFirmWare(closing, state, back.data(), 0, 3072, nullptr), 0);
  EXPECT_EQ(closing.messages, (std::vector<std::string>{"nirvex: CloseHandle failed 9\n"}));
  EXPECT_EQ(back[999], 0x42);
  EXPECT_EQ(closing.SleptMilliseconds(), 0u);
}

}  // namespace
}  // namespace veltrane::link
