// SPDX-License-Identifier: MIT
#include "link/changed_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "link/feature_reports.h"
#include "link/simulated_layer.h"
#include "tests/link/fake_device_layer.h"
#include "tests/link/test_files.h"

namespace veltrane::link {
namespace {

using testing::g_progress;
using testing::RecordProgress;
using testing::ScratchPath;

constexpr std::uint32_t kBlock = 3072;

class QuietLayer final : public SimulatedLayer {
 public:
  using SimulatedLayer::SimulatedLayer;
  void Message(const char* text, const char* caption) override {
    messages.push_back(std::string(caption) + ": " + text);
  }
  void Print(const char*) override {}
  void Note(const char* text) override { notes.push_back(text); }
  std::vector<std::string> messages;
  std::vector<std::string> notes;
};

std::vector<std::uint8_t> Pattern() {
  std::vector<std::uint8_t> image(8192);
  for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k * 7 + 3);
  return image;
}

TEST(DifferingWords, FindsFirstLastAndAdjacentWordsOnlyInsideTheBlock) {
  const std::vector<std::uint8_t> held = Pattern();
  std::vector<std::uint8_t> wanted = held;
  EXPECT_TRUE(DifferingWords(held.data(), wanted.data(), 0, kBlock).empty());
  for (const std::size_t byte : {0u, 103u, 104u, 3071u, 3072u}) wanted[byte] ^= 0x01;
  EXPECT_EQ(DifferingWords(held.data(), wanted.data(), 0, kBlock),
            (std::vector<std::uint32_t>{0, 100, 104, 3068}));
  EXPECT_EQ(DifferingWords(held.data(), wanted.data(), 100, 8),
            (std::vector<std::uint32_t>{100, 104}));
  std::vector<std::uint8_t> other(8192);
  for (std::size_t k = 0; k < other.size(); ++k) other[k] = static_cast<std::uint8_t>(~held[k]);
  EXPECT_EQ(DifferingWords(held.data(), other.data(), 0, kBlock).size(), 768u);
  EXPECT_FALSE(SendAllWords(384, 768));
  EXPECT_TRUE(SendAllWords(385, 768));
  EXPECT_FALSE(SendAllWords(0, 0));
}

class ChangedWords : public ::testing::Test {
 protected:
  void SetUp() override {
    options.path = ScratchPath(
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sim");
    options.virtualTime = true;
    options.product = "V0412X";
  }
  // The keyboard holding `held` (written in full).
  void Hold(const std::vector<std::uint8_t>& held) {
    QuietLayer layer(options);
    ASSERT_EQ(ProgramFirmWare(layer, state, held.data(), 0, kBlock, nullptr), 1);
  }
  // One changed-words download on a fresh session of the keyboard, summed up:
  // result, words to send, sent, full reason, verify, status, set reports,
  // milliseconds slept, wrong bytes @ first (its byte read).
  std::string Program(std::uint32_t address = 0, std::uint32_t count = kBlock) {
    layer = std::make_unique<QuietLayer>(options);
    g_progress.clear();
    const int result =
        ProgramChangedWords(*layer, state, image.data(), address, count, RecordProgress, report);
    char text[160];
    std::snprintf(text, sizeof text,
                  "%d send %u sent %u full %u verify %u status %d set %u "
                  "slept %llu bad %u@%u (%02x)",
                  result, report.toSend, report.sent, static_cast<unsigned>(report.full),
                  static_cast<unsigned>(report.verify), static_cast<int>(report.status),
                  layer->SetReportsSeen(),
                  static_cast<unsigned long long>(layer->SleptMilliseconds()), report.wrongBytes,
                  report.firstWrong, report.firstWrongRead);
    return text;
  }
  bool ProgressWasExact() const {
    std::vector<int> steps(100);
    std::iota(steps.begin(), steps.end(), 0);
    return g_progress == steps;
  }
  bool KeyboardHolds() const {
    return std::equal(image.begin(), image.begin() + kBlock, layer->Keyboard().memory.begin());
  }

  SimulatedOptions options;
  LinkState state;
  std::unique_ptr<QuietLayer> layer;
  ChangedWordsReport report;
  std::vector<std::uint8_t> image = Pattern();
  const std::vector<std::string> done{"nirvex: Done"};
};

TEST_F(ChangedWords, SendsOnlyTheDifferingWordsPacedAndReadsThemBack) {
  Hold(image);
  for (const std::size_t byte : {1u, 100u, 104u, 3070u}) image[byte] ^= 0xA5;
  // 768 reads, 4 paced writes, 4 reads back.
  EXPECT_EQ(Program(), "1 send 4 sent 4 full 0 verify 0 status 0 set 776 slept 64 bad 0@0 (00)");
  EXPECT_EQ(report.differed, 4u);
  EXPECT_TRUE(KeyboardHolds());
  EXPECT_TRUE(ProgressWasExact());
  EXPECT_EQ(layer->messages, done);
  EXPECT_EQ(layer->notes, (std::vector<std::string>{"read 768 words from 0x0000",
                                                    "write 4 of 768 words", "read back 4 words"}));
  EXPECT_EQ(Program(), "1 send 0 sent 0 full 0 verify 0 status 0 set 768 slept 0 bad 0@0 (00)");
  EXPECT_TRUE(ProgressWasExact());
  EXPECT_EQ(layer->messages, done);
  EXPECT_EQ(Program(0, 0), "1 send 0 sent 0 full 0 verify 0 status 0 set 0 slept 0 bad 0@0 (00)");
  EXPECT_TRUE(ProgressWasExact());
}

TEST_F(ChangedWords, FallsBackToEveryWordWhenUnreadOrMostlyDifferent) {
  // An erased keyboard differs everywhere.
  EXPECT_EQ(Program(),
            "1 send 768 sent 768 full 2 verify 0 status 0 set 2304 slept 12288 bad 0@0 (00)");
  EXPECT_EQ(report.differed, 768u);
  EXPECT_TRUE(KeyboardHolds());
  EXPECT_TRUE(ProgressWasExact());
  image[8] ^= 0xFF;
  options.refuseReport = 10;  // the tenth read request
  EXPECT_EQ(Program(),
            "1 send 768 sent 768 full 1 verify 0 status 0 set 1546 slept 12288 bad 0@0 (00)");
  EXPECT_TRUE(KeyboardHolds());
  EXPECT_TRUE(ProgressWasExact());
  EXPECT_EQ(layer->messages, done);  // no box for the first read
  EXPECT_EQ(layer->notes[1], "the keyboard could not be read at 0x0024: write all 768 words");
  EXPECT_EQ(report.differed, 0u);
}

TEST_F(ChangedWords, WrongOrRefusedWordsAreFoundByTheReadBack) {
  Hold(image);
  image[200] ^= 0x0F;
  image[301] ^= 0xF0;
  options.dropWrite = 2;  // the keyboard takes the word at 300 but keeps the old one
  // Byte 301 of the pattern is 0x3e.
  EXPECT_EQ(Program(), "0 send 2 sent 2 full 0 verify 1 status 5 set 772 slept 32 bad 1@301 (3e)");
  EXPECT_TRUE(layer->messages.empty()) << "no Done for a block the keyboard does not hold";
  EXPECT_TRUE(ProgressWasExact());

  Hold(Pattern());
  options.dropWrite = 0;
  options.refuseReport = 768 + 2;  // the second write: it is not sent again, both are read back
  EXPECT_EQ(Program(), "0 send 2 sent 1 full 0 verify 1 status 3 set 772 slept 16 bad 1@301 (3e)");
  EXPECT_EQ(layer->messages,
            std::vector<std::string>{"nirvex: Setfeature returned: 5 Input/output error\n"});
  EXPECT_TRUE(ProgressWasExact());
  options.refuseReport = 768 + 2;  // now the read-back of the one word still missing
  EXPECT_EQ(Program(), "0 send 1 sent 1 full 0 verify 2 status 3 set 770 slept 16 bad 0@0 (00)");
  EXPECT_TRUE(layer->messages.empty());
}

TEST_F(ChangedWords, RangesKeyboardsAndClosesThatFail) {
  for (const auto& [address, count] :
       {std::pair<std::uint32_t, std::uint32_t>{0x7F00, 4}, {0x7EFC, 8}, {0, 6}, {0xFF00, 4}})
    EXPECT_EQ(Program(address, count),
              "0 send 0 sent 0 full 0 verify 3 status 2 set 0 slept 0 bad 0@0 (00)");
  options.productId = 0xFF01;
  EXPECT_EQ(Program(), "0 send 0 sent 0 full 0 verify 3 status 1 set 0 slept 0 bad 0@0 (00)");
  EXPECT_TRUE(g_progress.empty());

  options.productId = 0xFF02;
  Hold(image);
  image[0] ^= 1;
  options.closeFails = true;
  EXPECT_EQ(Program(), "0 send 1 sent 1 full 0 verify 0 status 4 set 770 slept 16 bad 0@0 (00)");
  EXPECT_EQ(layer->messages, std::vector<std::string>{"nirvex: CloseHandle failed 9\n"});
}

// Absolute deadlines: a report's own time is taken from its wait, and a late
// report moves the deadlines on instead of shortening the next wait.
TEST(Pacing, WaitsEndOnePeriodAfterThePreviousWaitsEnd) {
  testing::FakeDeviceLayer layer;
  layer.interfaces[0] = testing::FakeKeyboard("/dev/hidraw0", u"V0412");
  std::vector<std::uint8_t> image = Pattern();
  for (std::uint32_t a = 0; a < 12; a += 4) layer.ExpectSet(WriteReport(a, &image[a]));
  layer.reportTime = std::chrono::milliseconds(5);
  LinkState state;
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 12, nullptr), 1);
  layer.VerifyAllSent();
  EXPECT_EQ(
      std::vector<std::string>(layer.events.end() - 7, layer.events.end()),
      (std::vector<std::string>{"set", "sleep 11", "set", "sleep 11", "set", "sleep 11", "close"}));
  EXPECT_EQ(layer.now, std::chrono::milliseconds(3 * 16));

  layer.events.clear();
  layer.reportTimes = {std::chrono::milliseconds(20), std::chrono::milliseconds(5)};
  for (std::uint32_t a = 0; a < 12; a += 4) layer.ExpectSet(WriteReport(a, &image[a]));
  EXPECT_EQ(ProgramFirmWare(layer, state, image.data(), 0, 12, nullptr), 1);
  layer.VerifyAllSent();
  EXPECT_EQ(std::vector<std::string>(layer.events.end() - 6, layer.events.end()),
            (std::vector<std::string>{"set", "set", "sleep 11", "set", "sleep 11", "close"}));
}

}  // namespace
}  // namespace veltrane::link
