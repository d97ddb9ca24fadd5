// The kts program's setup and logger-function commands, run as a user runs
// them, against a simulated logger on a pseudo-terminal.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "../data/temp_dir.h"
#include "sim/simulated_logger.h"

namespace kts {
namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

std::string Drain(int fd) {
  std::string s;
  char buffer[512];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
    s.append(buffer, static_cast<size_t>(n));
  return s;
}

Result RunKts(std::vector<std::string> args) {
  Result r;
  int o[2], e[2];
  if (pipe(o) != 0 || pipe(e) != 0) return r;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(o[1], 1);
    dup2(e[1], 2);
    close(o[0]), close(e[0]), close(o[1]), close(e[1]);
    std::vector<char*> argv{const_cast<char*>(KTS_PROGRAM)};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(KTS_PROGRAM, argv.data());
    _exit(127);
  }
  close(o[1]), close(e[1]);
  // Small outputs: read one pipe after the other without blocking the child.
  r.err = Drain(e[0]);
  r.out = Drain(o[0]);
  close(o[0]), close(e[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// Local time `seconds` from now, as the options take it.
std::string LocalIn(long seconds) {
  const std::time_t t = std::time(nullptr) + seconds;
  std::tm tm{};
  localtime_r(&t, &tm);
  char b[32];
  std::strftime(b, sizeof b, "%Y-%m-%d %H:%M:%S", &tm);
  return b;
}

class SetupCommand : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> settings) {
    sim::SimOptions o;
    o.profile = "extended";
    o.settings = std::move(settings);
    std::string why;
    sim = sim::SimulatedLogger::Start(o, &why);
    ASSERT_TRUE(sim) << why;
  }
  bool Sent(const std::string& prefix) const {
    for (const std::string& c : sim->commands())
      if (c.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
  }
  std::vector<std::string> Deployment(std::vector<std::string> more) const {
    std::vector<std::string> a{
        "setup",       "--port", sim->path(),        "--base",   dir.path(), "--start",
        LocalIn(3600), "--end",  LocalIn(3 * 86400), "--period", "00:01:00"};
    a.insert(a.end(), more.begin(), more.end());
    return a;
  }

  test::TempDir dir;
  std::unique_ptr<sim::SimulatedLogger> sim;
};

TEST_F(SetupCommand, ProgramsAndEnablesWithTheUsersConsentAndLogsIt) {
  Start({"status = 4", "erase_ms = 100", "clock = host"});
  const Result r = RunKts(Deployment({"--yes"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Logger started in mode: 'Enabled' to start at ", 0), 0u) << r.out;
  EXPECT_EQ(sim->snapshot().status, 1);
  EXPECT_TRUE(Sent("N"));
  const std::string log = dir.read("log/001234.log");
  EXPECT_NE(log.find("Logging start:"), std::string::npos) << log;
}

TEST_F(SetupCommand, WithoutConsentNothingIsErased) {
  Start({"status = 4", "erase_ms = 100", "clock = host"});
  const Result r = RunKts(Deployment({}));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The logger contains data that has not been downloaded."), std::string::npos)
      << r.err;
  EXPECT_FALSE(Sent("N"));
  EXPECT_EQ(sim->snapshot().status, 4);
}

TEST_F(SetupCommand, DryRunPrintsTheEstimateAndChangesNothing) {
  Start({"status = 4", "clock = host"});
  const Result r = RunKts(Deployment({"--dry-run", "--averaging", "30"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Estimates:", 0), 0u) << r.out;
  EXPECT_FALSE(Sent("N"));
  EXPECT_FALSE(Sent("L"));
  EXPECT_FALSE(Sent("P"));
}

TEST_F(SetupCommand, RefusalsPrintTheModelsMessage) {
  Start({"status = 4", "clock = host"});
  std::vector<std::string> a{"setup",       "--port",   sim->path(),   "--base",
                             dir.path(),    "--start",  LocalIn(7200), "--end",
                             LocalIn(3600), "--period", "00:01:00",    "--yes"};
  Result r = RunKts(a);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error: Start time greater than or equal to End time."), std::string::npos)
      << r.err;
  EXPECT_FALSE(Sent("N"));

  // A channel that is not there.
  r = RunKts(Deployment({"--threshold", "above", "--channel", "9", "--level", "10"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("channel 9"), std::string::npos) << r.err;
}

TEST(SetupCommandLine, UsageErrorsAndHelp) {
  Result r = RunKts({"setup", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("usage: kts setup", 0), 0u);
  r = RunKts({"setup", "--now", "--start", "2026-12-07 12:00:00", "--end", "2026-12-08 12:00:00",
              "--period", "00:01:00"});
  EXPECT_EQ(r.status, 2);
  r = RunKts({"setup", "--now", "--end", "2026-02-30 12:00:00", "--period", "00:01:00"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--end takes"), std::string::npos);
  r = RunKts({"setup", "--now", "--end", "2026-12-08 12:00:00", "--period", "25:00:00"});
  EXPECT_EQ(r.status, 2);
  for (const char* command : {"set-baud", "set-latency", "output-format"}) {
    r = RunKts({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    r = RunKts({command});
    EXPECT_EQ(r.status, 2) << command;
  }
}

TEST(SetupCommandLine, SimulationAssessesAModelWithoutALogger) {
  Result r = RunKts({"setup", "--model", "HV-3070", "--start", LocalIn(86400), "--end",
                     LocalIn(10 * 86400), "--period", "00:10:00"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Estimates:", 0), 0u) << r.out;
  r = RunKts(
      {"setup", "--model", "QZ-740", "--now", "--end", LocalIn(86400), "--period", "00:01:00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("You have not selected a set of sensors for your QZ logger."),
            std::string::npos);
  r = RunKts(
      {"setup", "--model", "XX-1", "--now", "--end", LocalIn(86400), "--period", "00:01:00"});
  EXPECT_EQ(r.status, 2);
}

TEST_F(SetupCommand, LatencyAndOutputFormat) {
  Start({"status = 4"});
  Result r = RunKts({"set-latency", "--port", sim->path(), "--ms", "255"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "latency: 250 ms\n");
  r = RunKts({"output-format", "--port", sim->path(), "--set", "engineering"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "This logger is set to output fetched data and real-time data in ENGINEERING UNITS\n");
  EXPECT_EQ(sim->snapshot().oemFlags & 4, 4u);
}

}  // namespace
}  // namespace kts
