#include "ui/changed_download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_messages.h"
#include "ui/fake_link.h"

namespace veltrane::ui {
namespace {

using Full = ChangedWordsResult::Full;
using Verify = ChangedWordsResult::Verify;

class ChangedDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  ChangedDownload Run() {
    told.clear();
    messages.shown.clear();
    return ProgramChangedWords(app, io, link,
                               [this](const std::string& line) { told.push_back(line); });
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.caption + "|" + m.text);
    return texts;
  }
  static ChangedWordsResult Result(bool holds, unsigned toSend, unsigned sent, Verify verify,
                                   Full full = Full::No) {
    ChangedWordsResult result;
    result.holds = holds;
    result.words = 768;
    result.toSend = toSend;
    result.sent = sent;
    result.full = full;
    result.verify = verify;
    return result;
  }
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  Services io{messages, log};
  FakeLink link;
  AppState app;
  std::vector<std::string> told;
};

TEST_F(ChangedDownloadTest, LogsAndTellsWhatWasSentThenTheVerify) {
  link.changed = Result(true, 3, 3, Verify::Same);
  EXPECT_EQ(Run().outcome, TransferOutcome::Done);
  ASSERT_EQ(link.transfers.size(), 1u);
  EXPECT_EQ(link.transfers[0].kind, "changed");
  EXPECT_EQ(link.transfers[0].count, 3072u);
  EXPECT_EQ(app.window.progress.position, 100);
  EXPECT_EQ(told, std::vector<std::string>{"Sent 3 of 768 words"});
  EXPECT_NE(log.text().find("Sent 3 of 768 words\n"), std::string::npos);
  EXPECT_EQ(Texts().back(), "Verify|Verified 3072 bytes");

  link.changed = Result(true, 768, 768, Verify::Same, Full::ManyDiffer);
  EXPECT_EQ(Run().outcome, TransferOutcome::Done);
  EXPECT_EQ(told, (std::vector<std::string>{"768 of 768 words differed: a full download",
                                            "Sent 768 of 768 words"}));
  link.changed.full = Full::Unread;
  Run();
  EXPECT_EQ(told.front(), "The keyboard could not be read first: a full download of 768 words");
}

TEST_F(ChangedDownloadTest, FailuresAreNeverToldAsAVerifiedDownload) {
  model::AssignTableKey(app.doc.def.keys[0].layers[0], 1);
  app.doc.def.keys[0].layers[0].used = 1;
  link.changed = Result(false, 2, 2, Verify::Differs);
  link.changed.badBytes = 4;
  link.changed.firstBad = 0;
  link.changed.firstBadRead = 0xFF;
  EXPECT_EQ(Run().outcome, TransferOutcome::Failed);
  EXPECT_EQ(Texts().back(), "Verify|4 bytes differ; first at 0x0000: wrote 0x0e, read 0xff");

  link.changed = Result(false, 3, 1, Verify::Differs);  // a refused write
  link.changed.firstBad = 99999;                        // and a record out of range
  EXPECT_EQ(Run().outcome, TransferOutcome::Failed);
  const std::vector<std::string> texts = Texts();
  EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
            (std::vector<std::string>{"Programming|Programming failed",
                                      "Verify|1 byte differs; first at 0x0000: wrote 0x0e, "
                                      "read 0x00"}));
  EXPECT_EQ(told, std::vector<std::string>{"Sent 1 of 768 words"});

  link.changed = Result(false, 3, 3, Verify::Unread);
  EXPECT_EQ(Run().outcome, TransferOutcome::Failed);
  EXPECT_EQ(Texts().back(), "Verify|The keyboard could not be read back; nothing was verified.");

  link.changed = Result(false, 0, 0, Verify::NotRun);  // no keyboard reached
  EXPECT_EQ(Run().outcome, TransferOutcome::Failed);
  EXPECT_EQ(Texts().back(), "Programming|Programming failed");
  EXPECT_TRUE(told.empty());

  link.version = "Not found";
  EXPECT_EQ(Run().outcome, TransferOutcome::NoKeyboard);
  EXPECT_EQ(link.transfers.size(), 4u);
}

}  // namespace
}  // namespace veltrane::ui
