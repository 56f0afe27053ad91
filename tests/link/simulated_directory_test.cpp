// SPDX-License-Identifier: MIT
// Simulated keyboards that come and go with their files in one directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "link/block_transfer.h"
#include "link/device_choice.h"
#include "link/forwarding_layer.h"
#include "link/keyboards.h"
#include "link/simulated_directory_layer.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace veltrane::link {
namespace {

// Keeps the messages and diagnostics, and unplugs a keyboard (removes its
// file) after a given number of reports.
class WatchedLayer final : public ForwardingLayer {
 public:
  explicit WatchedLayer(DeviceLayer& inner) : ForwardingLayer(inner) {}
  bool SetFeature(DeviceHandle handle, const FeatureReport& report) override {
    if (++reports == unplugAfter) std::remove(unplug.c_str());
    return ForwardingLayer::SetFeature(handle, report);
  }
  void Message(const char* text, const char* caption) override {
    messages.push_back(std::string(caption) + ": " + text);
  }
  void Print(const char* text) override { printed += text; }
  int reports = 0;
  int unplugAfter = 0;
  std::string unplug;
  std::vector<std::string> messages;
  std::string printed;
};

class SimulatedDirectory : public ::testing::Test {
 protected:
  SimulatedDirectory() { options.virtualTime = true; }
  void Plug(const std::string& name, const std::string& ownOptions = "") {
    std::ofstream(dir.File(name)).flush();
    if (!ownOptions.empty()) std::ofstream(dir.File(name + ".options")) << ownOptions << "\n";
  }
  std::vector<ListedKeyboard> List() {
    SimulatedDirectoryLayer layer(dir.path() + "/", options);
    WatchedLayer watched(layer);
    LinkState state;
    return ListKeyboards(watched, state);
  }
  // ProgramFirmWare on one keyboard of the directory; the layer is kept for a look.
  int Program(const std::string& name, const std::vector<std::uint8_t>& image,
              WatchedLayer*& watched) {
    layer_ = std::make_unique<SimulatedDirectoryLayer>(dir.path(), options);
    watched_ = std::make_unique<WatchedLayer>(*layer_);
    chosen_ = std::make_unique<ChosenKeyboardLayer>(*watched_, dir.File(name));
    watched = watched_.get();
    watched->unplug = dir.File(name);
    watched->unplugAfter = unplugAfter;
    LinkState state;
    return ProgramFirmWare(*chosen_, state, image.data(), 0,
                           static_cast<std::uint32_t>(image.size()), nullptr);
  }

  veltrane::testing::TempDir dir;
  SimulatedOptions options;
  int unplugAfter = 0;

 private:
  std::unique_ptr<SimulatedDirectoryLayer> layer_;
  std::unique_ptr<WatchedLayer> watched_;
  std::unique_ptr<ChosenKeyboardLayer> chosen_;
};

TEST(DeviceChoice, SimdirTakesADirectoryAndTheSameOptions) {
  const DeviceChoice choice = ParseDeviceChoice("simdir:/tmp/line,time=virtual,refuse=7");
  ASSERT_EQ(choice.backend, Backend::SimulatedDirectory) << choice.error;
  EXPECT_EQ(choice.simulated.path, "/tmp/line");
  EXPECT_EQ(choice.simulated.refuseReport, 7u);
  EXPECT_TRUE(choice.simulated.virtualTime);
  for (const char* bad : {"simdir:", "simdir:,time=virtual", "simdir:/tmp/line,refuse"})
    EXPECT_EQ(ParseDeviceChoice(bad).backend, Backend::Invalid) << bad;
}

TEST_F(SimulatedDirectory, EverySimFileIsAKeyboardInNameOrderWithItsOwnOptions) {
  Plug("b.sim", "product=V0412X second");
  Plug("a.sim");
  Plug("notes.txt");
  Plug(".sim");
  const std::vector<ListedKeyboard> found = List();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, dir.File("a.sim"));
  EXPECT_EQ(found[0].text, "V0527X Simulated keyboard");
  EXPECT_EQ(found[1].path, dir.File("b.sim"));
  EXPECT_EQ(found[1].text, "V0412X second");
  std::remove(dir.File("a.sim").c_str());
  ASSERT_EQ(List().size(), 1u);
  EXPECT_TRUE(SimulatedKeyboardNames(dir.File("missing")).empty());
}

TEST_F(SimulatedDirectory, ABadOptionsFileKeepsItsKeyboardOutAndSaysWhy) {
  Plug("a.sim", "colour=red");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(List().empty());
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("a.sim.options: bad option \"colour=red\""), std::string::npos) << printed;
}

TEST_F(SimulatedDirectory, AnEmptyFileIsAnErasedKeyboardThatKeepsWhatIsWritten) {
  Plug("a.sim");
  std::vector<std::uint8_t> image(3072);
  for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k * 7);
  WatchedLayer* watched = nullptr;
  EXPECT_EQ(Program("a.sim", image, watched), 1);
  EXPECT_TRUE(watched->messages.empty());
  SimulatedKeyboard keyboard;
  ASSERT_EQ(LoadKeyboard(dir.File("a.sim"), keyboard), LoadResult::Loaded);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), keyboard.memory.begin()));
  EXPECT_EQ(keyboard.memory[3072], kErasedByte);
}

TEST_F(SimulatedDirectory, AKeyboardUnpluggedMidDownloadFailsAndIsNotPluggedInAgain) {
  Plug("a.sim");
  unplugAfter = 300;
  WatchedLayer* watched = nullptr;
  EXPECT_EQ(Program("a.sim", std::vector<std::uint8_t>(3072, 0x42), watched), 0);
  EXPECT_EQ(watched->reports, 300);
  EXPECT_EQ(watched->messages,
            std::vector<std::string>{"nirvex: Setfeature returned: 19 No such device\n"});
  EXPECT_FALSE(std::ifstream(dir.File("a.sim")).good());
}

}  // namespace
}  // namespace veltrane::link
