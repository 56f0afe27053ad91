// SPDX-License-Identifier: MIT
#include "ui/app/changed_download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_messages.h"
#include "tests/ui/app/fake_link.h"

namespace veltrane::ui {
namespace {

using Full = ChangedWordsResult::Full;
using Verify = ChangedWordsResult::Verify;

class ChangedDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartApplication(app);
    model::AssignTableKey(app.doc.def.keys[0].layers[0], 1);  // image byte 0 is 0x0e
    app.doc.def.keys[0].layers[0].used = 1;
  }
  // Runs the command on a link that answers `result`; the messages it showed.
  std::vector<std::string> Run(bool holds, unsigned toSend, unsigned sent, Verify verify,
                               Full full = Full::No, unsigned differed = 0) {
    link.changed = {holds, 768, toSend, sent, full, verify, 4, 0, 0xFF, differed};
    told.clear();
    messages.shown.clear();
    outcome = ProgramChangedWords(app, io, link, [this](const std::string& l) {
                told.push_back(l);
              }).outcome.result;
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.caption + "|" + m.text);
    return std::vector<std::string>(texts.begin() + 1, texts.end());  // after "Plug in .."
  }
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  Services io{messages, log};
  FakeLink link;
  AppState app;
  std::vector<std::string> told;
  Result outcome = Result::TransferFailed;
};

TEST_F(ChangedDownloadTest, LogsAndTellsWhatWasSentThenTheVerify) {
  EXPECT_EQ(Run(true, 3, 3, Verify::Same), std::vector<std::string>{"Verify|Verified 3072 bytes"});
  EXPECT_EQ(outcome, Result::Ok);
  EXPECT_EQ(link.transfers.at(0).kind + " " + std::to_string(link.transfers[0].count),
            "changed 3072");
  EXPECT_EQ(app.progress.position, 100);
  EXPECT_EQ(told, std::vector<std::string>{"Sent 3 of 768 words"});
  EXPECT_NE(log.text().find("Sent 3 of 768 words\n"), std::string::npos);
  // The words that differed, not the words sent because of them.
  Run(true, 768, 768, Verify::Same, Full::ManyDiffer, 480);
  EXPECT_EQ(told, (std::vector<std::string>{"480 of 768 words differed: a full download",
                                            "Sent 768 of 768 words"}));
  Run(true, 768, 768, Verify::Same, Full::Unread);
  EXPECT_EQ(told.front(), "The keyboard could not be read first: a full download of 768 words");
}

TEST_F(ChangedDownloadTest, FailuresAreNeverToldAsAVerifiedDownload) {
  const std::string differ = "Verify|4 bytes differ; first at 0x0000: wrote 0x0e, read 0xff";
  EXPECT_EQ(Run(false, 2, 2, Verify::Differs), std::vector<std::string>{differ});
  EXPECT_EQ(outcome, Result::TransferFailed);
  EXPECT_EQ(Run(false, 3, 1, Verify::Differs),  // a refused write
            (std::vector<std::string>{"Programming|Programming failed", differ}));
  EXPECT_EQ(told, std::vector<std::string>{"Sent 1 of 768 words"});
  EXPECT_EQ(Run(false, 3, 3, Verify::Unread),
            std::vector<std::string>{
                "Verify|The keyboard could not be read back; nothing was verified."});
  EXPECT_EQ(outcome, Result::TransferFailed);
  EXPECT_EQ(
      Run(false, 3, 3, Verify::Same),  // verified, but the close failed
      (std::vector<std::string>{"Programming|Programming failed", "Verify|Verified 3072 bytes"}));
  EXPECT_EQ(outcome, Result::TransferFailed);
  EXPECT_EQ(Run(false, 0, 0, Verify::NotRun),  // no keyboard reached
            std::vector<std::string>{"Programming|Programming failed"});
  EXPECT_EQ(outcome, Result::TransferFailed);
  EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace veltrane::ui
