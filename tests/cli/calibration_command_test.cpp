// kts calibration against the simulated logger.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "sim_rig.h"

namespace kts {
namespace {

int RunKts(std::vector<std::string> words) {
  words.insert(words.begin(), "calibration");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return cli::RunCalibration(static_cast<int>(words.size()), argv.data());
}

TEST(CalibrationCommand, SetsAChannelOnlyWhenConfirmed) {
  sim::SimOptions o =
      test::SimRig::Options("qz", {"records = 10", "baud = 19200", "default_baud = 19200"});
  std::string why;
  auto logger = sim::SimulatedLogger::Start(o, &why);
  ASSERT_TRUE(logger) << why;
  const std::string port = "--port=" + logger->path();
  const sim::Coefficients before = logger->snapshot().coefficients[1];

  testing::internal::CaptureStdout();
  EXPECT_EQ(RunKts({port, "--quiet"}), cli::kSuccess);
  const std::string listing = testing::internal::GetCapturedStdout();
  EXPECT_NE(listing.find("2 - "), std::string::npos) << listing;

  EXPECT_EQ(RunKts({port, "--quiet", "2=0,2.5,0,0"}), cli::kFailure) << "not confirmed";
  EXPECT_EQ(logger->snapshot().coefficients[1], before);

  testing::internal::CaptureStdout();
  EXPECT_EQ(RunKts({port, "--quiet", "--yes", "2=-1.25,2.5,0,1e-9"}), cli::kSuccess);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(logger->snapshot().coefficients[1], (sim::Coefficients{-1.25, 2.5, 0, 1e-9}));

  EXPECT_EQ(RunKts({port, "--quiet", "--yes", "3=1,2,3,4"}), cli::kUsage) << "two channels only";
  EXPECT_EQ(RunKts({port, "--quiet", "--yes", "2=1,2,x,4"}), cli::kFailure) << "not a number";
  EXPECT_EQ(RunKts({port, "--quiet", "--yes", "2=1,2,3"}), cli::kUsage);
  EXPECT_EQ(RunKts({port, "--quiet", "--yes", "0=1,2,3,4"}), cli::kUsage);
  EXPECT_EQ(logger->snapshot().coefficients[1], (sim::Coefficients{-1.25, 2.5, 0, 1e-9}));
}

}  // namespace
}  // namespace kts
