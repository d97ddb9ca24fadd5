// kts retrieve against a simulated logger: each time-column layout, the
// MATLAB file on request, and what happens to a logging logger with each
// flag (and without one).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "data_files_check.h"
#include "run_kts.h"

namespace kts::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A short deployment keeps each retrieval to a second or so.
const std::vector<std::string> kShortDeployment = {"records = 1200", "time_stamp_every = 400"};

std::vector<std::string> With(std::vector<std::string> settings) {
  std::vector<std::string> all = kShortDeployment;
  all.insert(all.end(), settings.begin(), settings.end());
  return all;
}

bool Sent(const sim::SimulatedLogger& logger, const std::string& command) {
  const std::vector<std::string> commands = logger.commands();
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

std::string LastLine(const std::string& text) {
  const size_t end = text.find_last_not_of('\n');
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

class Retrieve : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = MakeTempDirectory();
    ASSERT_FALSE(dir.empty());
  }
  RunResult Run(const sim::SimulatedLogger& logger, std::vector<std::string> extra) {
    std::vector<std::string> args = {"retrieve", "--port", logger.path(), "--out", dir + "/run"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunKts(args, dir);
  }
  std::string dir;
};

TEST_F(Retrieve, EachTimeColumnLayoutWritesHexAndDatThatReadBackAlike) {
  struct Layout {
    const char* flag;
    char letter;
    std::regex row;
  };
  const Layout layouts[] = {
      {"N", 'N', std::regex(R"(( *-?\d+\.\d{4} )+)")},
      {"A", 'A', std::regex(R"(\d\d:\d\d:\d\d ( *-?\d+\.\d{4} )+)")},
      {"E", 'E', std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d ( *-?\d+\.\d{4} )+)")},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.flag);
    auto logger = StartLogger("extended", With({"status = 4"}));
    ASSERT_TRUE(logger);
    const RunResult r = Run(*logger, {"--format", layout.flag, "--yes", "--quiet"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("from KTS QZ-740  6.51 001234"));
    EXPECT_THAT(r.out, HasSubstr("wrote " + dir + "/run.hex " + dir + "/run.dat\n"));
    EXPECT_FALSE(FileExists(dir + "/run.mat"));

    const std::string dat = ReadWholeFile(dir + "/run.dat");
    EXPECT_TRUE(
        std::regex_search(dat, std::regex(std::string("\n") + layout.letter + R"(\d\d%9\.4f\n)")));
    EXPECT_TRUE(std::regex_match(LastLine(dat), layout.row)) << LastLine(dat);

    const FileContents fromHex = ReadBack(dir + "/run.hex");
    const FileContents fromDat = ReadBack(dir + "/run.dat");
    ASSERT_TRUE(fromHex.ok && fromDat.ok);
    EXPECT_GT(fromHex.samples, 1000);
    EXPECT_EQ(fromHex.samples, fromDat.samples);
    EXPECT_EQ(fromHex.channels, fromDat.channels);
    EXPECT_NEAR(fromHex.first, fromDat.first, 1e-4);
    EXPECT_NEAR(fromHex.last, fromDat.last, 1e-4);
  }
}

TEST_F(Retrieve, MatOnRequestHoldsTheSameSamples) {
  auto logger = StartLogger("extended", With({"status = 4"}));
  ASSERT_TRUE(logger);
  const RunResult r = Run(*logger, {"--mat", "--comment", "bench test"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(dir + "/run.mat\n"));
  EXPECT_THAT(ReadWholeFile(dir + "/run.dat"), HasSubstr("bench test"));
  const FileContents mat = ReadBack(dir + "/run.mat");
  const FileContents dat = ReadBack(dir + "/run.dat");
  ASSERT_TRUE(mat.ok && dat.ok);
  EXPECT_EQ(mat.samples, dat.samples);
  EXPECT_NEAR(mat.first, dat.first, 1e-4);
}

TEST_F(Retrieve, ProgressOnStderrAndTheSummaryOnStdout) {
  auto logger = StartLogger("extended", With({"status = 4"}));
  ASSERT_TRUE(logger);
  const RunResult r = Run(*logger, {});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("100%  "));
  EXPECT_TRUE(std::regex_search(r.err, std::regex(R"(\d+ of \d+ bytes, \d+ k?B/s)")));
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  EXPECT_EQ(r.out.rfind("Retrieved ", 0), 0u);
}

TEST_F(Retrieve, ALoggingLoggerIsLeftAloneWithoutAFlag) {
  auto logger = StartLogger("extended", kShortDeployment);
  ASSERT_TRUE(logger);
  const RunResult r = Run(*logger, {});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("The logger is still collecting data"));
  EXPECT_THAT(r.err, HasSubstr("This logger may be stopped completely or\n  suspended during data "
                               "download and resumed after."));
  EXPECT_THAT(r.err, HasSubstr("--stop, --suspend or --keep-logging"));
  EXPECT_EQ(logger->snapshot().status, 2);
  EXPECT_FALSE(Sent(*logger, "!9"));
  EXPECT_FALSE(Sent(*logger, "!S"));
  EXPECT_FALSE(FileExists(dir + "/run.dat"));
}

TEST_F(Retrieve, StopLeavesTheLoggerStopped) {
  auto logger = StartLogger("extended", kShortDeployment);
  ASSERT_TRUE(logger);
  const RunResult r = Run(*logger, {"--stop"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Sent(*logger, "!9"));
  EXPECT_EQ(logger->snapshot().status, 8);
  EXPECT_TRUE(FileExists(dir + "/run.dat"));
}

TEST_F(Retrieve, SuspendResumesTheLoggerAfterTheRead) {
  auto logger = StartLogger("extended", kShortDeployment);
  ASSERT_TRUE(logger);
  const RunResult r = Run(*logger, {"--suspend"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Sent(*logger, "!S"));
  EXPECT_TRUE(Sent(*logger, "!R"));
  EXPECT_FALSE(Sent(*logger, "!9"));
  EXPECT_EQ(logger->snapshot().status, 2);
}

TEST_F(Retrieve, KeepLoggingOnlyWhereTheLoggerAllowsIt) {
  // Retrieval class 3 offers suspend or stop, not reading while logging.
  auto logger = StartLogger("extended", kShortDeployment);
  ASSERT_TRUE(logger);
  RunResult r = Run(*logger, {"--keep-logging"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("does not allow --keep-logging"));
  EXPECT_FALSE(Sent(*logger, "!9"));
  EXPECT_FALSE(Sent(*logger, "!S"));

  // Class 4 reads while the logger goes on.
  auto class4 = StartLogger("extended", With({"capability.5 = 0x44"}));
  ASSERT_TRUE(class4);
  r = Run(*class4, {"--keep-logging"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_FALSE(Sent(*class4, "!9"));
  EXPECT_FALSE(Sent(*class4, "!S"));
  EXPECT_EQ(class4->snapshot().status, 2);
}

TEST_F(Retrieve, NothingIsTouchedWhenTheOutputCannotBeKept) {
  auto logger = StartLogger("extended", kShortDeployment);
  ASSERT_TRUE(logger);
  RunResult r =
      RunKts({"retrieve", "--port", logger->path(), "--out", dir + "/missing/run", "--stop"}, dir);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("the directory " + dir + "/missing does not exist"));

  ASSERT_EQ(0, system(("echo precious > " + dir + "/run.dat").c_str()));
  r = Run(*logger, {"--stop"});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("run.dat already exists"));
  EXPECT_EQ(ReadWholeFile(dir + "/run.dat"), "precious\n");
  EXPECT_TRUE(logger->commands().empty());
  EXPECT_EQ(logger->snapshot().status, 2);
}

TEST_F(Retrieve, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"retrieve", "--port", "/dev/null"},
        {"retrieve", "--port", "/dev/null", "--out", "x", "--stop", "--suspend"},
        {"retrieve", "--port", "/dev/null", "--out", "x", "--format", "X"}}) {
    const RunResult r = RunKts(args, dir);
    EXPECT_EQ(r.exitStatus, 2) << r.err;
  }
}

}  // namespace
}  // namespace kts::test
