// SPDX-License-Identifier: MIT
#include "ui/main_window/main_window_controller.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "link/nirvex.h"
#include "model/key_tables.h"
#include "persist/config_file.h"
#include "support/recording_messages.h"
#include "support/setting_places.h"
#include "support/temp_dir.h"
#include "tests/ui/app/fake_link.h"
#include "tests/ui/main_window/controller_fixture.h"
#include "tests/ui/main_window/scripted_host.h"
#include "ui/app/keyboard_commands.h"
#include "ui/controls/control_ids.h"

namespace veltrane::ui {
namespace {

constexpr const char* kNewQuestion = "Save changes to the new definition?";

class ControllerTest : public ControllerFixture {
 protected:
  void Keys(std::initializer_list<int> codes) {
    for (int code : codes) controller.OnMainWindowKey(code);
  }
  bool AllPictures(KeyPicture picture) const {
    for (KeyPicture p : view.keyPictures)
      if (p != picture) return false;
    return true;
  }
  model::KeyDefinition& Key(int row, int column) {
    return app.doc.def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))];
  }
};

TEST_F(ControllerTest, EveryPositionShowsTheRedCrossAfterStartUpAndAfterNewClearAll) {
  EXPECT_TRUE(AllPictures(KeyPicture::Incomplete));
  Key(2, 3).enabled = 0;
  Key(4, 4).used = 0;
  app.doc.def.settings.Leds[1] = 4;
  app.doc.def.settings.ConfigFileName = "mine.DAT";
  app.doc.def.settings.DefRepRate = 3;
  controller.OnFieldCommitted(id::kGain, "9");
  host.choice = SaveChoice::Discard;
  controller.OnCommand(id::kNewClearAll);
  EXPECT_EQ(host.asked, std::vector<std::string>{kNewQuestion});
  EXPECT_TRUE(AllPictures(KeyPicture::Incomplete));
  EXPECT_EQ(view.ledPictures[1], KeyPicture::LedOff);
  EXPECT_EQ(view.Field(id::kFileName).text, "in.dat");
  EXPECT_EQ(view.List(id::kRepeatRate).selection, 7);
  EXPECT_EQ(app.doc.def.settings.ScrollWheelGain, 1);
}

TEST_F(ControllerTest, PictureFollowsStateThenTheWholeKeyTypeByte) {
  const std::pair<std::uint8_t, KeyPicture> byType[] = {
      {model::MOUSE_BUTTON_KEY, KeyPicture::Mouse},
      {model::STRING_KEY, KeyPicture::String},
      {model::CONSUMER_KEY, KeyPicture::Consumer},
      {model::SYSTEM_KEY, KeyPicture::System},
      {model::LOCAL_ILLUMINATION_KEY, KeyPicture::Illumination},
      {model::STOP_SUN_KEY, KeyPicture::Stop},
      {model::LOCAL_ILLUMINATION_KEY | model::KEYTYPE_LIGHT_UP, KeyPicture::LightUp},
      {model::NORMAL_KEY | model::KEYTYPE_LIGHT_DOWN, KeyPicture::LightDown},
      {model::NORMAL_KEY, KeyPicture::Complete}};
  for (const auto& [type, picture] : byType) {
    Key(0, 0).complete = 1;
    Key(0, 0).layers[0].keytype = type;
    RefreshControls(app, view);
    EXPECT_EQ(view.keyPictures[0], picture) << int(type);
  }
  Key(0, 1).enabled = 0;
  Key(0, 2).used = 0;
  Key(0, 3).enabled = 2;  // neither 0 nor 1: the key type decides
  Key(0, 3).layers[0].keytype = model::STRING_KEY;
  RefreshControls(app, view);
  EXPECT_EQ(view.keyPictures[1], KeyPicture::Disabled);
  EXPECT_EQ(view.keyPictures[2], KeyPicture::Unused);
  EXPECT_EQ(view.keyPictures[3], KeyPicture::String);
  EXPECT_NE(view.keyTooltips[0].find("layer [0,0]"), std::string::npos);
}

TEST_F(ControllerTest, ShortcutOpensThePositionWithTheQuestionMark) {
  KeyPicture shown = KeyPicture::Unused;
  host.duringDialog = [&] { shown = view.keyPictures[127]; };
  Keys({222, 'P', 'H'});
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_TRUE(host.opened[0].editing);
  EXPECT_EQ(host.opened[0].row, 15);
  EXPECT_EQ(host.opened[0].column, 7);
  EXPECT_EQ(shown, KeyPicture::Editing);
  EXPECT_FALSE(view.editTarget.editing);
  EXPECT_EQ(view.keyPictures[127], KeyPicture::Incomplete);

  Keys({222, 'A', 'I'});       // no column "I"
  Keys({222, '5', 'A', 'B'});  // a digit ends the sequence
  Keys({'C', 222, 'B', 'C'});  // a letter before 222 does not count
  ASSERT_EQ(host.opened.size(), 2u);
  EXPECT_EQ(host.opened[1].row, 1);
  EXPECT_EQ(host.opened[1].column, 2);
}

TEST_F(ControllerTest, NoOtherCommandStartsWhileOneRuns) {
  host.duringDialog = [&] {
    controller.OnCommand(id::kNewClearAll);
    controller.OnCommand(id::kGlobalRepeat);
    controller.OnMainWindowKey(222);
  };
  app.doc.def.settings.ConfigFileName = "kept.DAT";
  controller.OnCommand(id::kFirstKeyButton);
  EXPECT_EQ(view.Field(id::kFileName).text, "kept.DAT");
  EXPECT_EQ(app.doc.def.settings.GlobalRepeatDisable, 0);
  EXPECT_EQ(view.shortcutCount, 0);
  controller.OnCommand(id::kGlobalRepeat);
  EXPECT_TRUE(view.Box(id::kGlobalRepeat).checked);
}

TEST_F(ControllerTest, GenerateIsEnabledExactlyWhileAnImageFileIsChecked) {
  EXPECT_FALSE(view.generateEnabled);
  controller.OnCommand(id::kWriteBin);
  EXPECT_TRUE(view.generateEnabled);
  controller.OnCommand(id::kWriteTxt);
  controller.OnCommand(id::kWriteBin);
  EXPECT_TRUE(view.generateEnabled);
  EXPECT_FALSE(view.Box(id::kWriteBin).checked);
  controller.OnCommand(id::kWriteTxt);
  EXPECT_FALSE(view.generateEnabled);
}

TEST_F(ControllerTest, SaveBuildsBeforeAskingAndNamesTheFiles) {
  for (int i = 0; i < 300; ++i) {  // more meanings than the image holds: a box before the dialog
    model::KeyLayer& layer = app.doc.def.keys[static_cast<std::size_t>(i / 4)].layers[i % 4];
    model::AssignTableKey(layer, 1 + i % 58);  // rows 1..58 have codes of their own
    layer.keymode = static_cast<std::uint8_t>(i / 58);
    layer.used = 1;
  }
  host.saveAnswer = "Keys.old.dat";
  controller.OnCommand(id::kSave);
  EXPECT_EQ(host.messagesBeforeSaveDialog, 1u);
  EXPECT_EQ(app.doc.baseName, "Keys.old");
  EXPECT_EQ(view.Field(id::kFileName).text, "Keys.old.DAT");
  EXPECT_TRUE(std::filesystem::exists(dir.File("Keys.old.DAT")));

  messages.shown.clear();
  host.saveAnswer = "";
  controller.OnCommand(id::kSave);
  EXPECT_EQ(app.doc.baseName, "Keys.old");  // a cancelled save changes nothing
  EXPECT_EQ(view.Field(id::kFileName).text, "Keys.old.DAT");
  EXPECT_FALSE(std::filesystem::exists(dir.File(".DAT")));
  EXPECT_EQ(messages.shown.size(), 1u);  // only the image build's box
}

TEST_F(ControllerTest, CommandLineFileIsLoadedOnceByWhicheverCommandChecksFirst) {
  {
    AppState other;
    StartApplication(other);
    other.doc.def.settings.SerialNumber = "SN-7";
    ASSERT_TRUE(persist::WriteConfigFile(dir.File("Board.DAT"), other.doc.def, other.doc.header));
  }
  StartApplication(app, dir.File("Board.DAT"));
  app.doc.chosenFileName = "earlier.DAT";
  controller.OnCommand(id::kProgram);
  EXPECT_EQ(view.Field(id::kFileName).text, "Board.DAT");
  EXPECT_EQ(app.doc.baseName, "Board");
  EXPECT_EQ(app.doc.chosenFileName, "earlier.DAT");
  EXPECT_EQ(app.doc.dataDirectory, dir.path() + "/");
  const auto loaded = messages.shown.size();
  controller.OnCommand(id::kCheckPresence);
  EXPECT_EQ(messages.shown.size(), loaded);  // only detects
}

TEST_F(ControllerTest, LoadCancelledChangesNothing) {
  app.doc.header.SetText(veltrane::testing::HeaderAt("SerialNumber"), "SN-9");
  app.doc.header.bytes[veltrane::testing::HeaderAt("ScrollWheelGain")] =
      static_cast<std::uint8_t>(20);
  app.doc.chosenFileName = "last.DAT";
  app.doc.def.settings.SerialNumber = "typed";
  host.choice = SaveChoice::Discard;
  controller.OnCommand(id::kLoad);
  EXPECT_EQ(host.asked, std::vector<std::string>{kNewQuestion});
  EXPECT_EQ(view.Field(id::kFileName).text, "in.dat");
  EXPECT_EQ(view.Field(id::kSerial).text, "typed");
  EXPECT_EQ(view.Field(id::kGain).text, "1");
  EXPECT_EQ(view.Field(id::kDebounce).text, "28");  // not the header's values, nor a cleared field
  EXPECT_EQ(app.doc.def.settings.ScrollWheelGain, 1);
}

TEST_F(ControllerTest, UnsavedChangesMarkTheTitleAndAreAskedAboutBeforeTheyAreLost) {
  EXPECT_FALSE(view.modified);
  controller.OnCommand(id::kGlobalRepeat);
  EXPECT_TRUE(view.modified);
  controller.OnCommand(id::kGlobalRepeat);  // back as it was
  EXPECT_FALSE(view.modified);
  controller.OnSelection(id::kRepeatRate, 2);

  // Cancel keeps everything; each of these commands asks first.
  for (int command : {id::kExit, id::kNewClearAll, id::kLoad, id::kRead})
    controller.OnCommand(command);
  EXPECT_EQ(host.asked, std::vector<std::string>(4, kNewQuestion));
  EXPECT_FALSE(host.exited);
  EXPECT_EQ(view.List(id::kRepeatRate).selection, 2);
  EXPECT_TRUE(link.transfers.empty());

  // Save runs the Save command; a cancelled Save File dialog cancels the exit too.
  host.choice = SaveChoice::Save;
  controller.OnCommand(id::kExit);
  EXPECT_FALSE(host.exited);
  host.saveAnswer = "Kept";
  controller.OnCommand(id::kExit);
  EXPECT_TRUE(host.exited);
  EXPECT_FALSE(HasUnsavedChanges(app));

  // Nothing unsaved: nothing asked. Discard goes on.
  host.asked.clear();
  controller.OnCommand(id::kNewClearAll);
  EXPECT_TRUE(host.asked.empty());
  app.doc.def.keys[7].enabled = 0;  // as the Key Settings dialog writes it
  host.choice = SaveChoice::Discard;
  controller.OnCommand(id::kRead);
  EXPECT_EQ(link.transfers.size(), 1u);
  EXPECT_FALSE(view.modified);  // the definition read is the kept one
}

TEST_F(ControllerTest, ASaveRefusedForMacrosThatDoNotFitKeepsTheProgramOpen) {
  // Two macros of 79 strokes and one of 40: 200 entries of the store's 192.
  for (int n = 0; n < 3; ++n) {
    model::StringRow& row = app.doc.def.stringWorkBuffer[static_cast<std::size_t>(n)];
    const int strokes = n < 2 ? 79 : 40;
    for (int k = 0; k < strokes; ++k) row[static_cast<std::size_t>(k)] = {0, 0x04, 0x1C, 0};
    row[static_cast<std::size_t>(strokes)] = model::StringChar{};
  }
  host.choice = SaveChoice::Save;
  host.saveAnswer = "Kept";
  for (int command : {id::kExit, id::kNewClearAll}) controller.OnCommand(command);
  EXPECT_FALSE(host.exited);
  EXPECT_EQ(host.asked.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Kept.DAT")));
  EXPECT_EQ(model::StringLength(app.doc.def.stringWorkBuffer[2]), 40);  // not cleared, not cut
  EXPECT_TRUE(view.modified);
}

TEST_F(ControllerTest, DownloadOfTheCommandLineFileShowsItFirst) {
  {
    AppState other;
    StartApplication(other);
    model::AssignTableKey(other.doc.def.keys[0].layers[0], 31);
    other.doc.def.keys[0].layers[0].used = 1;
    other.doc.def.keys[0].complete = 1;
    ASSERT_TRUE(persist::WriteConfigFile(dir.File("Board.DAT"), other.doc.def, other.doc.header));
  }
  StartApplication(app, dir.File("Board.DAT"));
  RefreshControls(app, view);
  int repaintsAtDownload = -1;
  std::string versionAtDownload;
  KeyPicture keyAtDownload = KeyPicture::Unused;
  link.duringTransfer = [&] {
    repaintsAtDownload = host.repaints;
    versionAtDownload = view.Field(id::kVersion).text;
    keyAtDownload = view.keyPictures[0];
  };
  EXPECT_EQ(view.Field(id::kVersion).text, "");
  controller.OnCommand(id::kProgram);
  EXPECT_GT(repaintsAtDownload, 0);
  // The detected keyboard and the loaded keys are shown while the block goes, not after.
  EXPECT_EQ(versionAtDownload, "V0527X");
  EXPECT_EQ(keyAtDownload, KeyPicture::Complete);
}

TEST_F(ControllerTest, FieldsAndTogglesFollowTheirRules) {
  controller.OnCommand(id::kActivateBeep);
  EXPECT_EQ(app.doc.def.settings.BeepLength, 100);
  EXPECT_TRUE(view.Field(id::kBeepLength).enabled);
  controller.OnFieldCommitted(id::kBeepLength, "250");
  EXPECT_EQ(app.doc.def.settings.BeepLength, 100);
  EXPECT_EQ(view.Field(id::kBeepLength).text, "100");
  EXPECT_EQ(view.Field(id::kBeepLength).note, "250 is outside 0..200: BeepLength stays 100");
  controller.OnFieldCommitted(id::kBeepLength, "200");
  EXPECT_EQ(view.Field(id::kBeepLength).note, "");
  controller.OnFieldCommitted(id::kBeepLength, "0");
  EXPECT_FALSE(view.Field(id::kBeepLength).enabled);
  EXPECT_FALSE(view.Box(id::kActivateBeep).checked);

  controller.OnFieldCommitted(id::kGain, "16");
  controller.OnFieldCommitted(id::kGain, "17");
  EXPECT_EQ(view.Field(id::kGain).text, "16");
  controller.OnFieldCommitted(id::kGain, "x");  // not a number: the gain stays
  EXPECT_EQ(app.doc.def.settings.ScrollWheelGain, 16);

  controller.OnCommand(id::kEnablePointing);
  EXPECT_TRUE(view.Box(id::kEnablePointing).checked);
  EXPECT_EQ(view.List(id::kPointDevice).selection, 1);
  EXPECT_TRUE(view.List(id::kPointDevice).enabled);
  controller.OnCommand(id::kEnablePointing);
  EXPECT_EQ(view.List(id::kPointDevice).selection, 0);
  EXPECT_FALSE(view.List(id::kPointDevice).enabled);

  link.version = "V0527";
  controller.OnCommand(id::kCheckPresence);
  controller.OnCommand(id::kEnableMatrix);
  EXPECT_FALSE(view.Box(id::kEnableMatrix).checked);
  link.version = "V0527X";
  controller.OnCommand(id::kCheckPresence);
  controller.OnCommand(id::kEnableMatrix);
  EXPECT_TRUE(view.Box(id::kEnableMatrix).checked);
  EXPECT_EQ(link.transfers.back().data[3], NIRVEX_MATRIX_ON);
}

TEST_F(ControllerTest, ChangedWordsOnlyIsAPerRunOptionOfProgramKeyboard) {
  EXPECT_FALSE(view.Box(id::kChangedWordsOnly).checked);
  controller.OnCommand(id::kChangedWordsOnly);
  EXPECT_TRUE(view.Box(id::kChangedWordsOnly).checked);
  link.changed = {true, 768, 2, 2, ChangedWordsResult::Full::No, ChangedWordsResult::Verify::Same};
  controller.OnCommand(id::kProgram);
  controller.OnCommand(id::kChangedWordsOnly);
  controller.OnCommand(id::kProgram);
  ASSERT_EQ(link.transfers.size(), 3u);
  EXPECT_EQ(link.transfers[0].kind, "changed");
  EXPECT_EQ(link.transfers[1].kind, "program");
  EXPECT_EQ(link.transfers[2].kind, "read");  // a full download is read back too
  EXPECT_EQ(messages.shown.at(1).text, "Verified 3072 bytes");
  StartApplication(app);
  EXPECT_FALSE(app.doc.options.changedWordsOnly);
}

TEST_F(ControllerTest, WhileTheProductionLineRunsTheDefinitionCannotChange) {
  app.locked = true;
  app.doc.def.settings.ConfigFileName = "kept.DAT";
  host.choice = SaveChoice::Discard;
  host.loadAnswer = dir.File("any.json");
  for (int command : {id::kNewClearAll, id::kGlobalRepeat, id::kFirstKeyButton, id::kLoad,
                      id::kRead, id::kProgram, id::kImportText, id::kLed1})
    controller.OnCommand(command);
  controller.OnFieldCommitted(id::kSerial, "SN9");
  controller.OnListTextCommitted(id::kRepeatRate, "60 mS");
  controller.OnSelection(id::kRepeatRate, 2);
  Keys({222, 'A', 'A'});
  EXPECT_EQ(app.doc.def.settings.ConfigFileName, "kept.DAT");
  EXPECT_EQ(app.doc.def.settings.SerialNumber, "");
  EXPECT_FALSE(view.modified);
  EXPECT_TRUE(host.opened.empty() && host.asked.empty() && link.transfers.empty());
  EXPECT_EQ(link.detections, 0);
  EXPECT_TRUE(messages.shown.empty());

  controller.OnCommand(id::kExit);  // told, not done
  EXPECT_FALSE(host.exited);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Production line");
  controller.OnCommand(id::kProductionLine);
  EXPECT_EQ(host.productionLines, 1);
  host.saveAnswer = "copy";
  controller.OnCommand(id::kExportText);  // reads the definition only
  EXPECT_TRUE(std::filesystem::exists(dir.File("copy.json")));
  host.saveAnswer = "keys.PNG";
  controller.OnCommand(id::kExportPicture);  // so do the picture and the print
  EXPECT_TRUE(std::filesystem::exists(dir.File("keys.PNG")));
  controller.OnCommand(id::kPrint);
  EXPECT_EQ(host.printed, std::vector<std::string>(4, "Keymap of kept.DAT"));  // a page per layer
}

TEST_F(ControllerTest, ImportTextIsALoadThatAsksAboutUnsavedChangesFirst) {
  host.saveAnswer = "board";
  controller.OnCommand(id::kExportText);
  controller.OnCommand(id::kGlobalRepeat);
  host.loadAnswer = dir.File("board.json");
  controller.OnCommand(id::kImportText);  // Cancel
  EXPECT_EQ(host.asked, std::vector<std::string>{kNewQuestion});
  EXPECT_EQ(app.doc.def.settings.GlobalRepeatDisable, 1);
  host.choice = SaveChoice::Discard;
  controller.OnCommand(id::kImportText);
  EXPECT_EQ(app.doc.def.settings.GlobalRepeatDisable, 0);
  EXPECT_FALSE(view.modified);
  EXPECT_EQ(app.doc.baseName, "board");
}

TEST_F(ControllerTest, SaveChangesQuestionNamesOnlyAFileLoadedSavedImportedOrGiven) {
  // An edit, the question New asks about it (answered as `host.choice` says), the edit undone.
  const auto asked = [&] {
    host.asked.clear();
    const SaveChoice choice = std::exchange(host.choice, SaveChoice::Cancel);
    controller.OnCommand(id::kGlobalRepeat);
    controller.OnCommand(id::kNewClearAll);
    controller.OnCommand(id::kGlobalRepeat);
    host.choice = choice;
    return host.asked.empty() ? std::string() : host.asked[0];
  };
  EXPECT_EQ(view.Field(id::kFileName).text, "in.dat");  // a name no file has
  EXPECT_EQ(asked(), kNewQuestion);
  host.saveAnswer = "Kept";
  controller.OnCommand(id::kSave);
  EXPECT_EQ(asked(), "Save changes to Kept.DAT?");
  controller.OnCommand(id::kExportText);  // an export leaves the definition's file as it was
  EXPECT_EQ(asked(), "Save changes to Kept.DAT?");
  controller.OnCommand(id::kNewClearAll);
  EXPECT_EQ(asked(), kNewQuestion);
  host.loadAnswer = dir.File("Kept.DAT");
  controller.OnCommand(id::kLoad);
  EXPECT_EQ(asked(), "Save changes to Kept.DAT?");
  host.loadAnswer = dir.File("Kept.json");
  controller.OnCommand(id::kImportText);
  EXPECT_EQ(asked(), "Save changes to Kept.json?");
  controller.OnCommand(id::kRead);  // the keyboard's definition belongs to no file
  EXPECT_EQ(asked(), kNewQuestion);

  StartApplication(app, dir.File("Missing.DAT"));  // still to be loaded
  EXPECT_EQ(asked(), "Save changes to Missing.DAT?");
}

// The pointing device's values are the user's work too; a configuration file
// cannot hold them, a text export can.
TEST_F(ControllerTest, PointingDeviceValuesAreAChangeThatOnlyTheTextFormKeeps) {
  host.duringDialog = [&] { app.doc.def.settings.PointDeviceParams[4] = 99; };
  controller.OnCommand(id::kPointDevSet);
  EXPECT_TRUE(view.modified);
  controller.OnCommand(id::kExit);
  EXPECT_FALSE(host.exited);
  EXPECT_EQ(host.asked.back(),
            std::string(kNewQuestion) +
                "\n\nPointing-device values are kept only in the keyboard and in text exports.");
  host.saveAnswer = "tuned";
  controller.OnCommand(id::kExportText);
  host.duringDialog = [&] { app.doc.def.settings.PointDeviceParams[4] = 13; };
  controller.OnCommand(id::kPointDevSet);
  host.choice = SaveChoice::Discard;
  host.loadAnswer = dir.File("tuned.json");
  controller.OnCommand(id::kImportText);
  EXPECT_EQ(app.doc.def.settings.PointDeviceParams[4], 99);
  EXPECT_FALSE(view.modified);
}

TEST_F(ControllerTest, SaveAndExportAskBeforeReplacingAFile) {
  host.saveAnswer = "Kept";
  controller.OnCommand(id::kSave);
  controller.OnCommand(id::kExportText);
  EXPECT_TRUE(host.replaceQuestions.empty());
  controller.OnCommand(id::kGlobalRepeat);
  host.replaceAnswer = false;
  controller.OnCommand(id::kSave);
  controller.OnCommand(id::kExportText);
  EXPECT_EQ(host.replaceQuestions,
            (std::vector<std::string>{"Save File|Kept.DAT already exists. Replace it?",
                                      "Export as text|Kept.json already exists. Replace it?"}));
  EXPECT_TRUE(view.modified);  // nothing was saved
  host.replaceAnswer = true;
  controller.OnCommand(id::kSave);
  EXPECT_FALSE(view.modified);
}

// The front end's dialogs edit the part of the document the controller hands them.
TEST_F(ControllerTest, TheEditingDialogsAreHandedTheDocument) {
  controller.OnCommand(id::kFirstKeyButton + 9);
  EXPECT_EQ(host.edited, &app.doc.def);
  host.edited = nullptr;
  controller.OnCommand(id::kLed3);
  EXPECT_EQ(host.edited, &app.doc.def.settings);
  EXPECT_EQ(view.ledSlot, 2);
  host.edited = nullptr;
  controller.OnCommand(id::kPointDevSet);
  EXPECT_EQ(host.edited, &app.doc.def.settings);
}

}  // namespace
}  // namespace veltrane::ui
