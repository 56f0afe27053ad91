// SPDX-License-Identifier: MIT
// Recovery copies: what they hold, when a run writes and removes its own, and
// what the next start offers, restores, removes or sets aside.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "eeprom/random_definitions.h"
#include "fileaccess/file_lock.h"
#include "persist/config_file.h"
#include "support/files.h"
#include "support/recording_messages.h"
#include "support/temp_dir.h"
#include "ui/app/file_commands.h"
#include "ui/app/recovery_copy.h"
#include "ui/app/recovery_keeper.h"
#include "ui/app/recovery_offer.h"
#include "ui/app/undo_commands.h"

namespace veltrane::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;

// Random keys, legends, a few strings and settings, as a user's edits leave them.
void Edit(AppState& app, unsigned seed) {
  eeprom::test::RandomDefinitions random(seed);
  model::KeyboardDefinition& def = app.doc.def;
  random.Fill(def);
  for (std::size_t s = 6; s < def.stringWorkBuffer.size(); ++s)
    def.stringWorkBuffer[s][0] = model::StringChar{};  // what the store holds without dropping
  for (int k = 0; k < model::kKeyCount; k += 7)
    model::SetFieldText(def.keys[static_cast<std::size_t>(k)].legend, "Key " + std::to_string(k));
  def.settings.SerialNumber = "SN" + std::to_string(seed);
  def.settings.DebounceTime = static_cast<std::uint32_t>(random.Int(0, 255));
  def.settings.BeepLength = static_cast<std::uint8_t>(random.Int(1, 200));
}

std::vector<std::string> Entries(const std::string& directory) {
  std::vector<std::string> names;
  if (!fs::exists(directory)) return names;
  for (const auto& entry : fs::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void SetTime(const std::string& path, std::time_t time) {
  const timespec times[2] = {{time, 0}, {time, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(RecoveryCopy, HoldsWhatTheWindowWouldSaveAndTheFileItBelongsTo) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    AppState app;
    StartApplication(app);
    app.doc.loadedFile = "/boards/desk.DAT";
    Edit(app, seed);
    RecoveredWork work;
    std::string why;
    ASSERT_TRUE(DecodeRecoveryCopy(EncodeRecoveryCopy(app.doc), work, why)) << why;
    EXPECT_EQ(work.file, "/boards/desk.DAT");
    EXPECT_TRUE(SameDefinition(app.doc.def, work.def)) << seed;
    EXPECT_EQ(work.def.settings.ConfigFileName, "desk.DAT");
  }
}

TEST(RecoveryCopy, DamageIsFoundAndNamed) {
  AppState app;
  StartApplication(app);
  app.doc.loadedFile = "/boards/a\nb.DAT";  // a line end in a path does not end the header
  Edit(app, 3);
  const std::string copy = EncodeRecoveryCopy(app.doc);
  const auto why = [](std::string bytes) {
    RecoveredWork work;
    std::string reason;
    return DecodeRecoveryCopy(bytes, work, reason) ? "read" : reason;
  };
  EXPECT_EQ(why("Board.DAT"), "it is not a recovery copy");
  EXPECT_EQ(why(copy.substr(0, 40)), "its header is damaged");
  EXPECT_EQ(why(copy.substr(0, copy.size() - 1)),
            "it holds 20627 bytes of definition instead of 20628");
  std::string flipped = copy;
  flipped[copy.size() - 10000] ^= 0x10;  // in a key record
  EXPECT_EQ(why(flipped), "its checksum does not match what it holds");
  std::string header = copy;
  header.replace(header.find("file "), 5, "fyle ");
  EXPECT_EQ(why(header), "its header is damaged");
}

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { StartApplication(app); }
  std::string Dir() const { return state.path() + "/recovery/"; }
  // A run that wrote its copy of `edit` for `file` and was then killed.
  std::string KilledRun(unsigned edit, const std::string& file) {
    AppState other;
    StartApplication(other);
    other.doc.loadedFile = file;
    testing::RecordingMessages quiet;
    testing::RecordingLog otherLog;
    if (!file.empty() && fs::exists(file)) LoadConfiguration(other, {quiet, otherLog}, file);
    Edit(other, edit);
    RecoveryKeeper keeper(Dir());
    keeper.Follow(other);
    keeper.Flush();
    return keeper.CopyPath();  // its destruction leaves the copy, as a kill does
  }
  RestoreChoice Ask(const std::string& question) {
    questions.push_back(question);
    const RestoreChoice choice = answers.empty() ? RestoreChoice::Later : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return choice;
  }
  bool Offer(RecoveryKeeper& keeper) {
    return OfferRecovery(app, io, keeper, [this](const std::string& q) { return Ask(q); });
  }

  testing::TempDir state;
  testing::TempDir boards;
  AppState app;
  testing::RecordingMessages messages;
  testing::RecordingLog log;
  const Services io{messages, log};
  std::vector<std::string> questions;
  std::vector<RestoreChoice> answers;
};

TEST_F(RecoveryTest, TheCopyFollowsUndoAndRedoAsItFollowsEdits) {
  RecoveryKeeper keeper(Dir());
  Edit(app, 5);
  RecordStep(app, "Edit");
  keeper.Follow(app);
  keeper.Flush();
  EXPECT_TRUE(fs::exists(keeper.CopyPath()));
  UndoStep(app);  // back at the definition kept
  EXPECT_FALSE(HasUnsavedChanges(app));
  keeper.DropIfKept(app);
  keeper.Flush();
  EXPECT_FALSE(fs::exists(keeper.CopyPath()));
  RedoStep(app);
  keeper.Follow(app);
  keeper.Flush();
  EXPECT_TRUE(fs::exists(keeper.CopyPath()));  // the same bytes as before the drop
}

TEST_F(RecoveryTest, ARunWritesItsCopyOnlyWhileThereAreUnsavedChangesAndRemovesItOnDiscard) {
  RecoveryKeeper keeper(Dir());
  keeper.Follow(app);
  keeper.Flush();
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{});  // nothing to keep: nothing written
  Edit(app, 5);
  keeper.Follow(app);
  keeper.Flush();
  const std::string name = fs::path(keeper.CopyPath()).filename().string();
  const std::string lock = fs::path(LockPathOf(keeper.CopyPath())).filename().string();
  EXPECT_EQ(Entries(Dir()), (std::vector<std::string>{lock, name}));
  EXPECT_EQ(fs::status(Dir()).permissions() & fs::perms::all, fs::perms::owner_all);
  const std::string first = ReadFileText(keeper.CopyPath());
  app.doc.def.settings.SerialNumber = "SN-later";
  keeper.Follow(app);
  keeper.Flush();
  const std::string second = ReadFileText(keeper.CopyPath());
  EXPECT_NE(second, first);
  app.doc.def.settings.SerialNumber = "SN-between-periods";
  keeper.DropIfKept(app);  // after a command: written only once a period
  keeper.Flush();
  EXPECT_EQ(ReadFileText(keeper.CopyPath()), second);
  MarkKept(app);  // what a save does
  keeper.DropIfKept(app);
  keeper.Flush();
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{});
  app.doc.def.settings.SerialNumber = "SN-again";
  keeper.Follow(app);
  keeper.Discard();  // Exit after Discard
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{});
  app.doc.def.settings.SerialNumber = "SN-after-the-end";
  keeper.Follow(app);
  keeper.Flush();
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{});
}

TEST_F(RecoveryTest, ASignalsEndKeepsTheCopyAndLeavesNoLockFile) {
  RecoveryKeeper keeper(Dir());
  Edit(app, 6);
  keeper.Follow(app);
  keeper.Seal();
  EXPECT_EQ(Entries(Dir()),
            std::vector<std::string>{fs::path(keeper.CopyPath()).filename().string()});
  keeper.Discard();  // an Exit that the unwinding still runs removes nothing
  EXPECT_TRUE(fs::exists(keeper.CopyPath()));
}

TEST_F(RecoveryTest, TheNextStartRestoresTheKilledRunsWorkAndShowsItUnsaved) {
  const std::string file = boards.File("desk.DAT");
  AppState saved;
  StartApplication(saved);
  ASSERT_TRUE(persist::WriteConfigFile(file, saved.doc.def, saved.doc.header));
  SetTime(file, std::time(nullptr) - 60);
  const std::string copy = KilledRun(7, file);
  AppState expected;
  StartApplication(expected);
  Edit(expected, 7);

  RecoveryKeeper keeper(Dir());
  answers = {RestoreChoice::Restore};
  EXPECT_TRUE(Offer(keeper));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].starts_with("Restore unsaved changes to desk.DAT from 20"))
      << questions[0];
  EXPECT_TRUE(SameDefinition(expected.doc.def, app.doc.def));
  EXPECT_TRUE(HasUnsavedChanges(app));  // the `*`: the file still holds the old definition
  EXPECT_EQ(app.doc.loadedFile, file);
  EXPECT_EQ(app.doc.baseName, "desk");
  EXPECT_EQ(app.doc.dataDirectory, boards.path() + "/");
  EXPECT_TRUE(messages.shown.empty());
  // The old copy is gone; this run's own copy holds the work already.
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(fs::exists(LockPathOf(copy)));
  RecoveredWork work;
  std::string why;
  ASSERT_TRUE(DecodeRecoveryCopy(ReadFileText(keeper.CopyPath()), work, why)) << why;
  EXPECT_TRUE(SameDefinition(expected.doc.def, work.def));
  EXPECT_NE(log.text().find("Restored unsaved changes to desk.DAT from "), std::string::npos);
}

TEST_F(RecoveryTest, CopiesAreOfferedNewestFirstUntilOneIsRestored) {
  const std::string older = KilledRun(8, "");
  SetTime(older, std::time(nullptr) - 100);
  const std::string gone = KilledRun(9, boards.File("gone.DAT"));  // its file was removed since
  SetTime(gone, std::time(nullptr) - 50);
  const std::string newest = KilledRun(10, "");
  RecoveryKeeper keeper(Dir());
  answers = {RestoreChoice::Discard, RestoreChoice::Restore};
  EXPECT_TRUE(Offer(keeper));
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_TRUE(questions[0].starts_with("Restore unsaved changes to the new definition from "));
  EXPECT_TRUE(questions[1].starts_with("Restore unsaved changes to gone.DAT from "));
  EXPECT_FALSE(fs::exists(newest));  // discarded
  EXPECT_FALSE(fs::exists(gone));    // restored
  EXPECT_TRUE(fs::exists(older));    // offered at a later start
  EXPECT_EQ(app.doc.loadedFile, boards.File("gone.DAT"));
  EXPECT_TRUE(HasUnsavedChanges(app));
  keeper.Discard();
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{fs::path(older).filename().string()});
}

TEST_F(RecoveryTest, ALiveRunsCopyAndACopyOlderThanItsFileAreNotOffered) {
  AppState live;
  StartApplication(live);
  Edit(live, 11);
  RecoveryKeeper liveKeeper(Dir());
  liveKeeper.Follow(live);
  liveKeeper.Flush();
  const std::string file = boards.File("saved-since.DAT");
  const std::string stale = KilledRun(12, file);
  AppState saved;
  StartApplication(saved);
  ASSERT_TRUE(persist::WriteConfigFile(file, saved.doc.def, saved.doc.header));
  SetTime(stale, std::time(nullptr) - 60);

  RecoveryKeeper keeper(Dir());
  EXPECT_FALSE(Offer(keeper));
  EXPECT_TRUE(questions.empty());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(liveKeeper.CopyPath()));
  EXPECT_TRUE(fs::exists(LockPathOf(liveKeeper.CopyPath())));
  EXPECT_NE(log.text().find("removed: the file was saved after it"), std::string::npos);
}

TEST_F(RecoveryTest, ADamagedCopyIsToldAndSetAsideNeverLoaded) {
  const std::string copy = KilledRun(13, boards.File("desk.DAT"));
  std::string bytes = ReadFileText(copy);
  bytes[bytes.size() - 100] ^= 1;
  std::ofstream(copy, std::ios::binary | std::ios::trunc) << bytes;
  const model::KeyboardDefinition before = app.doc.def;
  RecoveryKeeper keeper(Dir());
  answers = {RestoreChoice::Restore};
  EXPECT_FALSE(Offer(keeper));
  EXPECT_TRUE(questions.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The recovery copy of desk.DAT cannot be read: its checksum does not match what it "
            "holds");
  EXPECT_EQ(messages.shown[0].caption, "Recovery");
  EXPECT_TRUE(SameDefinition(before, app.doc.def));
  const std::string aside = copy.substr(0, copy.size() - 9) + ".damaged";
  EXPECT_EQ(ReadFileText(aside), bytes);
  EXPECT_EQ(Entries(Dir()), std::vector<std::string>{fs::path(aside).filename().string()});
  messages.shown.clear();
  EXPECT_FALSE(Offer(keeper));  // not offered, nor told, again
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RecoveryTest, ACopyThatCannotBeWrittenIsToldOnceAndTriedAgain) {
  std::ofstream(state.File("recovery")) << "a file where the directory should be";
  RecoveryKeeper keeper(Dir());
  Edit(app, 14);
  keeper.Follow(app);
  keeper.Flush();
  EXPECT_EQ(keeper.TakeProblem(), state.File("recovery") + " is a regular file, not a directory");
  EXPECT_EQ(keeper.TakeProblem(), "");
  fs::remove(state.File("recovery"));
  keeper.Follow(app);  // the same definition, but the last copy failed
  keeper.Flush();
  EXPECT_TRUE(fs::exists(keeper.CopyPath()));
  EXPECT_EQ(keeper.TakeProblem(), "");
}

}  // namespace
}  // namespace veltrane::ui
