// The simulated keyboard that acknowledges one write without storing it, the
// fault a read-back after a download is there to catch.
#include <gtest/gtest.h>

#include <vector>

#include "link/block_transfer.h"
#include "link/device_choice.h"
#include "link/simulated_layer.h"
#include "tests/link/test_files.h"

namespace veltrane::link {
namespace {

class SilentSimulatedLayer final : public SimulatedLayer {
 public:
  using SimulatedLayer::SimulatedLayer;
  void Message(const char*, const char*) override {}
  void Print(const char*) override {}
};

TEST(SimulatedDrop, TheNthWriteOfACallIsAcknowledgedAndLost) {
  const std::string path = testing::ScratchPath("drop.sim");
  const DeviceChoice choice = ParseDeviceChoice(("sim:" + path + ",drop=3,time=virtual").c_str());
  ASSERT_EQ(choice.backend, Backend::Simulated) << choice.error;
  EXPECT_EQ(choice.simulated.dropWrite, 3u);
  EXPECT_EQ(ParseDeviceChoice("sim:x,drop=0").backend, Backend::Invalid);

  SilentSimulatedLayer layer(choice.simulated);
  LinkState state;
  std::vector<std::uint8_t> image(16, 0x11), back(16, 0);
  // Read requests do not count: the third write report is the one at address 8.
  ASSERT_EQ(ReadFirmWare(layer, state, back.data(), 0, 8, nullptr), 1);
  ASSERT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 16, nullptr), 1);
  ASSERT_EQ(ReadFirmWare(layer, state, back.data(), 0, 16, nullptr), 1);
  EXPECT_EQ(back, (std::vector<std::uint8_t>{0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xFF,
                                             0xFF, 0xFF, 0xFF, 0x11, 0x11, 0x11, 0x11}));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace veltrane::link
