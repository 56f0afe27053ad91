#include "link/changed_words.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    g_progress.clear();
    options.path = ScratchPath(
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sim");
    options.virtualTime = true;
    options.product = "V0412X";
  }
  // The keyboard holding `image` (written in full, unpaced).
  void Hold(const std::vector<std::uint8_t>& held) {
    SimulatedOptions plain = options;
    plain.product = "V0527X";
    QuietLayer layer(plain);
    ASSERT_EQ(ProgramFirmWare(layer, state, held.data(), 0, kBlock, nullptr), 1);
  }
  // One changed-words download of `image` on a fresh session of the keyboard.
  int Program(const std::vector<std::uint8_t>& wanted, std::uint32_t address = 0,
              std::uint32_t count = kBlock) {
    layer = std::make_unique<QuietLayer>(options);
    g_progress.clear();
    return ProgramChangedWords(*layer, state, wanted.data(), address, count, RecordProgress,
                               report);
  }
  std::vector<int> AllSteps() const {
    std::vector<int> steps(100);
    std::iota(steps.begin(), steps.end(), 0);
    return steps;
  }
  bool KeyboardHolds(const std::vector<std::uint8_t>& wanted) const {
    return std::equal(wanted.begin(), wanted.begin() + kBlock, layer->Keyboard().memory.begin());
  }

  SimulatedOptions options;
  LinkState state;
  std::unique_ptr<QuietLayer> layer;
  ChangedWordsReport report;
  std::vector<std::uint8_t> image = Pattern();
};

TEST_F(ChangedWords, SendsOnlyTheDifferingWordsPacedAndReadsThemBack) {
  Hold(image);
  for (const std::size_t byte : {1u, 100u, 104u, 3070u}) image[byte] ^= 0xA5;
  EXPECT_EQ(Program(image), 1);
  EXPECT_EQ(report.words, 768u);
  EXPECT_EQ(report.toSend, 4u);
  EXPECT_EQ(report.sent, 4u);
  EXPECT_EQ(report.full, FullReason::None);
  EXPECT_EQ(report.verify, VerifyResult::Same);
  EXPECT_EQ(report.status, ChangedWordsStatus::Ok);
  EXPECT_EQ(layer->SetReportsSeen(), 768u + 4u + 4u);  // read, write, read back
  EXPECT_EQ(layer->SleptMilliseconds(), 4u * 16u);
  EXPECT_TRUE(KeyboardHolds(image));
  EXPECT_EQ(g_progress, AllSteps());
  EXPECT_EQ(layer->messages, std::vector<std::string>{"nirvex: Done"});
  EXPECT_EQ(layer->notes, (std::vector<std::string>{"read 768 words from 0x0000",
                                                    "write 4 of 768 words", "read back 4 words"}));
}

TEST_F(ChangedWords, AnEqualBlockSendsNothingAndStillVerifies) {
  Hold(image);
  EXPECT_EQ(Program(image), 1);
  EXPECT_EQ(report.toSend, 0u);
  EXPECT_EQ(report.sent, 0u);
  EXPECT_EQ(report.verify, VerifyResult::Same);
  EXPECT_EQ(layer->SetReportsSeen(), 768u);
  EXPECT_EQ(layer->SleptMilliseconds(), 0u);
  EXPECT_EQ(g_progress, AllSteps());
  EXPECT_EQ(layer->messages, std::vector<std::string>{"nirvex: Done"});

  EXPECT_EQ(Program(image, 0, 0), 1);  // an empty block: no report, still 100 calls
  EXPECT_EQ(layer->SetReportsSeen(), 0u);
  EXPECT_EQ(g_progress, AllSteps());
}

TEST_F(ChangedWords, FallsBackToEveryWordWhenUnreadOrMostlyDifferent) {
  EXPECT_EQ(Program(image), 1);  // an erased keyboard differs everywhere
  EXPECT_EQ(report.full, FullReason::ManyDiffer);
  EXPECT_EQ(report.toSend, 768u);
  EXPECT_EQ(report.sent, 768u);
  EXPECT_EQ(layer->SetReportsSeen(), 3u * 768u);
  EXPECT_EQ(layer->SleptMilliseconds(), 768u * 16u);
  EXPECT_TRUE(KeyboardHolds(image));
  EXPECT_EQ(g_progress, AllSteps());

  image[8] ^= 0xFF;
  options.refuseReport = 10;  // the tenth read request
  EXPECT_EQ(Program(image), 1);
  EXPECT_EQ(report.full, FullReason::Unread);
  EXPECT_EQ(report.sent, 768u);
  EXPECT_EQ(report.verify, VerifyResult::Same);
  EXPECT_EQ(layer->SetReportsSeen(), 10u + 2u * 768u);
  EXPECT_TRUE(KeyboardHolds(image));
  EXPECT_EQ(layer->messages, std::vector<std::string>{"nirvex: Done"});  // no read failure box
  EXPECT_EQ(layer->notes[1], "the keyboard could not be read at 0x0024: write all 768 words");
  EXPECT_EQ(g_progress, AllSteps());
}

TEST_F(ChangedWords, AWordReadBackWronglyFailsTheVerify) {
  Hold(image);
  image[200] ^= 0x0F;
  image[301] ^= 0xF0;
  options.dropWrite = 2;  // the keyboard takes the word at 300 but keeps the old one
  const std::uint8_t kept = static_cast<std::uint8_t>(image[301] ^ 0xF0);
  EXPECT_EQ(Program(image), 0);
  EXPECT_EQ(report.sent, 2u);
  EXPECT_EQ(report.verify, VerifyResult::Differs);
  EXPECT_EQ(report.status, ChangedWordsStatus::VerifyFailed);
  EXPECT_EQ(report.wrongBytes, 1u);
  EXPECT_EQ(report.firstWrong, 301u);
  EXPECT_EQ(report.firstWrongRead, kept);
  EXPECT_TRUE(layer->messages.empty()) << "no Done for a block the keyboard does not hold";
  EXPECT_EQ(g_progress, AllSteps());
}

TEST_F(ChangedWords, ARefusedWriteStopsTheWritesAndTheReadBackNamesTheFirstDifference) {
  Hold(image);
  for (const std::size_t byte : {40u, 80u, 120u}) image[byte] ^= 0x11;
  options.refuseReport = 768 + 2;  // the second write
  EXPECT_EQ(Program(image), 0);
  EXPECT_EQ(report.toSend, 3u);
  EXPECT_EQ(report.sent, 1u);
  EXPECT_EQ(report.status, ChangedWordsStatus::ReportFailed);
  EXPECT_EQ(report.verify, VerifyResult::Differs);
  EXPECT_EQ(report.wrongBytes, 2u);
  EXPECT_EQ(report.firstWrong, 80u);
  EXPECT_EQ(layer->SetReportsSeen(), 768u + 2u + 3u);
  EXPECT_EQ(layer->messages,
            std::vector<std::string>{"nirvex: Setfeature returned: 5 Input/output error\n"});
  EXPECT_EQ(g_progress, AllSteps());

  options.refuseReport = 768 + 3 + 1;  // all three written, the read-back refused
  EXPECT_EQ(Program(image), 0);
  EXPECT_EQ(report.verify, VerifyResult::Unread);
  EXPECT_EQ(report.status, ChangedWordsStatus::ReportFailed);
  EXPECT_TRUE(layer->messages.empty());
}

TEST_F(ChangedWords, RefusedRangesAndAMissingKeyboardSendAndCallNothing) {
  for (const auto& [address, count] :
       {std::pair<std::uint32_t, std::uint32_t>{0x7F00, 4}, {0x7EFC, 8}, {0, 6}, {0xFF00, 4}}) {
    EXPECT_EQ(Program(image, address, count), 0);
    EXPECT_EQ(report.status, ChangedWordsStatus::RangeRefused);
    EXPECT_EQ(report.verify, VerifyResult::NotRun);
  }
  options.productId = 0xFF01;
  EXPECT_EQ(Program(image), 0);
  EXPECT_EQ(report.status, ChangedWordsStatus::NoKeyboard);
  EXPECT_EQ(report.verify, VerifyResult::NotRun);
  EXPECT_TRUE(g_progress.empty());
}

TEST_F(ChangedWords, AFailedCloseIsShownInsteadOfDone) {
  Hold(image);
  image[0] ^= 1;
  options.closeFails = true;
  EXPECT_EQ(Program(image), 1);
  EXPECT_EQ(report.status, ChangedWordsStatus::CloseFailed);
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
