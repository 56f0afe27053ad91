// SPDX-License-Identifier: MIT
// The shared library through its exports, on the simulated keyboard.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "link/nirvex.h"

namespace {

std::vector<std::string> g_messages;
std::vector<int> g_steps;

void CollectMessage(const char* text, const char* caption, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(std::string(caption) + ": " + text);
}

int CollectStep(int step) {
  g_steps.push_back(step);
  return 0;
}

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {});
}

class NirvexLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string base = ::testing::TempDir() + "nirvex_" + std::to_string(::getpid()) + "_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    path = base + ".sim";
    trace = base + ".trace";
    std::remove(path.c_str());
    std::remove(trace.c_str());
    UseDevice("");
    ::unsetenv("NIRVEX_TRACE");
    g_messages.clear();
    g_steps.clear();
    NirvexSetMessageHandler(CollectMessage, &g_messages);
  }
  void TearDown() override {
    NirvexSetMessageHandler(nullptr, nullptr);
    ::unsetenv("NIRVEX_DEVICE");
    ::unsetenv("NIRVEX_TRACE");
    std::remove(path.c_str());  // nothing left in the temporary directory
    std::remove(trace.c_str());
  }
  void UseDevice(const std::string& options) {
    ::setenv("NIRVEX_DEVICE", ("sim:" + path + ",time=virtual" + options).c_str(), 1);
  }

  std::string path;
  std::string trace;
};

TEST_F(NirvexLibrary, ProgramsThenReadsBack3072Bytes) {
  char text[64];
  EXPECT_EQ(DetectKeyboard(text), 1);
  EXPECT_STREQ(text, "V0527X Simulated keyboard");
  std::vector<unsigned char> image(8192);
  for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<unsigned char>(k * 13 + 5);
  EXPECT_EQ(ProgramFirmWare(image.data(), 0, 3072, CollectStep), 1);
  EXPECT_EQ(g_steps.size(), 100u);
  EXPECT_EQ(g_messages, std::vector<std::string>{"nirvex: Done"});

  std::vector<unsigned char> back(8192, 0);
  EXPECT_EQ(ReadFirmWare(back.data(), 0, 3072, CollectStep), 1);
  EXPECT_EQ(g_steps.size(), 200u);
  EXPECT_EQ(g_steps.back(), 99);
  EXPECT_TRUE(std::equal(back.begin(), back.begin() + 3072, image.begin()));
  EXPECT_EQ(std::count(back.begin() + 3072, back.end(), 0), 8192 - 3072);

  const std::vector<unsigned char> file = FileBytes(path);
  ASSERT_EQ(file.size(), 8u + 0x8000 + 1);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 3072, file.begin() + 8));
  EXPECT_EQ(file[8 + 3072], 0xFF);
}

TEST_F(NirvexLibrary, MatrixSwitchIsTracedAndKept) {
  ::setenv("NIRVEX_TRACE", trace.c_str(), 1);
  const unsigned char on[4] = {0x00, 0x00, 0x00, 0xB1};
  EXPECT_EQ(ProgramFirmWare(on, 0xFF00, 4, CollectStep), 1);
  EXPECT_TRUE(g_steps.empty());
  EXPECT_TRUE(g_messages.empty());
  unsigned char word[4] = {};
  EXPECT_EQ(ReadFirmWare(word, 0, 4, nullptr), 1);
  std::ifstream lines(trace);
  const std::string text((std::istreambuf_iterator<char>(lines)), {});
  EXPECT_EQ(text,
            "set 00 00 ff 00 00 00 b1\n"
            "set 00 00 80 00 00 00 7a\n"
            "get 00 00 80 ff ff ff ff\n");
  EXPECT_EQ(FileBytes(path).back(), 0xB1);
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<unsigned> Fields(const NirvexChangedWords& r) {
  return {r.words,    r.toSend,   r.sent,         r.full,    r.verify,
          r.badBytes, r.firstBad, r.firstBadRead, r.differed};
}

TEST_F(NirvexLibrary, ChangedWordsSendsAndTracesOnlyTheDifference) {
  UseDevice(",product=V0412X");
  std::vector<unsigned char> image(3072, 0x5A);
  ASSERT_EQ(ProgramFirmWare(image.data(), 0, 3072, nullptr), 1);
  image[0] = 0x01;
  image[3071] = 0x02;
  ::setenv("NIRVEX_TRACE", trace.c_str(), 1);
  g_messages.clear();
  NirvexChangedWords result;
  std::memset(&result, 0xEE, sizeof result);
  EXPECT_EQ(ProgramChangedWords(image.data(), 0, 3072, CollectStep, &result), 1);
  EXPECT_EQ(Fields(result), (std::vector<unsigned>{768, 2, 2, NIRVEX_SENT_CHANGED,
                                                   NIRVEX_VERIFY_SAME, 0, 0, 0, 2}));
  EXPECT_EQ(g_steps.size(), 100u);
  EXPECT_EQ(g_messages, std::vector<std::string>{"nirvex: Done"});
  const std::vector<std::string> lines = Lines(trace);
  ASSERT_EQ(lines.size(), 1u + 2u * 768u + 1u + 2u + 1u + 4u);
  EXPECT_EQ(lines[0], "# read 768 words from 0x0000");
  EXPECT_EQ(lines[2], "get 00 00 80 5a 5a 5a 5a");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 8, lines.end()),
            (std::vector<std::string>{"# write 2 of 768 words", "set 00 00 00 01 5a 5a 5a",
                                      "set 00 fc 0b 5a 5a 5a 02", "# read back 2 words",
                                      "set 00 00 80 00 00 00 7a", "get 00 00 80 01 5a 5a 5a",
                                      "set 00 fc 8b 00 00 00 7a", "get 00 fc 8b 5a 5a 5a 02"}));
  EXPECT_TRUE(std::equal(image.begin(), image.end(), FileBytes(path).begin() + 8));

  UseDevice(",drop=1");  // word 4 differs, and its write is dropped
  image[5] = 0x03;
  EXPECT_EQ(ProgramChangedWords(image.data(), 0, 3072, nullptr, &result), 0);
  EXPECT_EQ(Fields(result), (std::vector<unsigned>{768, 1, 1, NIRVEX_SENT_CHANGED,
                                                   NIRVEX_VERIFY_DIFFERS, 1, 5, 0x5A, 1}));
  EXPECT_EQ(ProgramChangedWords(image.data(), 0x7F00, 4, CollectStep, nullptr), 0);
  EXPECT_EQ(g_steps.size(), 100u);

  // Most words differ: all are sent, and the record still tells how many differed.
  UseDevice("");
  std::fill(image.begin(), image.begin() + 2000, 0x77);
  EXPECT_EQ(ProgramChangedWords(image.data(), 0, 3072, nullptr, &result), 1);
  EXPECT_EQ(Fields(result), (std::vector<unsigned>{768, 768, 768, NIRVEX_FULL_MANY,
                                                   NIRVEX_VERIFY_SAME, 0, 0, 0, 500}));
}

TEST_F(NirvexLibrary, RefusedReportIsAFailedDownload) {
  UseDevice(",refuse=251,product=V0412");
  std::vector<unsigned char> image(3072, 0x11);
  EXPECT_EQ(ProgramFirmWare(image.data(), 0, 3072, CollectStep), 0);
  EXPECT_EQ(g_steps.size(), 100u);
  EXPECT_EQ(g_messages,
            std::vector<std::string>{"nirvex: Setfeature returned: 5 Input/output error\n"});
}

TEST_F(NirvexLibrary, StatusTellsAFailedCloseAndIsKeptPerThread) {
  EXPECT_EQ(DetectKeyboard(nullptr), 1);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_OK);
  UseDevice(",close=fail");
  std::vector<unsigned char> image(3072, 0x11);
  int threadResult = -1;
  int threadStatus = -1;
  std::thread other([&] {
    threadResult = ProgramFirmWare(image.data(), 0, 3072, nullptr);
    threadStatus = NirvexLastStatus();
  });
  other.join();
  EXPECT_EQ(threadResult, 1);  // the keyboard holds the whole block
  EXPECT_EQ(threadStatus, NIRVEX_CLOSE_FAILED);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_OK);  // this thread's own last call
  UseDevice(",refuse=3");
  EXPECT_EQ(ReadFirmWare(image.data(), 0, 3072, nullptr), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_REPORT_FAILED);
  EXPECT_EQ(ProgramFirmWare(image.data(), 0x8000, 4, nullptr), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_RANGE_REFUSED);
  UseDevice(",close=fail");
  NirvexChangedWords changed{};
  EXPECT_EQ(ProgramChangedWords(image.data(), 0, 3072, nullptr, &changed), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_CLOSE_FAILED);
  ::setenv("NIRVEX_DEVICE", "sim:", 1);
  EXPECT_EQ(DetectKeyboard(nullptr), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_NO_KEYBOARD);
}

TEST_F(NirvexLibrary, BadChoicesAndArgumentsFindNothingAndCrashNothing) {
  char text[64];
  for (const char* choice : {"sim:/tmp/x,colour=red", "sim:", "sim:,time=virtual"}) {
    ::setenv("NIRVEX_DEVICE", choice, 1);
    EXPECT_EQ(DetectKeyboard(text), 0) << choice;
    EXPECT_STREQ(text, "Not found");
  }
  UseDevice("");
  EXPECT_EQ(DetectKeyboard(nullptr), 1);
  EXPECT_EQ(ProgramFirmWare(nullptr, 0, 4, CollectStep), 0);
  EXPECT_EQ(ReadFirmWare(nullptr, 0, 4, CollectStep), 0);
  unsigned char buffer[8] = {};
  EXPECT_EQ(ProgramFirmWare(buffer, 0x8000, 4, CollectStep), 0);
  EXPECT_EQ(ReadFirmWare(buffer, 0xFF00, 4, CollectStep), 0);
  EXPECT_TRUE(g_steps.empty());
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(NirvexLibrary, DeniedKeyboardIsExplained) {
  UseDevice(",open=denied");
  char text[64];
  EXPECT_EQ(DetectKeyboard(text), 0);
  EXPECT_STREQ(text, "Not found");
  EXPECT_EQ(NirvexLastOpenDenied(), 1);
  EXPECT_NE(std::string(NirvexAccessProblem()).find("sudo ./dev udev"), std::string::npos);
  UseDevice("");
  EXPECT_EQ(DetectKeyboard(text), 1);
  EXPECT_EQ(NirvexLastOpenDenied(), 0);
  EXPECT_STREQ(NirvexAccessProblem(), "");
}

TEST_F(NirvexLibrary, WithoutAHandlerMessagesGoToStandardError) {
  NirvexSetMessageHandler(nullptr, nullptr);
  unsigned char word[4] = {1, 2, 3, 4};
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ProgramFirmWare(word, 0, 4, nullptr), 1);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(errors.ends_with("nirvex: Done\n")) << errors;  // after the diagnostics, if any
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// Several keyboards: one simulated keyboard per file of a directory.
class NirvexKeyboards : public NirvexLibrary {
 protected:
  void SetUp() override {
    NirvexLibrary::SetUp();
    dir = path + ".d";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    ::setenv("NIRVEX_DEVICE", ("simdir:" + dir + ",time=virtual").c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    NirvexLibrary::TearDown();
  }
  std::string Plug(const std::string& name, const std::string& own = "") {
    std::ofstream(dir + "/" + name).flush();
    if (!own.empty()) std::ofstream(dir + "/" + name + ".options") << own;
    return dir + "/" + name;
  }
  std::string dir;
};

// What one thread's calls reported.
struct ThreadCalls {
  std::vector<std::string> messages;
  int steps = 0;
  int programmed = -1;
  int verified = -1;
};

void CountStep(int, void* context) {
  ++static_cast<ThreadCalls*>(context)->steps;
}

void ProgramOnThisThread(const std::string& keyboard, unsigned char fill, ThreadCalls& calls) {
  NirvexSetThreadMessageHandler(CollectMessage, &calls.messages);
  std::vector<unsigned char> image(3072, fill);
  calls.programmed =
      NirvexProgramKeyboard(keyboard.c_str(), image.data(), 0, 3072, CountStep, &calls);
  calls.verified = NirvexVerifyKeyboard(keyboard.c_str(), image.data(), 0, 3072, CountStep, &calls,
                                        nullptr, nullptr);
  NirvexSetThreadMessageHandler(nullptr, nullptr);
}

TEST_F(NirvexKeyboards, SeveralKeyboardsAtOnceEachWithItsOwnBytesAndMessages) {
  const std::array<std::string, 3> keyboards = {Plug("k1.sim"), Plug("k2.sim", "refuse=20"),
                                                Plug("k3.sim", "product=V0412X third")};
  std::array<NirvexKeyboard, 2> listed{};
  ASSERT_EQ(NirvexListKeyboards(listed.data(), 2), 3);  // room for two of three
  EXPECT_EQ(listed[0].path, keyboards[0]);
  EXPECT_STREQ(listed[0].text, "V0527X Simulated keyboard");
  EXPECT_EQ(listed[1].vendor, 0x7A31);
  EXPECT_EQ(listed[1].product, 0xFF02);
  EXPECT_STREQ(listed[1].serial, "");
  EXPECT_EQ(NirvexListKeyboards(nullptr, 0), 3);

  std::array<ThreadCalls, 3> calls;
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < keyboards.size(); ++k)
    threads.emplace_back(ProgramOnThisThread, keyboards[k], static_cast<unsigned char>(k + 1),
                         std::ref(calls[k]));
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(calls[0].programmed + calls[0].verified, 2);
  EXPECT_EQ(calls[2].programmed + calls[2].verified, 2);
  EXPECT_EQ(calls[1].programmed, 0);
  // The 20th report of every session is refused, so the read-back fails too.
  EXPECT_EQ(calls[1].messages,
            (std::vector<std::string>{"nirvex: Setfeature returned: 5 Input/output error\n",
                                      "nirvex: Set or GetFeature failed "}));
  EXPECT_TRUE(calls[0].messages.empty() && calls[2].messages.empty());  // no "Done"
  EXPECT_TRUE(g_messages.empty());  // nothing reached the program's handler
  EXPECT_EQ(calls[0].steps, 200);
  for (std::size_t k : {0u, 2u}) {
    const std::vector<unsigned char> file = FileBytes(keyboards[k]);
    ASSERT_EQ(file.size(), 8u + 0x8000 + 1);
    EXPECT_EQ(std::count(file.begin() + 8, file.begin() + 8 + 3072, k + 1), 3072);
  }
}

TEST_F(NirvexKeyboards, VerifyNamesHowManyBytesDifferAndTheFirst) {
  const std::string keyboard = Plug("k1.sim", "drop=3");
  std::vector<unsigned char> image(3072, 0x5A);
  EXPECT_EQ(NirvexProgramKeyboard(keyboard.c_str(), image.data(), 0, 3072, nullptr, nullptr), 1);
  unsigned differences = 0;
  unsigned first = 0;
  EXPECT_EQ(NirvexVerifyKeyboard(keyboard.c_str(), image.data(), 0, 3072, nullptr, nullptr,
                                 &differences, &first),
            0);
  EXPECT_EQ(differences, 4u);
  EXPECT_EQ(first, 8u);
  std::vector<unsigned char> back(3072);
  EXPECT_EQ(NirvexReadKeyboard(keyboard.c_str(), back.data(), 0, 3072, nullptr, nullptr), 1);
  EXPECT_EQ(back[8], 0xFF);
  EXPECT_EQ(back[12], 0x5A);
}

TEST_F(NirvexKeyboards, NoPathOrAKeyboardNotThereDoesNothing) {
  Plug("k1.sim");
  unsigned char block[8] = {};
  unsigned differences = 0;
  for (const char* keyboard : {static_cast<const char*>(nullptr), "", "k1.sim", "/no/k1.sim"}) {
    EXPECT_EQ(NirvexProgramKeyboard(keyboard, block, 0, 8, nullptr, nullptr), 0);
    EXPECT_EQ(NirvexReadKeyboard(keyboard, block, 0, 8, nullptr, nullptr), 0);
    EXPECT_EQ(NirvexVerifyKeyboard(keyboard, block, 0, 8, nullptr, nullptr, &differences, nullptr),
              0);
    EXPECT_EQ(differences, 0xFFFFFFFFu);
  }
  EXPECT_TRUE(g_messages.empty());
}

TEST_F(NirvexKeyboards, TheAccessProblemBelongsToTheThreadThatMetIt) {
  ::setenv("NIRVEX_DEVICE", ("simdir:" + dir + ",open=denied").c_str(), 1);
  Plug("k1.sim");
  EXPECT_EQ(NirvexListKeyboards(nullptr, 0), 0);
  EXPECT_EQ(NirvexLastOpenDenied(), 1);
  int elsewhere = -1;
  std::thread([&] { elsewhere = NirvexLastOpenDenied(); }).join();
  EXPECT_EQ(elsewhere, 0);
}

// One keyboard, one program: the lock, and program and verify under one open.
using NirvexOneOpen = NirvexKeyboards;

TEST_F(NirvexOneOpen, ProgramAndVerifyWritesReadsBackAndTellsWhatDiffers) {
  const std::string good = Plug("k1.sim");
  const std::string dropping = Plug("k2.sim", "drop=3");
  std::vector<unsigned char> image(3072, 0x5A);
  ThreadCalls calls;
  NirvexProgramVerify result{};
  EXPECT_EQ(NirvexProgramAndVerifyKeyboard(good.c_str(), image.data(), 0, 3072, CountStep, &calls,
                                           &result),
            1);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_OK);
  EXPECT_EQ(calls.steps, 200);  // the writes, then the read-back
  EXPECT_EQ(result.sent, 768u);
  EXPECT_EQ(result.verify, static_cast<unsigned>(NIRVEX_VERIFY_SAME));
  const std::vector<unsigned char> file = FileBytes(good);
  EXPECT_EQ(std::count(file.begin() + 8, file.begin() + 8 + 3072, 0x5A), 3072);

  EXPECT_EQ(NirvexProgramAndVerifyKeyboard(dropping.c_str(), image.data(), 0, 3072, nullptr,
                                           nullptr, &result),
            0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_VERIFY_FAILED);
  EXPECT_EQ(result.verify, static_cast<unsigned>(NIRVEX_VERIFY_DIFFERS));
  EXPECT_EQ(result.badBytes, 4u);
  EXPECT_EQ(result.firstBad, 8u);
  EXPECT_EQ(result.firstBadRead, 0xFFu);

  EXPECT_EQ(NirvexProgramAndVerifyKeyboard(good.c_str(), image.data(), 0x7F00, 4, nullptr, nullptr,
                                           &result),
            0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_RANGE_REFUSED);
  EXPECT_EQ(result.verify, static_cast<unsigned>(NIRVEX_VERIFY_NONE));
  EXPECT_EQ(NirvexProgramAndVerifyKeyboard("", image.data(), 0, 4, nullptr, nullptr, &result), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_NO_KEYBOARD);
}

TEST_F(NirvexOneOpen, AKeyboardAnotherThreadHoldsIsBusyAndItsHolderWorksOnIt) {
  const std::string keyboard = Plug("k1.sim");
  std::vector<unsigned char> image(3072, 0x33);
  ASSERT_EQ(NirvexLockKeyboard(keyboard.c_str()), 1);
  ASSERT_EQ(NirvexLockKeyboard(keyboard.c_str()), 1);  // counted
  std::thread other([&] {
    NirvexProgramVerify result{};
    EXPECT_EQ(NirvexLockKeyboard(keyboard.c_str()), 0);
    EXPECT_EQ(NirvexLastStatus(), NIRVEX_BUSY);
    EXPECT_EQ(NirvexProgramAndVerifyKeyboard(keyboard.c_str(), image.data(), 0, 3072, nullptr,
                                             nullptr, &result),
              0);
    EXPECT_EQ(NirvexLastStatus(), NIRVEX_BUSY);
    EXPECT_EQ(result.sent, 0u);
  });
  other.join();
  // The holder's own transfers take the lock it holds.
  NirvexProgramVerify result{};
  EXPECT_EQ(NirvexProgramAndVerifyKeyboard(keyboard.c_str(), image.data(), 0, 3072, nullptr,
                                           nullptr, &result),
            1);
  std::vector<unsigned char> back(3072);
  EXPECT_EQ(NirvexReadKeyboard(keyboard.c_str(), back.data(), 0, 3072, nullptr, nullptr), 1);
  NirvexUnlockKeyboard(keyboard.c_str());
  std::thread stillHeld([&] { EXPECT_EQ(NirvexLockKeyboard(keyboard.c_str()), 0); });
  stillHeld.join();
  NirvexUnlockKeyboard(keyboard.c_str());
  std::thread freed([&] {
    EXPECT_EQ(NirvexLockKeyboard(keyboard.c_str()), 1);
    NirvexUnlockKeyboard(keyboard.c_str());
  });
  freed.join();
  EXPECT_EQ(NirvexLockKeyboard(nullptr), 0);
  EXPECT_EQ(NirvexLastStatus(), NIRVEX_NO_KEYBOARD);
}

TEST_F(NirvexOneOpen, ADeviceSettingThatFindsNothingForEverIsTold) {
  EXPECT_STREQ(NirvexDeviceProblem(), "");
  ::setenv("NIRVEX_DEVICE", ("simdir:" + Plug("k1.sim")).c_str(), 1);
  EXPECT_EQ(std::string(NirvexDeviceProblem()),
            "NIRVEX_DEVICE: " + dir + "/k1.sim is not a directory");
  ::setenv("NIRVEX_DEVICE", "usb", 1);
  EXPECT_STREQ(NirvexDeviceProblem(), "NIRVEX_DEVICE: unknown device \"usb\"");
  ::setenv("NIRVEX_DEVICE", "hidapi", 1);
  EXPECT_STREQ(NirvexDeviceProblem(), "");
}

}  // namespace
