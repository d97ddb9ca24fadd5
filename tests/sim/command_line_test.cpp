#include "sim/sim_command_line.h"

#include <gtest/gtest.h>

namespace kts::sim {
namespace {

TEST(CommandLine, OptionsAndFaultsAreTaken) {
  CommandLine c;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--profile",  "qz",
                                "--link",     "/tmp/kts0",
                                "--seed",     "7",
                                "--pace",     "--log",
                                "x.log",      "--set",
                                "records=10", "--bad-check",
                                "2,4",        "--drop",
                                "1",          "--drop-rate",
                                "0.25",       "--noise",
                                "0.001",      "--silent-after",
                                "9",          "--slow",
                                "300",        "--one-rate",
                                "2400",       "--erase-fails",
                                "2",          "--upload-fault",
                                "F1"},
                               &c, &error))
      << error;
  EXPECT_EQ(c.sim.profile, "qz");
  EXPECT_EQ(c.link, "/tmp/kts0");
  EXPECT_EQ(c.sim.seed, 7u);
  EXPECT_TRUE(c.sim.pace);
  EXPECT_EQ(c.sim.logFile, "x.log");
  ASSERT_EQ(c.sim.settings.size(), 1u);
  EXPECT_EQ(c.sim.settings[0], "records = 10");
  const Faults& f = c.sim.faults;
  EXPECT_EQ(f.badCheckReads, (std::set<int>{2, 4}));
  EXPECT_EQ(f.droppedReplies, (std::set<int>{1}));
  EXPECT_DOUBLE_EQ(f.dropRate, 0.25);
  EXPECT_DOUBLE_EQ(f.noiseRate, 0.001);
  EXPECT_EQ(f.silentAfter, 9);
  EXPECT_EQ(f.slowMs, 300);
  EXPECT_EQ(f.oneRate, 2400);
  EXPECT_EQ(f.eraseFailures, 2);
  EXPECT_EQ(f.uploadFault, 1);
  EXPECT_EQ(f.seed, 7u);  // faults repeat with the seed
  EXPECT_TRUE(f.any());
  EXPECT_NE(f.describe().find("wrong check byte on memory reads 2,4"), std::string::npos);
}

TEST(CommandLine, MistakesAreNamed) {
  CommandLine c;
  std::string error;
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--frobnicate", "1"}, "unknown option '--frobnicate'"},
      {{"--seed"}, "--seed needs a value"},
      {{"--seed", "x"}, "--seed takes a whole number"},
      {{"--bad-check", "0,2"}, "--bad-check takes ordinals from 1, such as 3,5,9"},
      {{"--drop", "1,,2"}, "--drop takes ordinals from 1, such as 3,5,9"},
      {{"--noise", "2"}, "--noise takes a chance from 0 to 1"},
      {{"--one-rate", "12345"}, "--one-rate takes a baud rate such as 19200"},
      {{"--upload-fault", "F3"}, "--upload-fault takes F0, F1 or F2"},
      {{"--set", "records"}, "--set takes KEY=VALUE, not 'records'"},
      {{"--profile", "qz", "--profile-file", "a.profile"},
       "give either --profile or --profile-file, not both"},
      {{"stray"}, "unexpected argument 'stray'"},
  };
  for (const Case& k : cases) {
    EXPECT_FALSE(ParseCommandLine(k.args, &c, &error)) << k.message;
    EXPECT_EQ(error, k.message);
  }
}

}  // namespace
}  // namespace kts::sim
