// veltrane-cli end to end: each case runs the program in a fresh directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/temp_dir.h"

namespace veltrane {
namespace {

struct Result {
  int status;
  std::string output;  // stdout and stderr together
};

class CliTest : public ::testing::Test {
 protected:
  Result Cli(const std::string& args) {
    const std::string command = "cd '" + dir.path() + "' && '" VELTRANE_CLI "' " + args + " 2>&1";
    Result result{-1, {}};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir.File(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(dir.File(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // A file of the oldest generation: version 5.0, legend of key 0, layer 2 ibmkey 31.
  std::vector<std::uint8_t> OldestFile() {
    std::vector<std::uint8_t> bytes(16528, 0);
    bytes[4] = 5;
    const std::size_t key0 = 144;
    bytes[key0 + 4] = 1;
    bytes[key0 + 5] = 1;
    const char legend[] = "Space";
    std::copy(legend, legend + 5, bytes.begin() + key0 + 28);
    bytes[key0 + 61 + 24] = 1;
    bytes[key0 + 64 + 24] = 31;
    bytes[key0 + 69 + 24] = 0;
    return bytes;
  }
  testing::TempDir dir;
};

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Cli("").status, 2);
  EXPECT_EQ(Cli("frobnicate").status, 2);
  EXPECT_EQ(Cli("report").status, 2);
  EXPECT_EQ(Cli("report a.dat b.dat").status, 2);
  EXPECT_EQ(Cli("report a.dat --bogus").status, 2);
  EXPECT_EQ(Cli("report a.dat -o").status, 2);
  EXPECT_EQ(Cli("convert a.dat").status, 2);
  const Result help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("report CONFIG.DAT"), std::string::npos);
  EXPECT_EQ(Cli("report --help").status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("vtlog.txt")));
}

TEST_F(CliTest, MissingFileFailsWithTheReaderMessage) {
  const Result result = Cli("report nothere.dat");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "Cannot open file: nothere.dat\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Saved.txt")));
}

TEST_F(CliTest, ConvertTurnsAnOldFileIntoACurrentOne) {
  WriteBytes("old.dat", OldestFile());
  const Result result = Cli("convert old.dat new.DAT");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output, "Load: Loaded configuration file !\nSave: Saved configuration file !\n");
  const std::string converted = Read("new.DAT");
  ASSERT_EQ(converted.size(), 20628u);
  EXPECT_EQ(converted.substr(76, 8), std::string("new.DAT\0", 8));  // file-name display
  EXPECT_EQ(converted[144], 0);  // an oldest-generation file leaves header bytes 144..147 alone
  EXPECT_EQ(converted.substr(148 + 28, 6), std::string("Space\0", 6));
  EXPECT_EQ(static_cast<unsigned char>(converted[148 + 64 + 2 * 20 + 4]), 31);
  EXPECT_TRUE(std::filesystem::exists(dir.File("vtlog.txt")));
}

TEST_F(CliTest, ReportGoesBesideTheLoadedFileUnlessToldOtherwise) {
  WriteBytes("old.dat", OldestFile());
  std::filesystem::create_directory(dir.File("sub"));
  ASSERT_EQ(Cli("convert old.dat sub/board.dat").status, 0);
  ASSERT_EQ(Cli("report sub/board.dat").status, 0);
  const std::string report = Read("sub/Saved.txt");
  EXPECT_EQ(report.rfind("[Header]\nVersion = 5.0\n", 0), 0u);
  EXPECT_NE(report.find(" 0 , 0 = Space , 1 , 1 , "), std::string::npos);
  ASSERT_EQ(Cli("report sub/board.dat -o here.txt").status, 0);
  EXPECT_EQ(Read("here.txt"), report);
}

TEST_F(CliTest, UnwritableOutputExitsWithOne) {
  WriteBytes("old.dat", OldestFile());
  EXPECT_EQ(Cli("convert old.dat missing/dir/x.DAT").status, 1);
  EXPECT_EQ(Cli("report old.dat -o missing/dir/r.txt").status, 1);
}

}  // namespace
}  // namespace veltrane
