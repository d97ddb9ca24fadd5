#include "data/matlab_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "convert/derived_channels.h"
#include "core/time_math.h"
#include "data/decoder.h"
#include "data/mat_file.h"
#include "data/row_times.h"
#include "data/matlab_format_dialog.h"
#include "data/settings.h"
#include "deploy/deployment_parameters.h"
#include "platform/ui.h"
#include "temp_dir.h"
#include "test_session.h"

namespace kts {
namespace {

// A data set as a decode leaves it: measured channels with their minimum and
// maximum, stamps (a gain stamp with its gains among them), derived channels.
void FillDataSet(Session& s, const std::vector<uint8_t>& types, int n, int stamps) {
  DataSet& d = s.data;
  d.context.identity.model = "QZ-740";
  d.context.identity.firmware = 5.12f;
  d.context.identity.serial = 4711;
  d.measuredChannels = d.totalChannels = static_cast<int>(types.size());
  std::copy(types.begin(), types.end(), d.types.begin());
  d.sampleCount = n;
  d.stride = n + 2;
  for (int c = 0; c < d.measuredChannels; ++c) {
    float* row = d.row(c);
    for (int i = 0; i < n; ++i) row[i] = 10.0f + static_cast<float>(c) + 0.001f * static_cast<float>(i % 997) +
                                          (i % 13 == 0 ? 1.0f / 3.0f : 0.0f);
    float low = 300.0f, high = -300.0f;
    for (int i = 0; i < n; ++i) low = std::min(low, row[i]), high = std::max(high, row[i]);
    row[n] = low;
    row[n + 1] = high;
  }
  d.startTime = MakeTime(2026, 2, 27, 23, 59, 30);
  d.samplePeriod = MakePeriod(0, 0, 10);
  d.samplingMode = 0;
  d.stampCount = stamps;
  for (int k = 0; k < stamps; ++k) {
    StampEntry& e = d.stamps[static_cast<size_t>(k)];
    e = StampEntry{};
    e.sampleIndex = std::min(n, k * 7);
    e.type = k % 2 == 0 ? kStampTime : kStampGain;
    e.time = MakeTime(2026, 3, 1, 1, k % 60, 5);
    if (e.type == kStampGain) {
      e.gainMask = 0b101;
      e.gains[0] = 3;
      e.gains[2] = 1;
    }
  }
  AssignStampMarkers(d);
  s.retrieved.averagingEnabled = true;
  s.retrieved.averagingPeriod = 20;
  AppendDerivedChannels(s);
}

void ExpectSameDataSet(const DataSet& a, const DataSet& b) {
  EXPECT_EQ(a.context.identity.model, b.context.identity.model);
  EXPECT_FLOAT_EQ(a.context.identity.firmware, b.context.identity.firmware);
  EXPECT_EQ(a.context.identity.serial, b.context.identity.serial);
  ASSERT_EQ(a.measuredChannels, b.measuredChannels);
  ASSERT_EQ(a.totalChannels, b.totalChannels);
  ASSERT_EQ(a.sampleCount, b.sampleCount);
  EXPECT_EQ(a.types, b.types);
  EXPECT_EQ(a.startTime, b.startTime);
  EXPECT_EQ(a.samplingMode, b.samplingMode);
  if (a.samplingMode != kProfilingMode) {
    EXPECT_EQ(a.samplePeriod, b.samplePeriod);
  }
  for (int c = 0; c < a.totalChannels; ++c)
    for (int i = 0; i < a.sampleCount + 2; ++i)
      ASSERT_EQ(a.row(c)[i], b.row(c)[i]) << "channel " << c << " element " << i;
  ASSERT_EQ(a.stampCount, b.stampCount);
  for (int k = 0; k < a.stampCount; ++k) {
    const StampEntry& x = a.stamps[static_cast<size_t>(k)];
    const StampEntry& y = b.stamps[static_cast<size_t>(k)];
    EXPECT_EQ(x.sampleIndex, y.sampleIndex) << k;
    EXPECT_EQ(x.type, y.type) << k;
    EXPECT_EQ(x.marker, y.marker) << k;
    EXPECT_EQ(x.time, y.time) << k;
    EXPECT_EQ(x.gains, y.gains) << k;
    EXPECT_EQ(x.gainMask, y.gainMask) << k;
  }
}

class MatlabFileTest : public ::testing::Test {
 protected:
  MatlabFileTest() {
    s.settings.derived.salinityOn = true;
    s.settings.derived.depthOn = true;
    back.s.settings.derived = s.settings.derived;
  }

  // Writes the data set and reads it into the second session.
  void roundTrip() {
    ASSERT_EQ(WriteMatFile(s, path), 1) << t.ui.statusTexts();
    ASSERT_EQ(ReadMatFile(back.s, path), 1) << back.ui.statusTexts();
    EXPECT_TRUE(back.ui.sawStatus("MATLAB file read successfully")) << back.ui.statusTexts();
  }

  test::TempDir dir;
  std::string path = dir.file("001234.mat");
  test::TestSession t;
  Session& s = t.s;
  test::TestSession back;
};

TEST_F(MatlabFileTest, ADataSetReadsBackAsItWasWritten) {
  for (const std::vector<uint8_t>& types :
       {std::vector<uint8_t>{'T'}, std::vector<uint8_t>{'T', 'C', 'P'},
        std::vector<uint8_t>{'T', 'C', 'P', 'D', 'N', 'M', 'V', 'Y', 'y', 'R', 'H', 'F',
                             'f', 'G', 'g', 'I', 'i', 'E', 'A', 'L', 'K', 'J', 'B', 'T'}}) {
    SCOPED_TRACE(types.size());
    FillDataSet(s, types, 1000, types.size() == 1 ? 1 : 40);
    roundTrip();
    ExpectSameDataSet(s.data, back.s.data);
    EXPECT_TRUE(back.s.retrieved.averagingEnabled);
    EXPECT_EQ(back.s.retrieved.averagingPeriod, 20u);
    EXPECT_TRUE(back.s.app.datDataLoaded);
    EXPECT_FALSE(back.s.app.hexDataLoaded);
    EXPECT_EQ(back.s.app.sampleCount, 1000);
    // Salinity and depth are derived from T, C and P where they fit.
    if (types.size() == 3) {
      EXPECT_EQ(back.s.data.totalChannels, 5);
    }
  }
}

TEST_F(MatlabFileTest, SixHertzProfilingAndAnEmptyStampTableReadBack) {
  FillDataSet(s, {'P', 'T'}, 60, 0);
  s.data.samplingMode = kProfilingMode;
  roundTrip();
  ExpectSameDataSet(s.data, back.s.data);
  MatReader r;
  ASSERT_TRUE(r.open(path));
  std::vector<float> period;
  ASSERT_TRUE(r.readFloats("loggersampleperiod", 1, &period));
  uint32_t bits;
  std::memcpy(&bits, &period[0], 4);
  EXPECT_EQ(bits, 0x3E2AAAABu);
}

TEST_F(MatlabFileTest, WaveBurstsReadBackWithTheirStartTimesFromTheBurstStamps) {
  FillDataSet(s, {'T', 'P'}, 100, 0);
  s.data.context.description.waves = true;
  s.retrieved.burstRate = 2;
  s.retrieved.loggerHeight = 1.5;
  s.data.burstCount = 3;
  s.data.stampCount = 3;
  for (int b = 0; b < 3; ++b) {
    StampEntry& e = s.data.stamps[static_cast<size_t>(b)];
    e = StampEntry{};
    e.type = kStampBurst;
    e.sampleIndex = 30 * b;
    e.burstNumber = b;
    e.time = MakeTime(2026, 3, 1, 6 + b, 0, 0);
    s.data.burstRecords[static_cast<size_t>(b)].sampleCount = 512;
    s.data.burstRecords[static_cast<size_t>(b)].start = e.time;
    for (int i = 0; i < 512; ++i) s.data.burst(b)[i] = 10.0f + 0.01f * static_cast<float>(b * 1000 + i);
  }
  AssignStampMarkers(s.data);
  roundTrip();
  ExpectSameDataSet(s.data, back.s.data);
  const DataSet& d = back.s.data;
  ASSERT_EQ(d.burstCount, 3);
  EXPECT_TRUE(d.context.description.waves);
  EXPECT_EQ(back.s.retrieved.burstRate, 2u);
  EXPECT_DOUBLE_EQ(back.s.retrieved.loggerHeight, 1.5);
  EXPECT_EQ(back.s.retrieved.burstLength, 512u);
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(d.burstRecords[static_cast<size_t>(b)].start, MakeTime(2026, 3, 1, 6 + b, 0, 0));
    EXPECT_EQ(d.burstRecords[static_cast<size_t>(b)].sampleCount, 512);
    EXPECT_EQ(0, std::memcmp(d.bursts.get() + b * kBurstCapacity, s.data.bursts.get() + b * kBurstCapacity,
                             512 * sizeof(float)));
  }
  MatReader r;
  ASSERT_TRUE(r.open(path));
  std::string text;
  MatVariableInfo shape;
  ASSERT_TRUE(r.readCharRows("loggerwavetimes", 100, &text, &shape));
  EXPECT_EQ(shape.rows, 3u);
  EXPECT_EQ(text.substr(20, 20), "01-Mar-2026 07:00:00");
}

TEST_F(MatlabFileTest, TheTimesTakeTheFormOfTheDateTimeSettings) {
  FillDataSet(s, {'T', 'C', 'P'}, 8, 0);
  struct Case {
    int frequency, format;
    MatClass type;
    size_t rows, columns;
  };
  for (const Case c : {Case{0, 0, MatClass::Char, 1, 20}, Case{0, 1, MatClass::Double, 1, 1},
                       Case{1, 0, MatClass::Char, 8, 20}, Case{1, 1, MatClass::Double, 1, 8}}) {
    s.settings.matlabFrequency = c.frequency;
    s.settings.matlabFormat = c.format;
    ASSERT_EQ(WriteMatFile(s, path), 1);
    MatReader r;
    ASSERT_TRUE(r.open(path));
    MatVariableInfo info;
    ASSERT_TRUE(r.info("loggertimes", &info));
    EXPECT_EQ(info.type, c.type);
    EXPECT_EQ(info.rows, c.rows);
    EXPECT_EQ(info.columns, c.columns);
    // Every form gives back the start time.
    ASSERT_EQ(ReadMatFile(back.s, path), 1);
    EXPECT_EQ(back.s.data.startTime, s.data.startTime);
  }
  // Per-sample texts step by the period across midnight into March.
  s.settings.matlabFormat = 0;
  ASSERT_EQ(WriteMatFile(s, path), 1);
  MatReader r;
  ASSERT_TRUE(r.open(path));
  std::string text;
  MatVariableInfo shape;
  ASSERT_TRUE(r.readCharRows("loggertimes", 1000, &text, &shape));
  EXPECT_EQ(text.substr(0, 20), "27-Feb-2026 23:59:30");
  EXPECT_EQ(text.substr(7 * 20, 20), "28-Feb-2026 00:00:40");
}

TEST(SerialDateNumber, CountsDaysFrom2000WithEveryFourthYearLeap) {
  EXPECT_EQ(SerialDateNumber(MakeTime(2000, 1, 1)), 730486.0);
  EXPECT_EQ(SerialDateNumber(MakeTime(2004, 3, 1, 12, 0, 0)), 730486.0 + 1521 + 0.5);
  EXPECT_EQ(SerialDateNumber(MakeTime(1999, 12, 31)), 730486.0 + 365);  // 1999 counts as 2000
  TimeRecord t;
  for (int64_t seconds = 0; seconds < int64_t{40} * 366 * 86400; seconds += 86400 * 37 + 3671) {
    const TimeRecord in = AddSeconds(MakeTime(2000, 1, 1), seconds);
    ASSERT_TRUE(FromSerialDateNumber(SerialDateNumber(in), &t));
    EXPECT_EQ(t, in) << seconds;
  }
  ASSERT_TRUE(FromSerialDateNumber(730486.0 + 0.99999999, &t));
  EXPECT_EQ(t, MakeTime(2000, 1, 2));  // rounds to the next midnight, not to 24:00:00
  ASSERT_TRUE(FromSerialDateNumber(1.0, &t));
  EXPECT_EQ(t, MakeTime(2000, 1, 1));
  EXPECT_FALSE(FromSerialDateNumber(NAN, &t));
  EXPECT_FALSE(FromSerialDateNumber(1e300, &t));
}

TEST(MatlabDateText, IsTwentyCharactersAndReadsBack) {
  const TimeRecord t = MakeTime(2026, 12, 7, 4, 5, 6);
  EXPECT_EQ(MatlabDateText(t), "07-Dec-2026 04:05:06");
  TimeRecord back;
  ASSERT_TRUE(ParseMatlabDateText("07-Dec-2026 04:05:06", &back));
  EXPECT_EQ(back, t);
  EXPECT_FALSE(ParseMatlabDateText("07-Foo-2026 04:05:06", &back));
  EXPECT_FALSE(ParseMatlabDateText("", &back));
  EXPECT_FALSE(ParseMatlabDateText("32-Jan-2026 04:05:06", &back));
}

// ---- Files that are not what they should be ---------------------------------

class HostileMatTest : public MatlabFileTest {
 protected:
  void SetUp() override {
    FillDataSet(back.s, {'T', 'C'}, 50, 3);
    back.s.image.length = 99;
  }
  // Writes a file of the given variables; each lambda puts one.
  template <typename F>
  void craft(F&& put) {
    MatWriter w;
    ASSERT_TRUE(w.create(path, "MATLAB 5.0 MAT-file"));
    put(w);
    ASSERT_TRUE(w.close());
  }
  // The read fails with `status` and the data set in memory is unchanged.
  void expectRefused(const std::string& status) {
    const std::vector<float> before(back.s.data.row(0), back.s.data.row(0) + 52);
    const int total = back.s.data.totalChannels;
    EXPECT_EQ(ReadMatFile(back.s, path), 0);
    EXPECT_EQ(back.ui.lastStatus(), status);
    EXPECT_EQ(back.s.data.sampleCount, 50);
    EXPECT_EQ(back.s.data.totalChannels, total);
    EXPECT_EQ(back.s.data.context.identity.model, "QZ-740");
    EXPECT_EQ(back.s.image.length, 99);
    EXPECT_EQ(std::vector<float>(back.s.data.row(0), back.s.data.row(0) + 52), before);
  }
  static void putPrivate(MatWriter& w) {
    std::vector<uint32_t> none;
    w.putUInt32("loggerprivate", none.data(), 1, 0);
  }
  static void putData(MatWriter& w, size_t rows, size_t columns) {
    std::vector<float> v(rows * columns, 1.0f);
    w.putSingle("loggerdata", v.data(), rows, columns);
  }
};

TEST_F(HostileMatTest, FilesThatAreNotMatFilesCannotBeOpened) {
  const std::string unable = "Unable to open file: " + path;
  expectRefused(unable);  // missing
  dir.write("001234.mat", "KTS QZ-740 5.12 004711\nthis is a .dat file, not a MATLAB one\n");
  expectRefused(unable);
  dir.write("001234.mat", std::string(128, '\0'));
  expectRefused(unable);

  // A file of ours cut short, and one whose element claims more bytes than it has.
  FillDataSet(s, {'T'}, 100, 2);
  ASSERT_EQ(WriteMatFile(s, path), 1);
  std::string whole = dir.read("001234.mat");
  dir.write("001234.mat", whole.substr(0, whole.size() - 9));
  expectRefused(unable);
  whole[132] = static_cast<char>(0x7F);
  dir.write("001234.mat", whole);
  expectRefused(unable);
}

TEST_F(HostileMatTest, AFileWithoutTheStampTableIsRefusedEvenWithData) {
  craft([](MatWriter& w) { putData(w, 10, 2); });
  expectRefused("Error reading in file - cannot display data");
}

TEST_F(HostileMatTest, VariablesOfTheWrongKindOrSizeAreRefused) {
  struct Case {
    const char* what;
    void (*put)(MatWriter&);
  };
  const Case cases[] = {
      {"data as text", [](MatWriter& w) { w.putString("loggerdata", "1 2 3"); }},
      {"25 channels", [](MatWriter& w) { putData(w, 4, 25); }},
      {"no channels", [](MatWriter& w) { putData(w, 4, 0); }},
      {"beyond the row store", [](MatWriter& w) { putData(w, kRowStoreFloats / 2, 2); }},
      {"name as a number",
       [](MatWriter& w) {
         const double x = 1;
         w.putDouble("loggername", &x, 1, 1);
       }},
      {"period not a number",
       [](MatWriter& w) {
         const float x = NAN;
         w.putSingle("loggersampleperiod", &x, 1, 1);
       }},
      {"empty period", [](MatWriter& w) { w.putSingle("loggersampleperiod", nullptr, 0, 0); }},
      {"negative averaging",
       [](MatWriter& w) {
         const double x = -5;
         w.putDouble("loggeraveragingperiod", &x, 1, 1);
       }},
      {"times unreadable", [](MatWriter& w) { w.putString("loggertimes", "yesterday at noon"); }},
      {"times far future",
       [](MatWriter& w) {
         const double x = 1e12;
         w.putDouble("loggertimes", &x, 1, 1);
       }},
      {"bursts too long", [](MatWriter& w) {
         std::vector<float> v(4097, 0.0f);
         w.putSingle("loggerwavedata", v.data(), 4097, 1);
       }},
      {"stamps as text", [](MatWriter& w) { w.putString("loggerprivate_old", "stamps"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    craft([&](MatWriter& w) {
      c.put(w);
      putPrivate(w);
    });
    expectRefused("Error reading in file");
  }
}

TEST_F(HostileMatTest, AStampTableAloneGivesAnEmptyDataSet) {
  craft([](MatWriter& w) { putPrivate(w); });
  ASSERT_EQ(ReadMatFile(back.s, path), 1) << back.ui.statusTexts();
  EXPECT_EQ(back.s.data.sampleCount, 0);
  EXPECT_EQ(back.s.data.measuredChannels, 0);
  EXPECT_EQ(back.s.data.stampCount, 0);
  EXPECT_EQ(back.s.app.channelCount, 0);
}

TEST_F(HostileMatTest, OlderStampLayoutsAreRecognisedByTheirYears) {
  // Two 36-byte entries (a 20-byte head): the current layout would see a
  // year of 0 in the first entry.
  std::vector<uint32_t> words(72, 0);
  for (int e = 0; e < 2; ++e) {
    uint32_t* w = words.data() + e * 9;
    w[0] = static_cast<uint32_t>(5 * e);  // sample index
    w[1] = kStampTime;
    w[5] = 2019u | 6u << 16;  // year, month
    w[6] = 0u | 15u << 16;    // day of week, day
    w[7] = 12u | 30u << 16;   // hour, minute
  }
  craft([&](MatWriter& w) {
    putData(w, 10, 1);
    w.putUInt32("loggerprivate", words.data(), 1, words.size());
  });
  ASSERT_EQ(ReadMatFile(back.s, path), 1) << back.ui.statusTexts();
  ASSERT_EQ(back.s.data.stampCount, 2);  // 72 / 36
  EXPECT_EQ(back.s.data.stamps[1].sampleIndex, 5);
  EXPECT_EQ(back.s.data.stamps[1].time, MakeTime(2019, 6, 15, 12, 30, 0));
  EXPECT_EQ(back.s.data.context.identity.model, "Unknown");
}

TEST_F(HostileMatTest, ChannelNamesMatchAWholeLabelWordAfterTrailingBlanksAndNuls) {
  craft([](MatWriter& w) {
    putData(w, 3, 4);
    const std::string names("Turb-a\0\0Turb    Tem     Pres    ", 32);
    w.putCharMatrix("loggerchannelnames", names, 4, 8);
    w.putString("loggername", "KTS HKV-4070   5.20 000042");
    putPrivate(w);
  });
  ASSERT_EQ(ReadMatFile(back.s, path), 1) << back.ui.statusTexts();
  const DataSet& d = back.s.data;
  EXPECT_EQ(d.types[0], 'y');
  EXPECT_EQ(d.types[1], 'Y');
  EXPECT_EQ(d.types[2], 'U');  // "Tem" is not a label's word
  EXPECT_EQ(d.types[3], 'P');
  EXPECT_EQ(d.context.identity.model, "HKV-4070");
  EXPECT_EQ(d.context.identity.serial, 42);
  EXPECT_TRUE(d.context.identity.extended);
  EXPECT_EQ(back.s.image.length, 0);  // the old image no longer matches the data
}

TEST_F(HostileMatTest, FilesWrittenBySciPyReadPlainOrCompressed) {
  for (const char* name : {"plain.mat", "compressed.mat"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(ReadMatFile(back.s, std::string(KTS_MAT_SEEDS_DIR) + "/" + name), 1) << back.ui.statusTexts();
    const DataSet& d = back.s.data;
    ASSERT_EQ(d.sampleCount, 10);
    ASSERT_EQ(d.measuredChannels, 2);
    EXPECT_EQ(d.types[0], 'T');
    EXPECT_EQ(d.types[1], 'P');
    EXPECT_EQ(d.row(1)[9], 19.0f);  // column-major: channel 1 holds 10..19
    EXPECT_EQ(d.startTime, MakeTime(2026, 2, 27, 23, 59, 30));
    EXPECT_EQ(d.samplePeriod, MakePeriod(0, 0, 10));
    ASSERT_EQ(d.stampCount, 1);
    EXPECT_EQ(d.stamps[0].time.month, 3);
    EXPECT_EQ(d.context.identity.serial, 4711);
  }
}

TEST_F(HostileMatTest, DamagedFilesFoundByFuzzingAreReadOrRefusedWithoutHarm) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KTS_MAT_FILES_DIR)) {
    SCOPED_TRACE(entry.path().string());
    ++files;
    FillDataSet(back.s, {'T', 'C'}, 50, 3);
    const std::vector<float> before(back.s.data.row(0), back.s.data.row(0) + 52);
    if (ReadMatFile(back.s, entry.path().string()) == 0) {
      EXPECT_EQ(back.s.data.sampleCount, 50);
      EXPECT_EQ(std::vector<float>(back.s.data.row(0), back.s.data.row(0) + 52), before);
    }
  }
  EXPECT_GT(files, 0);
}

// ---- Writing ----------------------------------------------------------------

TEST_F(MatlabFileTest, AFailedWriteLeavesNoFileAndTheOneBeforeStands) {
  FillDataSet(s, {'T'}, 10, 1);
  const std::string nowhere = dir.file("missing/001234.mat");
  EXPECT_EQ(WriteMatFile(s, nowhere), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Unable to open file: " + nowhere);

  dir.write("001234.mat", "previous");
  ASSERT_EQ(WriteMatFile(s, path), 1);
  EXPECT_EQ(dir.entries(), 1);  // no temporary file left behind
  EXPECT_NE(dir.read("001234.mat"), "previous");
}

TEST_F(MatlabFileTest, TheSaveCommandRefusesAsciiDataAndProposesItsNames) {
  FillDataSet(s, {'T'}, 10, 0);
  EXPECT_TRUE(MatlabSaveAllowed(s));
  s.data.context.description.rsAdvanced = kRsAsciiOutput;
  EXPECT_FALSE(MatlabSaveAllowed(s));
  EXPECT_TRUE(t.ui.sawMessage(
      "These ASCII data from a generic front end can not be saved in the MATLAB format."));
  EXPECT_EQ(t.ui.messages.back().caption, "Save MATLAB file");
  EXPECT_EQ(WriteMatFile(s, path), 0);  // a front end that skips the check is refused too
  EXPECT_FALSE(dir.exists("001234.mat"));
  EXPECT_EQ(t.ui.messages.size(), 2u);

  s.settings.matDirectory = "/data/mat";
  const FileRequest save = MatlabSaveRequest(s);
  EXPECT_EQ(save.defaultName, "004711*.mat");
  EXPECT_EQ(save.title, "Select a 'mat' file for storing the data");
  EXPECT_EQ(save.filter, "MATLAB Files (*.mat)");
  EXPECT_EQ(save.directory, "/data/mat");
  const FileRequest open = MatlabOpenRequest(s, "/data/dat/004711a.dat");
  EXPECT_EQ(open.defaultName, "004711a.mat");
  EXPECT_EQ(open.title, "Select an existing 'mat' file to be opened");
}

TEST(MatlabFormatDialog, ShowsTheSettingsAndKeepsTheChoicesOnOk) {
  Settings settings;
  settings.matlabFrequency = 1;
  settings.matlabFormat = 7;  // damaged: shows as the first choice
  MatlabFormatDialog d = OpenMatlabFormat(settings);
  EXPECT_EQ(d.frequency, 1);
  EXPECT_EQ(d.format, 0);
  d.frequency = 0;
  d.format = 1;
  EXPECT_EQ(MatlabFormatOk(settings, d), 1);
  EXPECT_EQ(settings.matlabFrequency, 0);
  EXPECT_EQ(settings.matlabFormat, 1);
}

// ---- An independent reader ------------------------------------------------------

// What SciPy makes of a file: per variable its class, shape and contents.
struct Loaded {
  std::string dtype;
  size_t rows = 0, columns = 0;
  std::vector<double> values;     // numeric, column-major
  std::vector<std::string> text;  // char rows
};

constexpr const char* kLoadScript = R"(
import sys
try:
    import scipy.io
except ImportError:
    print("NOSCIPY")
    sys.exit(0)
m = scipy.io.loadmat(sys.argv[1], chars_as_strings=False)
for name, v in m.items():
    if name.startswith("__"):
        continue
    r, c = v.shape
    print("VAR", name, v.dtype.str, r, c)
    if v.dtype.kind == "U":
        for row in v:
            print("|" + "".join(row))
    else:
        print(" ".join(repr(float(x)) for x in v.flatten(order="F")))
)";

bool LoadWithScipy(const test::TempDir& dir, const std::string& file, std::map<std::string, Loaded>* out,
                   bool* skipped) {
  dir.write("load.py", kLoadScript);
  const std::string command = "/usr/bin/python3 " + dir.file("load.py") + " " + file + " 2>&1";
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return false;
  std::string output;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, p)) > 0) output.append(buffer, got);
  const int status = ::pclose(p);
  if (status != 0 || output.rfind("NOSCIPY", 0) == 0) {
    *skipped = true;
    return true;
  }
  std::istringstream in(output);
  std::string line;
  Loaded* current = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("VAR ", 0) == 0) {
      std::istringstream f(line.substr(4));
      std::string name;
      Loaded l;
      f >> name >> l.dtype >> l.rows >> l.columns;
      current = &((*out)[name] = l);
    } else if (current != nullptr && current->dtype.find('U') != std::string::npos) {
      current->text.push_back(line.substr(1));
    } else if (current != nullptr) {
      std::istringstream f(line);
      double x;
      while (f >> x) current->values.push_back(x);
    }
  }
  return true;
}

TEST_F(MatlabFileTest, SciPyReadsEveryVariableWithItsClassShapeAndValues) {
  FillDataSet(s, {'T', 'C', 'P'}, 25, 2);  // three measured and two derived channels
  ASSERT_EQ(s.data.totalChannels, 5);
  s.settings.matlabFrequency = 1;
  s.settings.matlabFormat = 1;
  ASSERT_EQ(WriteMatFile(s, path), 1);
  std::map<std::string, Loaded> m;
  bool skipped = false;
  ASSERT_TRUE(LoadWithScipy(dir, path, &m, &skipped));
  if (skipped) GTEST_SKIP() << "/usr/bin/python3 with scipy is not installed (scripts/setup installs it)";

  const Loaded& name = m["loggername"];
  EXPECT_EQ(name.dtype, "<U1");
  ASSERT_EQ(name.text.size(), 1u);
  EXPECT_EQ(name.text[0], "KTS QZ-740  5.12 004711");

  const Loaded& data = m["loggerdata"];
  EXPECT_EQ(data.dtype, "<f4");
  EXPECT_EQ(data.rows, 25u);
  EXPECT_EQ(data.columns, 3u);  // derived channels stay out
  ASSERT_EQ(data.values.size(), 75u);
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 25; ++i) EXPECT_EQ(static_cast<float>(data.values[c * 25 + i]), s.data.row(c)[i]);

  const Loaded& names = m["loggerchannelnames"];
  EXPECT_EQ(names.rows, 3u);
  EXPECT_EQ(names.text, (std::vector<std::string>{"Temp", "Cond", "Pres"}));

  EXPECT_EQ(m["loggersampleperiod"].dtype, "<f4");
  EXPECT_EQ(m["loggersampleperiod"].values, std::vector<double>{10.0});
  EXPECT_EQ(m["loggeraveragingperiod"].values, std::vector<double>{20.0});

  const Loaded& times = m["loggertimes"];
  EXPECT_EQ(times.dtype, "<f8");
  EXPECT_EQ(times.rows, 1u);
  ASSERT_EQ(times.columns, 25u);
  std::vector<TimeRecord> rowTimes;
  RowTimes rows(s.data);
  for (int i = 0; i < 25; ++i) rowTimes.push_back(rows.next());
  ASSERT_EQ(rowTimes[0], MakeTime(2026, 3, 1, 1, 0, 5));  // the stamp at sample 0
  for (int i = 0; i < 25; ++i) EXPECT_DOUBLE_EQ(times.values[i], SerialDateNumber(rowTimes[i])) << i;

  const Loaded& stamps = m["loggerprivate"];
  EXPECT_EQ(stamps.dtype, "<u4");
  EXPECT_EQ(stamps.rows, 1u);
  ASSERT_EQ(stamps.columns, 264u);
  const StampEntry& gain = s.data.stamps[1];
  EXPECT_EQ(stamps.values[33 + 0], gain.sampleIndex);
  EXPECT_EQ(stamps.values[33 + 1], kStampGain);
  EXPECT_EQ(stamps.values[33 + 4], 2026 + 3 * 65536);  // year, month
  EXPECT_EQ(stamps.values[33 + 8], 3);                 // gain of channel 0
  EXPECT_EQ(stamps.values[33 + 32], 0b101);
  for (size_t i = 66; i < 264; ++i) ASSERT_EQ(stamps.values[i], 0) << i;
  EXPECT_EQ(m.count("loggerwavedata"), 0u);

  // The per-sample texts.
  s.settings.matlabFormat = 0;
  ASSERT_EQ(WriteMatFile(s, path), 1);
  m.clear();
  ASSERT_TRUE(LoadWithScipy(dir, path, &m, &skipped));
  ASSERT_EQ(m["loggertimes"].text.size(), 25u);
  EXPECT_EQ(m["loggertimes"].text[1], "01-Mar-2026 01:00:15");
}

}  // namespace
}  // namespace kts
