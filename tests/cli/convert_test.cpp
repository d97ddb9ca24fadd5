// kts convert on files a retrieval wrote: every direction between the
// formats, a whole archive at once, and files that are missing or broken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "data_files_check.h"
#include "run_kts.h"

namespace kts::test {
namespace {

using ::testing::HasSubstr;

// One retrieval from an idle simulated logger gives the inputs of every
// test here: source.hex, source.dat and source.mat.
class Convert : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    source = new std::string(MakeTempDirectory());
    auto logger = StartLogger("extended", {"status = 4", "records = 900"});
    ASSERT_TRUE(logger);
    const RunResult r = RunKts(
        {"retrieve", "--port", logger->path(), "--out", *source + "/source", "--mat", "--quiet"},
        *source);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
  }
  static void TearDownTestSuite() { delete source; }
  void SetUp() override {
    ASSERT_TRUE(FileExists(*source + "/source.hex"));
    dir = MakeTempDirectory();
  }
  static std::string In(const char* extension) { return *source + "/source" + extension; }

  static std::string* source;
  std::string dir;
};
std::string* Convert::source = nullptr;

TEST_F(Convert, EveryInputFormatGivesTheSameDatAndMat) {
  const FileContents reference = ReadBack(In(".dat"));
  ASSERT_TRUE(reference.ok);
  for (const char* extension : {".hex", ".dat", ".mat"}) {
    SCOPED_TRACE(extension);
    const std::string out = dir + "/from" + std::string(extension).substr(1);
    const RunResult r = RunKts({"convert", In(extension), "--out", out, "--dat", "--mat"}, dir);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, In(extension) + " -> " + out + ".dat " + out + ".mat (" +
                         std::to_string(reference.samples) + " samples, " +
                         r.out.substr(r.out.find("samples, ") + 9));
    for (const char* written : {".dat", ".mat"}) {
      const FileContents c = ReadBack(out + written);
      ASSERT_TRUE(c.ok) << written;
      EXPECT_EQ(c.samples, reference.samples);
      EXPECT_EQ(c.channels, reference.channels);
      EXPECT_NEAR(c.first, reference.first, 1e-4);
      EXPECT_NEAR(c.last, reference.last, 1e-4);
    }
  }
}

TEST_F(Convert, HexToHexKeepsTheImageAndOnlyAHexCarriesOne) {
  RunResult r = RunKts({"convert", In(".hex"), "--out", dir + "/copy.hex", "--hex"}, dir);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(ReadBack(dir + "/copy.hex").samples, ReadBack(In(".hex")).samples);

  r = RunKts({"convert", In(".dat"), "--out", dir + "/nohex", "--hex"}, dir);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("no memory image to write to " + dir + "/nohex.hex"));
  EXPECT_FALSE(FileExists(dir + "/nohex.hex"));
}

TEST_F(Convert, TimeColumnsFollowTheFormatFlag) {
  const RunResult r = RunKts({"convert", In(".hex"), "--out", dir + "/e", "--format", "E"}, dir);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  const std::string dat = ReadWholeFile(dir + "/e.dat");
  EXPECT_NE(dat.find("\nE0"), std::string::npos);
  EXPECT_NE(dat.find("\n2026/"), std::string::npos);
}

TEST_F(Convert, AnArchiveInOneRunAndItsFailuresCounted) {
  ASSERT_EQ(0, system(("cp " + In(".hex") + " " + dir + "/a.hex && cp " + In(".dat") + " " + dir +
                       "/b.dat")
                          .c_str()));
  const std::string out = dir + "/converted";
  const RunResult r = RunKts(
      {"convert", dir + "/a.hex", dir + "/missing.dat", dir + "/b.dat", "--out-dir", out, "--mat"},
      dir);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_TRUE(FileExists(out + "/a.mat"));
  EXPECT_TRUE(FileExists(out + "/b.mat"));
  EXPECT_FALSE(FileExists(out + "/a.dat"));  // --mat alone writes only .mat
  EXPECT_THAT(r.err, HasSubstr(dir + "/missing.dat: File does not exist"));
  EXPECT_THAT(r.err, HasSubstr("1 of 3 files could not be converted"));
}

TEST_F(Convert, ACorruptFileIsReportedAndWritesNothing) {
  {
    std::ofstream bad(dir + "/bad.hex", std::ios::binary);
    bad << "KTS QZ-740 6.51 001234\nthis is not a header\n\x01\x02\xff";
  }
  {
    std::ofstream bad(dir + "/bad.mat", std::ios::binary);
    bad << std::string(200, '\0');
  }
  for (const char* name : {"bad.hex", "bad.mat"}) {
    const RunResult r = RunKts({"convert", dir + "/" + name, "--out", dir + "/out"}, dir);
    EXPECT_EQ(r.exitStatus, 1) << name;
    EXPECT_THAT(r.err, HasSubstr(dir + "/" + name + ": ")) << name;
    EXPECT_FALSE(FileExists(dir + "/out.dat")) << name;
  }
  const RunResult r = RunKts({"convert", dir + "/notes.txt", "--out", dir + "/out"}, dir);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("not a .hex, .dat or .mat file"));
}

TEST_F(Convert, AnExistingOutputIsReplacedOnlyWithYes) {
  ASSERT_EQ(0, system(("echo precious > " + dir + "/out.dat").c_str()));
  RunResult r = RunKts({"convert", In(".hex"), "--out", dir + "/out"}, dir);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("already exists.\n  Continue to overwrite this file?"));
  EXPECT_EQ(ReadWholeFile(dir + "/out.dat"), "precious\n");

  r = RunKts({"convert", In(".hex"), "--out", dir + "/out", "--yes"}, dir);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(ReadBack(dir + "/out.dat").ok);
}

TEST_F(Convert, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", "--out", "x"},
        {"convert", "a.hex"},
        {"convert", "a.hex", "--out", "x", "--out-dir", "y"},
        {"convert", "a.hex", "b.hex", "--out", "x"},
        {"convert", "a.hex", "--out", "x", "--format", "Q"}}) {
    const RunResult r = RunKts(args, dir);
    EXPECT_EQ(r.exitStatus, 2) << args.size() << r.err;
    EXPECT_THAT(r.err, HasSubstr("usage: kts convert"));
  }
}

}  // namespace
}  // namespace kts::test
