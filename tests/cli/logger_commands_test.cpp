// kts info, clock, stop and resume against a simulated logger: what a user
// reads on stdout and stderr, the exit status, and what the logger did.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "core/time_math.h"
#include "platform/host_clock.h"
#include "run_kts.h"

namespace kts::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class LoggerCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    base = MakeTempDirectory();
    ASSERT_FALSE(base.empty());
  }
  // Runs kts with --port and --base filled in.
  RunResult Run(std::vector<std::string> args, const sim::SimulatedLogger& logger) {
    args.insert(args.begin() + 1, {"--port", logger.path(), "--base", base});
    return RunKts(args, base);
  }
  std::string base;
};

TEST_F(LoggerCommands, InfoShowsIdentityStatusMemoryAndChannels) {
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  const RunResult r = Run({"info"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Logger        KTS QZ-740  6.51 001234\n"));
  EXPECT_THAT(r.out, HasSubstr("Port          " + logger->path() + " at 19200 baud\n"));
  EXPECT_THAT(r.out, HasSubstr("Status        Logging\n"));
  EXPECT_THAT(r.out, HasSubstr("Memory used   2.8%, 26K readings\n"));
  EXPECT_THAT(r.out, HasSubstr("Channels      3\n"));
  EXPECT_THAT(r.out, HasSubstr("  1 - Conductivity       uS/cm\n"));
  EXPECT_THAT(r.out, HasSubstr("  2 - Temperature        Degrees_C\n"));
  EXPECT_THAT(r.out, HasSubstr("  3 - Pressure           deciBars\n"));
  // This logger cannot be asked for its calibration while it logs: nothing
  // is sent that could disturb the deployment.
  EXPECT_THAT(r.out, HasSubstr("Calibration   not read: the logger is Logging"));
  for (const std::string& c : logger->commands()) EXPECT_NE(c.rfind("V", 0), 0u) << c;
}

TEST_F(LoggerCommands, InfoOfAnIdleLoggerPrintsTheCoefficientsItHolds) {
  auto logger = StartLogger("extended", {"status = 4"});
  ASSERT_TRUE(logger);
  const RunResult r = Run({"info"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Status        Logging Complete\n"));
  EXPECT_THAT(r.out, HasSubstr("Calibration   read from the logger, dated "));
  EXPECT_THAT(r.out, HasSubstr("  channel                    c0"));
  const std::vector<sim::Coefficients> held = logger->snapshot().coefficients;
  ASSERT_EQ(held.size(), 3u);
  for (size_t k = 0; k < held.size(); ++k) {
    char row[200];
    std::snprintf(row, sizeof row, "\n  %7zu  %20.15f %20.15f %20.15f %20.15f\n", k + 1, held[k][0],
                  held[k][1], held[k][2], held[k][3]);
    EXPECT_THAT(r.out, HasSubstr(row));
  }

  // The memory used is the logger's memory-usage text.
  EXPECT_TRUE(std::regex_search(r.out, std::regex(R"(Memory used   \d+\.\d%, \d+K readings\n)")))
      << r.out;
}

TEST_F(LoggerCommands, InfoJsonCarriesTheSameFacts) {
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  const RunResult r = Run({"info", "--json"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out.front(), '{');
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
  EXPECT_THAT(r.out, HasSubstr("\"identity\":\"KTS QZ-740  6.51 001234\""));
  EXPECT_THAT(r.out, HasSubstr("\"model\":\"QZ-740\",\"firmware\":6.51,\"serial\":1234"));
  EXPECT_THAT(r.out, HasSubstr("\"status\":2,\"statusName\":\"Logging\""));
  EXPECT_THAT(r.out, HasSubstr("{\"number\":2,\"type\":\"T\",\"label\":\"2 - Temperature\","
                               "\"unit\":\"Degrees_C\"}"));
  EXPECT_THAT(r.out, HasSubstr("\"calibrationRead\":false"));
  EXPECT_THAT(r.out, Not(HasSubstr("\"coefficients\"")));
}

TEST_F(LoggerCommands, ClockShowsBothClocksAndSyncSetsTheLoggerToHostTime) {
  // The simulated clock starts at the time of the generated data, days
  // away from the host's.
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  RunResult r = Run({"clock"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Logger clock  2026/"));
  EXPECT_THAT(r.out, HasSubstr("Host clock    "));
  EXPECT_THAT(r.out, HasSubstr("(logger behind)"));

  // Setting the clock under a recording logger would shift its data.
  r = Run({"clock", "--sync"}, *logger);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("the logger is Logging: setting its clock now would shift"));
  for (const std::string& c : logger->commands()) EXPECT_NE(c.rfind("J", 0), 0u) << c;

  r = Run({"clock", "--sync", "--yes", "--json"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("\"synchronised\":true"));
  SystemClock host;
  const int64_t difference = DiffSeconds(logger->snapshot().clock, host.localNow());
  EXPECT_LE(std::llabs(difference), 3);
  EXPECT_NE(logger->commands().end(),
            std::find_if(logger->commands().begin(), logger->commands().end(),
                         [](const std::string& c) { return c.rfind("J", 0) == 0; }));
}

TEST_F(LoggerCommands, StopThenResumeALoggingLogger) {
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  RunResult r = Run({"stop"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "Logging Stopped by User\n");
  EXPECT_EQ(logger->snapshot().status, 8);

  r = Run({"resume"}, *logger);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "Logging\n");
  EXPECT_THAT(r.err, HasSubstr("Logger resumed sampling"));
  EXPECT_EQ(logger->snapshot().status, 2);
}

TEST_F(LoggerCommands, ResumeOfALoggerThatCannotRunFailsWithTheSystemsMessage) {
  auto logger = StartLogger("extended", {"status = 0"});
  ASSERT_TRUE(logger);
  const RunResult r = Run({"resume"}, *logger);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "Not Enabled\n");
  EXPECT_THAT(r.err, HasSubstr("Logger failed to resume."));
}

TEST_F(LoggerCommands, QuietShowsNothingButResults) {
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  const RunResult r = Run({"stop", "--quiet"}, *logger);
  ASSERT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Logging Stopped by User\n");
}

TEST_F(LoggerCommands, WrongPortsFailWithStatusOneAndTheReason) {
  RunResult r = RunKts({"info", "--port", "/dev/no-such-logger", "--base", base}, base);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("Unable to open /dev/no-such-logger - bad port setting or another "
                               "application holds the port."));

  // A COM number whose device the port map sends nowhere.
  ASSERT_EQ(0,
            system(("printf 'COM7=/dev/no-such-device\\n' > " + base + "/ktsports.ini").c_str()));
  r = RunKts({"clock", "--port", "COM7", "--base", base}, base);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("Unable to open COM7"));
}

TEST_F(LoggerCommands, ASilentLoggerIsReportedAfterTheRateSearch) {
  sim::Faults silent;
  silent.silentAfter = 0;
  auto logger = StartLogger("extended", {}, silent);
  ASSERT_TRUE(logger);
  const RunResult r = Run({"stop", "--quiet"}, *logger);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("Unable to Communicate with Logger on " + logger->path()));
}

TEST_F(LoggerCommands, APortAnotherProgramHoldsIsNotShared) {
  auto logger = StartLogger("extended");
  ASSERT_TRUE(logger);
  const int held = open(logger->path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(held, 0);
  // The advisory lock is what every program that opens ports takes (and
  // it holds against root, which TIOCEXCL does not).
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  const RunResult r = Run({"info"}, *logger);
  close(held);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_THAT(r.err, HasSubstr("another application holds the port"));
  EXPECT_TRUE(logger->commands().empty());
}

}  // namespace
}  // namespace kts::test
