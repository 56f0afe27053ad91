// A keyboard read back and programmed again holds what it held: random
// definitions built, read back into a freshly started window and built again.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "eeprom/random_definitions.h"
#include "model/macro_store.h"
#include "support/recording_messages.h"
#include "ui/app/image_commands.h"

namespace veltrane::ui {
namespace {

using eeprom::EepromImage;
namespace region = eeprom::region;

// Random keys and strings, and random values for every setting a user can give.
// Macros that would not fit the store are refused before any image is made,
// so the last strings go until they fit.
std::unique_ptr<AppState> RandomWindow(eeprom::test::RandomDefinitions& random) {
  auto app = std::make_unique<AppState>();
  StartApplication(*app);
  random.Fill(app->doc.def);
  for (int n = model::kStringCount - 1; !model::MeasureMacroStore(app->doc.def).fits(); --n)
    app->doc.def.stringWorkBuffer[static_cast<std::size_t>(n)][0] = model::StringChar{};
  model::Settings& s = app->doc.def.settings;
  for (std::uint8_t* flag : {&s.GlobalRepeatDisable, &s.AnyKeyRelease, &s.PrefixMakeBreak})
    *flag = static_cast<std::uint8_t>(random.Int(0, 1));
  s.EnableBits = static_cast<std::uint8_t>(random.Int(0, 3));
  s.BeepLength = static_cast<std::uint8_t>(random.Int(0, 200));
  for (std::int32_t* led : {&s.Led1, &s.Led2, &s.Led3, &s.Led4}) *led = random.Int(0, 5);
  for (std::uint8_t& p : app->doc.def.pointDeviceParams)
    p = static_cast<std::uint8_t>(random.Int(0, 255));
  s.ScrollWheelGain = static_cast<std::int8_t>(random.Int(0, 16));
  s.DefRepDelay = random.Int(0, 3);
  s.DefRepRate = random.Int(0, 31);
  s.MaxScanRow = random.Int(1, 16);
  s.PointDevice = random.Int(0, 2);
  s.DebounceTime = static_cast<std::uint32_t>(random.Int(0, 255));
  s.SerialNumber.clear();
  for (int n = random.Int(0, 31); n > 0; --n)
    s.SerialNumber += static_cast<char>(random.Int(32, 126));
  return app;
}

// The tables' entries at logical address a: mode, type and the three codes.
std::vector<int> MeaningAt(const EepromImage& image, std::uint8_t a) {
  return {image[region::KeyMode + a], image[region::KeyInfo + a], image[region::ScanSet2 + a],
          image[region::ScanSet3 + a], image[region::UsbSet + a]};
}

// String s: its first stroke unless that is the terminator, then the strokes
// while their USB code is set.
std::vector<int> StrokesOf(const EepromImage& image, int s) {
  std::size_t p = image[region::StringPointers + 2 * s] | image[region::StringPointers + 2 * s + 1]
                                                              << 8;
  std::vector<int> bytes;
  for (; p >= region::StringStorage && p + 4 <= region::StorageEnd; p += 4) {
    const bool terminator = (image[p] | image[p + 1] | image[p + 2] | image[p + 3]) == 0;
    if (bytes.empty() ? terminator : image[p + 1] == 0) break;
    bytes.insert(bytes.end(), image.begin() + p, image.begin() + p + 4);
  }
  return bytes;
}

void ExpectSameKeyboard(const EepromImage& first, const EepromImage& second) {
  for (int i = 0; i < model::kKeyCount; ++i) {
    for (int j = 0; j < model::kLayerCount; ++j) {
      const std::uint8_t a = first[eeprom::LogicalAddressOffset(j, i)];
      const std::uint8_t b = second[eeprom::LogicalAddressOffset(j, i)];
      ASSERT_EQ(a == eeprom::kNoKeyAddress, b == eeprom::kNoKeyAddress) << i << "," << j;
      if (a == eeprom::kNoKeyAddress) continue;
      const std::vector<int> meaning = MeaningAt(first, a);
      ASSERT_EQ(meaning, MeaningAt(second, b)) << "key " << i << " layer " << j;
      if (meaning[1] == model::STRING_KEY && meaning[2] < model::kStringCount) {
        ASSERT_EQ(StrokesOf(first, meaning[2]), StrokesOf(second, meaning[2])) << meaning[2];
      }
    }
  }
  for (const auto& [from, to] : {std::pair{0x600, 0x610}, {0x630, 0x670}, {0x6B0, 0x6B1}})
    for (int at = from; at < to; ++at)
      ASSERT_EQ(first[at], second[at]) << "byte 0x" << std::hex << at;
}

TEST(ReadRoundTrip, ReadingAndProgrammingAgainChangesNothing) {
  eeprom::test::RandomDefinitions random(20250114);
  testing::RecordingMessages messages;
  NullLog log;
  const Services io{messages, log};
  int checked = 0;
  for (int iteration = 0; iteration < 150; ++iteration) {
    const std::unique_ptr<AppState> programmed = RandomWindow(random);
    const std::string version = model::FormatText("V%04d", random.Firmware());
    SetVersionText(*programmed, version);
    if (!BuildImageForUse(*programmed, io)) continue;
    auto read = std::make_unique<AppState>();
    StartApplication(*read);
    SetVersionText(*read, version);
    std::copy_n(programmed->doc.image.begin(), eeprom::kKeyboardBytes, read->doc.image.begin());
    DecodeReadImage(*read);
    ASSERT_TRUE(BuildImageForUse(*read, io));
    SCOPED_TRACE(::testing::Message() << "iteration " << iteration << " " << version);
    ExpectSameKeyboard(programmed->doc.image, read->doc.image);
    if (HasFailure()) break;
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace veltrane::ui
