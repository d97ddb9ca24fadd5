// How kts answers a user who asks for help or gets the command line wrong:
// help on stdout with status 0, usage errors on stderr with status 2.
#include <gtest/gtest.h>

#include "run_kts.h"

namespace kts::test {
namespace {

const std::vector<std::string> kCommands = {"ports",   "info", "clock", "retrieve",
                                            "convert", "stop", "resume"};

TEST(KtsUsage, HelpListsEveryCommandOnStdout) {
  const RunResult r = RunKts({"--help"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.err, "");
  for (const std::string& name : kCommands)
    EXPECT_NE(r.out.find("  " + name + " "), std::string::npos) << name;
}

TEST(KtsUsage, NoCommandOrAnUnknownOneIsAUsageError) {
  RunResult r = RunKts({});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("usage: kts COMMAND"), std::string::npos);

  r = RunKts({"retreive"});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_NE(r.err.find("kts: unknown command \"retreive\""), std::string::npos);
}

TEST(KtsUsage, EveryCommandHasItsOwnHelp) {
  for (const std::string& name : kCommands) {
    const RunResult r = RunKts({name, "--help"});
    EXPECT_EQ(r.exitStatus, 0) << name;
    EXPECT_EQ(r.out.rfind("usage: kts " + name, 0), 0u) << name << ": " << r.out;
    EXPECT_EQ(r.err, "") << name;
  }
}

TEST(KtsUsage, HelpNeedsNoLoggerEvenWithOtherOptions) {
  // --help wins: nothing is opened, nothing is sent.
  const RunResult r = RunKts({"info", "--port", "/dev/no-such-logger", "--help"});
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.out.rfind("usage: kts info", 0), 0u);
}

TEST(KtsUsage, BadOptionsAreUsageErrorsNamingTheOption) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"info", "--colour"}, "kts info: unknown option --colour"},
      {{"clock", "--port"}, "kts clock: option --port needs a value"},
      {{"stop", "--yes=no"}, "kts stop: option --yes takes no value"},
      {{"resume", "COM3"}, "kts resume: unexpected argument \"COM3\""},
      {{"info", "--port", "COM17"},
       "--port takes a COM number (1 to 16, \"COM3\") or a device path"},
      {{"clock", "--port", "ttyUSB0"}, "not \"ttyUSB0\""},
      {{"info", "--base", "/no/such/directory", "--port", "3"},
       "the base directory /no/such/directory does not exist"},
  };
  for (const Case& c : cases) {
    const RunResult r = RunKts(c.args);
    EXPECT_EQ(r.exitStatus, 2) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace kts::test
