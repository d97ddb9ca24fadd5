// The calibration history file: its layouts, numbering, and the records
// read from the simulated extended and QZ loggers.
#include "data/calibration_history.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/session.h"
#include "core/text.h"
#include "link/commands.h"
#include "link/connection.h"
#include "sim_rig.h"
#include "temp_dir.h"

namespace kts {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(HistoryLayout, ExtendedLinesTurnToExponentsAboveAMillion) {
  EXPECT_EQ(HistoryChannelLine(3, {0.0035, -0.00025, 2.7e-06, 2.3e-08}, true),
            "  3: 0.003500000000000 -0.000250000000000 0.000002700000000 0.000000023000000 ");
  EXPECT_EQ(HistoryChannelLine(12, {0, 2.5e7, 0, 0}, true),
            " 12:   0.000000000000000e+00   2.500000000000000e+07   0.000000000000000e+00   "
            "0.000000000000000e+00 ");
  EXPECT_EQ(HistoryChannelLine(1, {-1e6, 1e6, 0, 0}, true).find('e'), std::string::npos)
      << "a magnitude of exactly 1e6 stays fixed";
  EXPECT_EQ(HistoryChannelLine(1, {0, 1, 0, 0}, false),
            "  1:  0.000000000000000  1.000000000000000  0.000000000000000  0.000000000000000 ");
}

TEST(HistoryLayout, DatesAndFileNames) {
  EXPECT_EQ(HistoryDateText({26, 11, 7, 9, 5, 0}, true), "2026/Nov/07 09:05:00");
  EXPECT_EQ(HistoryDateText({5, 1, 2, 3, 4, 5}, false), "2005/Jan/02 03:04:05");
  EXPECT_EQ(HistoryDateText({26, 13, 1, 0, 0, 0}, true), "2026/\?\?\?/01 00:00:00");
  EXPECT_EQ(HistoryFilePath("/d", 1234, 7), "/d/001234.007.his");
  EXPECT_EQ(HistoryFilePath("/d/", 5, 0), "/d/000005.000.his");

  test::TempDir dir;
  EXPECT_EQ(NextHistoryFileNumber(dir.path(), 1234), 0);
  dir.write("001234.000.his", "x");
  dir.write("001234.001.his", "x");
  dir.write("004321.002.his", "x");
  EXPECT_EQ(NextHistoryFileNumber(dir.path(), 1234), 2);
}

TEST(HistoryFile, NumbersEndAt999) {
  test::TempDir dir;
  for (int n = 0; n < kHistoryFileNumbers; ++n) dir.write(Format("000042.%03d.his", n), "x");
  EXPECT_EQ(NextHistoryFileNumber(dir.path(), 42), -1);
  test::TestSession t;
  t.s.settings.baseDirectory = dir.path();
  t.s.link.identity.serial = 42;
  std::vector<std::string> lines;
  EXPECT_EQ(WriteHistoryFile(t.s, &lines), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Calibration History error - unable to open file");
  EXPECT_EQ(dir.entries(), kHistoryFileNumbers) << "nothing overwritten";
}

TEST(HistoryFile, AnExtendedLoggersRecordsNewestFirst) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  test::TempDir dir;
  s.settings.baseDirectory = dir.path();
  dir.write("001234.000.his", "an earlier history");
  ASSERT_TRUE(Connect(s));
  std::vector<std::string> lines;
  ASSERT_EQ(WriteHistoryFile(s, &lines), 1) << rig.t.ui.statusTexts();
  EXPECT_EQ(rig.t.ui.lastStatus(),
            "Calibration history written to file " + dir.file("001234.001.his"));
  EXPECT_EQ(dir.read("001234.000.his"), "an earlier history");

  const std::vector<std::string> file = Lines(dir.read("001234.001.his"));
  EXPECT_EQ(file, lines) << "the window lists the file's lines";
  // The first line, then three records of a blank line, the date and three channels.
  ASSERT_EQ(file.size(), 1u + 3 * 5) << dir.read("001234.001.his");
  EXPECT_EQ(file[0], "KTS Data Logger: QZ-740  6.51 001234");
  EXPECT_EQ(file[1], "");
  EXPECT_EQ(file[2].size(), 20u) << file[2];
  EXPECT_EQ(file[3].substr(0, 5), "  1: ");
  EXPECT_EQ(file[12].substr(20), " incomplete calibration") << "the third newest";
  EXPECT_EQ(file[2].substr(0, 4), "2026");

  // Reading the history leaves the newest record as the current set.
  const std::vector<sim::Coefficients> logger = rig.sim->snapshot().coefficients;
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(s.coefficients.c[k], logger[k]);
}

TEST(HistoryFile, AQzLoggersFlashRecordsInTheOrderWritten) {
  test::SimRig rig("qz", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  test::TempDir dir;
  s.settings.baseDirectory = dir.path();
  ASSERT_TRUE(Connect(s));
  ASSERT_EQ(WriteHistoryFile(s, nullptr), 1) << rig.t.ui.statusTexts();
  const std::vector<std::string> file = Lines(dir.read("002210.000.his"));
  ASSERT_EQ(file.size(), 1u + 3 * 4) << dir.read("002210.000.his");
  EXPECT_EQ(file[0], "KTS Data Logger: QZ-740  4.30 002210");
  EXPECT_LT(file[2], file[6]) << "oldest first";
  EXPECT_LT(file[6], file[10]);
  EXPECT_EQ(file[12].substr(0, 5), "  2: ");
  EXPECT_EQ(s.coefficients.qzOffset, 216);
  const std::vector<sim::Coefficients> logger = rig.sim->snapshot().coefficients;
  for (size_t k = 0; k < 2; ++k) EXPECT_EQ(s.coefficients.c[k], logger[k]);
}

TEST(HistoryFile, UncalibratedLoggersAndAnUnreadableOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"qz", "KTS Data Logger: QZ-740  4.30 002210\n\nLogger not yet calibrated.\n"},
      {"extended", "KTS Data Logger: QZ-740  6.51 001234\n\nLogger not yet calibrated.\n"},
  };
  for (const auto& [profile, expected] : cases) {
    test::SimRig rig(profile, {"records = 10", "calibration_records = 0"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    test::TempDir dir;
    rig.s().settings.baseDirectory = dir.path();
    ASSERT_TRUE(Connect(rig.s()));
    ASSERT_EQ(WriteHistoryFile(rig.s(), nullptr), 1);
    EXPECT_EQ(dir.read(Format("%06d.000.his", rig.s().link.identity.serial)), expected);
  }
  {
    test::SimRig rig("extended", {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    test::TempDir dir;
    rig.s().settings.baseDirectory = dir.path();
    ASSERT_TRUE(Connect(rig.s()));
    ASSERT_EQ(CommGet(rig.s(), 16), 1);
    sim::Faults f;
    f.silentAfter = 2;  // the newest record's header and channel 1, then nothing
    rig.sim->setFaults(f);
    std::vector<std::string> lines;
    ASSERT_EQ(WriteHistoryFile(rig.s(), &lines), 1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Calibration History error");
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_TRUE(rig.t.ui.sawStatus("Calibration History error"));
  }
}

}  // namespace
}  // namespace kts
