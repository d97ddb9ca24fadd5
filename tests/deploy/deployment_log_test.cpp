#include "deploy/deployment_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "deploy_fixture.h"

namespace kts {
namespace {

namespace fs = std::filesystem;
using test::DeployTest;

constexpr const char* kRule = "----------------------------------------\n";
constexpr const char* kIdentity = "KTS QZ-740  4.50 000042 (Windows: 6.01)\n";

class DeploymentLog : public DeployTest {
 protected:
  fs::path base;

  void SetUp() override {
    DeployTest::SetUp();
    char pattern[] = "/tmp/kts-log-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    base = pattern;
    s.settings.baseDirectory = base.string();
    d.hostTime = MakeTime(2026, 12, 7, 12, 0, 5);
  }
  void TearDown() override { fs::remove_all(base); }

  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::string LoggerFile() const { return Read(base / "log" / "000042.log"); }
  std::string DailyFile() const { return Read(base / "log" / "20261207.log"); }

  // A QZ logger with every option, set to start above a temperature level.
  void FullyEquipped() {
    LoggerDescription& caps = s.description;
    caps.hysteresis = caps.averaging = caps.startOptionByte = true;
    caps.externalDataConnector = caps.waves = true;
    d.block.startMode = kStartAboveThreshold;
    d.block.thresholdChannel = 0;  // a 'T' channel: the sense is printed as chosen
    d.block.thresholdLevel = 12.5;
    d.block.hysteresisPeriod = 120;
    d.block.oemFlags = 7;
    d.realTimeOutput = 1;
    d.burstEnabled = true;
    d.burstRate = 4;
    d.burstLength = 1024;
    d.burstPeriod = MakePeriod(1, 0, 0);
  }
};

TEST_F(DeploymentLog, FailedSetup) {
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 1);
  const std::string expected = std::string(kRule) + kIdentity +
                               "Host time:                          2026/Dec/07 12:00:05\n"
                               "Logger setup FAILED at logger time: 2026/Dec/07 12:00:00\n"
                               "\n";
  EXPECT_EQ(LoggerFile(), expected);
  EXPECT_EQ(DailyFile(), expected);
  EXPECT_TRUE(t.ui.statuses.empty());
}

TEST_F(DeploymentLog, EnabledWithEveryOption) {
  FullyEquipped();
  s.description.hasMinimumSoftwareVersion = true;
  s.description.minimumSoftwareVersion = 6.5f;
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeEnabled), 1);
  EXPECT_EQ(LoggerFile(),
            std::string(kRule) +
                "KTS QZ-740  4.50 000042 (Windows: 6.01 - Minimum required: 6.50)\n"
                "Host time:                   2026/Dec/07 12:00:05\n"
                "Logger setup at logger time: 2026/Dec/07 12:00:00\n"
                "Logging start:               2026/Dec/07 13:00:00\n"
                "Logging end:                 2026/Dec/08 13:00:00\n"
                "Sample period:                           00:01:00\n"
                "Logger start: Above threshold   12.5000 channel 1\t Hysteresis period: 120 "
                "seconds\n"
                "Averaging: NONE\n"
                "OEM: Logger autostart selected  Logger storage inhibited Logger using "
                "engineering units\n"
                "Realtime output enabled\n"
                "Wave sampling enabled: rate 4Hz, length 1024, period 01:00:00\n"
                "When set for thresholding, it is not possible to estimate the memory or battery "
                "usage\n"
                "\n");
}

TEST_F(DeploymentLog, EnabledPlainAndResumed) {
  // Outside the QZ family and without options: times, period and estimate.
  s.link.identity.model = "HV-2000";
  s.link.identity.firmware = 2.2f;
  LastingSeconds(86400);
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeEnabled), 1);
  const std::string enabled =
      std::string(kRule) +
      "KTS HV-2000  2.20 000042 (Windows: 6.01)\n"
      "Host time:                   2026/Dec/07 12:00:05\n"
      "Logger setup at logger time: 2026/Dec/07 12:00:00\n"
      "Logging start:               2026/Dec/07 13:00:00\n"
      "Logging end:                 2026/Dec/08 13:00:00\n"
      "Sample period:                           00:01:00\n"
      "Estimates:\tthe memory usage is 0.7%\n\t\tand battery usage is 5mAH.\n"
      "\n";
  EXPECT_EQ(LoggerFile(), enabled);

  // A resumed QZ deployment: no estimate; a timed start; options off.
  s.link.identity.model = "QZ-740";
  s.link.identity.firmware = 4.5f;
  s.description.hysteresis = s.description.averaging = s.description.startOptionByte = true;
  s.description.externalDataConnector = s.description.waves = true;
  d.block.samplingMode = kProfilingMode;
  d.averagingEnabled = false;
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeResumed), 1);
  EXPECT_EQ(LoggerFile(), enabled + kRule + kIdentity +
                              "Resumed logging\n"
                              "Host time:                   2026/Dec/07 12:00:05\n"
                              "Logger setup at logger time: 2026/Dec/07 12:00:00\n"
                              "Logging start:               2026/Dec/07 13:00:00\n"
                              "Logging end:                 2026/Dec/08 13:00:00\n"
                              "Sample period:                           6Hz profiling\n"
                              "Logger start: Start of logging \n"
                              "Averaging: NONE\n"
                              "OEM functions not enabled\n"
                              "Realtime output not enabled\n"
                              "Wave sampling not enabled\n"
                              "\n");
}

TEST_F(DeploymentLog, Retrieved) {
  RetrievalLogDetails r;
  r.hostTime = MakeTime(2026, 12, 9, 8, 0, 0);
  r.loggerTime = MakeTime(2026, 12, 9, 7, 59, 58);
  r.status = 8;
  r.savedPath = "/data/hex/000042.hex";
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeRetrieved, &r), 1);
  const std::string saved = std::string(kRule) + kIdentity +
                            "Host time:                          2026/Dec/09 08:00:00\n"
                            "Logger downloaded at logger time:   2026/Dec/09 07:59:58\n"
                            "Logger status:                      Logging Stopped by User\n"
                            "Data was written to a file:         /data/hex/000042.hex\n"
                            "\n";
  EXPECT_EQ(LoggerFile(), saved);
  EXPECT_EQ(Read(base / "log" / "20261209.log"), saved);  // by the retrieval's host date

  // Unsaved, with the times the retrieval recorded.
  s.retrieved.hostTime = MakeTime(2026, 12, 9, 9, 0, 0);
  s.retrieved.loggerTime = MakeTime(2026, 12, 9, 9, 0, 1);
  s.retrieved.loggerStatus = 5;
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeRetrieved), 1);
  EXPECT_EQ(LoggerFile(), saved + kRule + kIdentity +
                              "Host time:                          2026/Dec/09 09:00:00\n"
                              "Logger downloaded at logger time:   2026/Dec/09 09:00:01\n"
                              "Logger status:                      Logging Suspended\n"
                              "\n");
  EXPECT_EQ(writeDeploymentLog(s, 2), 0);  // not an outcome that is logged
}

TEST_F(DeploymentLog, FilesAreCreatedThenAppended) {
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 1);
  const std::string first = DailyFile();
  s.link.identity.serial = 7;
  ASSERT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 1);
  EXPECT_EQ(DailyFile().size(), 2 * first.size());
  EXPECT_TRUE(fs::exists(base / "log" / "000007.log"));
  EXPECT_EQ(LoggerFile(), first);
  EXPECT_TRUE(t.ui.statuses.empty());
}

TEST_F(DeploymentLog, FailuresShowOnTheStatusLine) {
  // The daily file cannot be opened: the logger's own file is still written.
  fs::create_directories(base / "log" / "20261207.log");
  EXPECT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Error: Unable to open daily log file");
  EXPECT_FALSE(LoggerFile().empty());

  // The logger's file cannot be opened: the daily file is not written either.
  fs::remove_all(base / "log");
  fs::create_directories(base / "log" / "000042.log");
  EXPECT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Error: Unable to open log file");
  EXPECT_FALSE(fs::exists(base / "log" / "20261207.log"));

  // The folder cannot be made: a file has its name, or the data folder is gone.
  fs::remove_all(base / "log");
  std::ofstream(base / "log") << "a file";
  EXPECT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Error: Unable to save log file");
  EXPECT_TRUE(t.ui.statuses.back().warningIcon);
  t.ui.statuses.clear();
  s.settings.baseDirectory = (base / "missing").string();
  EXPECT_EQ(writeDeploymentLog(s, kOutcomeSetupFailed), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Error: Unable to save log file");
}

}  // namespace
}  // namespace kts
