#include "data/data_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base_directory_test.h"
#include "core/text.h"
#include "data/common_header.h"
#include "data/decode_image.h"
#include "data/decoder.h"
#include "data/settings_file.h"
#include "data/write_formats_dialog.h"
#include "image_builder.h"

namespace kts {
namespace {

// A two-channel QZ logger (pressure, conductivity) whose image holds a cold
// start, two records, a time stamp five minutes on and one more record.
class DataFilesTest : public test::BaseDirectoryTest {
 protected:
  DataFilesTest() {
    for (const char* folder : {"hex", "dat", "mat"})
      std::filesystem::create_directories(dir.file(folder));
    UseLogger(s, "QZ-740", 3.00f);
    image.fill(30);
    image.stamp("CLD", MakeTime(2024, 6, 1, 0, 0, 0));
    image.record({42, 97}).record({44, 99});
    image.stamp("TIM", MakeTime(2024, 6, 1, 0, 5, 0));
    image.record({46, 101});
    Load(s, image);
  }

  static void UseLogger(Session& session, const char* model, float firmware) {
    session.link.identity.model = model;
    session.link.identity.firmware = firmware;
    session.link.identity.serial = 1234;
    session.description.channelCount = 2;
    session.description.channelTypes = {'P', 'C'};
    session.coefficients.c[0] = {0.0, 4194304.0, 0.0, 0.0};  // word / 4
    session.coefficients.c[1] = {1.5, 8388608.0, 0.0, 0.0};  // 1.5 + word / 2
    RetrievedDeployment& r = session.retrieved;
    r.hostTime = MakeTime(2024, 6, 2, 10, 0, 0);
    r.loggerTime = MakeTime(2024, 6, 2, 9, 59, 30);
    r.endTime = MakeTime(2024, 6, 30, 0, 0, 0);
    r.loggerStatus = 4;
    r.block.startMode = kStartNow;
  }

  static void Load(Session& session, const test::ImageBuilder& b) {
    std::copy(b.data.begin(), b.data.end(), session.image.bytes.get());
    session.image.length = b.size();
    session.data.startTime = MakeTime(2024, 6, 1, 0, 0, 0);
    session.data.samplePeriod = MakePeriod(0, 1, 0);
    session.data.samplingMode = 0;
    ASSERT_EQ(DecodeImage(session, true), 1);
    session.app.newImageSinceSave = true;
    session.app.retrievedDataPresent = true;
  }

  std::string HexLines(const test::ImageBuilder& b) const {
    std::string out = "Number of bytes of data " + std::to_string(b.size()) + "\n" + kRuler;
    for (int i = 0; i < b.size(); ++i) {
      if (i % 24 == 0) out += '\n';
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02X", b.data[static_cast<size_t>(i)]);
      out += pair;
    }
    return out;
  }

  // The session's data as they were, for checking that a refused file left them.
  void ExpectDataUntouched() const {
    EXPECT_EQ(s.data.sampleCount, 3);
    EXPECT_EQ(s.data.measuredChannels, 2);
    EXPECT_EQ(s.image.length, image.size());
    EXPECT_FLOAT_EQ(s.data.row(0)[1], 11.0f);
    EXPECT_EQ(s.data.stampCount, 2);
    EXPECT_EQ(s.retrieved.loggerStatus, 4);
    EXPECT_EQ(s.data.context.identity.model, "QZ-740");
  }

  static constexpr const char* kRuler = "|     |     |     |     |     |     |     |";
  test::ImageBuilder image;
};

const std::string kQzHeadStart =
    "KTS QZ-740  3.00 001234 (Windows: 6.01)\n"
    "Host time     24/06/02 10:00:00\n"
    "Logger time   24/06/02 09:59:30\n"
    "Logging start 24/06/01 00:00:00\n"
    "Logging end   24/06/30 00:00:00\n"
    "Sample period          00:01:00\n"
    "Number of channels =  2, number of samples =      3, mode: Logging Complete\n";
const std::string kQzCalibration =
    "Calibration  1: 0.000000000000000\n"
    "                4194304.000000000000000\n"
    "                0.000000000000000\n"
    "                0.000000000000000 deciBars\n"
    "Calibration  2: 1.500000000000000\n"
    "                8388608.000000000000000\n"
    "                0.000000000000000\n"
    "                0.000000000000000 uS/cm\n"
    "COMMENT: bench test\n"
    "Logger start:Now \n"
    "Timestamp 2024/06/01 00:05:00 at sample 3 of type: TIME STAMP\n"
    "Reset stamp 2024/06/01 00:00:00 at sample 1 of type: COLD STARTUP\n";

TEST_F(DataFilesTest, HexFileIsTheHeaderTheRulerAndTwentyFourBytesALine) {
  ASSERT_TRUE(WriteHexFile(s, dir.file("a.hex"), "bench test", 0));
  const std::string expected = kQzHeadStart + "N02%9.4f\n" + kQzCalibration +
                               "Number of bytes in header 30\n"
                               "Extended data range: 01" +
                               std::string(50, 'F') +
                               "\n"
                               "\n"
                               "     Pres      Cond \n" +
                               HexLines(image);
  EXPECT_EQ(dir.read("a.hex"), expected);
  EXPECT_EQ(dir.entries(), 4);  // hex, dat, mat and the file: no temporary left
}

TEST_F(DataFilesTest, DatRowsCarryTheChosenTimeColumnsAndRestartAtStamps) {
  const std::string rows[3] = {"  10.5000   50.0000 \n", "  11.0000   51.0000 \n",
                               "  11.5000   52.0000 \n"};
  const std::string head = kQzHeadStart;
  const std::string labels = "     Pres      Cond \n";

  ASSERT_TRUE(WriteDatFile(s, dir.file("n.dat"), "bench test", 0));
  EXPECT_EQ(dir.read("n.dat"),
            head + "N02%9.4f\n" + kQzCalibration + "\n" + labels + rows[0] + rows[1] + rows[2]);

  ASSERT_TRUE(WriteDatFile(s, dir.file("a.dat"), "bench test", 1));
  EXPECT_EQ(dir.read("a.dat"), head + "A02%9.4f\n" + kQzCalibration + "\n" + std::string(9, ' ') +
                                   labels + "00:00:00 " + rows[0] + "00:01:00 " + rows[1] +
                                   "00:05:00 " + rows[2]);

  ASSERT_TRUE(WriteDatFile(s, dir.file("e.dat"), "bench test", 2));
  EXPECT_EQ(dir.read("e.dat"), head + "E02%9.4f\n" + kQzCalibration + "\n" + std::string(20, ' ') +
                                   labels + "2024/06/01 00:00:00 " + rows[0] +
                                   "2024/06/01 00:01:00 " + rows[1] + "2024/06/01 00:05:00 " +
                                   rows[2]);
}

TEST_F(DataFilesTest, HexFileReadBackWritesTheSameBytesAndTheSameDataSet) {
  s.retrieved.averagingEnabled = true;
  s.retrieved.averagingPeriod = 12;
  s.data.context.description.averaging = true;
  s.data.context.description.configFlags |= kConfigAdvanced;
  s.data.context.description.rsAdvanced = kRsSdCard | kRsBinaryOutput;
  s.data.context.description.hasMinimumSoftwareVersion = true;
  s.data.context.description.minimumSoftwareVersion = 5.5f;
  ASSERT_TRUE(WriteHexFile(s, dir.file("a.hex"), "round trip", 2));

  test::TestSession other;
  Session& o = other.s;
  o.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadHexFile(o, dir.file("a.hex")), 1) << other.ui.messageTexts();
  EXPECT_TRUE(other.ui.messages.empty()) << other.ui.messageTexts();
  EXPECT_EQ(o.image.length, image.size());
  EXPECT_EQ(o.data.sampleCount, 3);
  EXPECT_EQ(o.data.stampCount, 2);
  EXPECT_EQ(o.data.startTime, s.data.startTime);
  EXPECT_EQ(o.data.comment, "round trip");
  EXPECT_EQ(o.data.context.identity.serial, 1234);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 5; ++i) EXPECT_EQ(o.data.row(c)[i], s.data.row(c)[i]) << c << " " << i;
  EXPECT_TRUE(
      other.ui.sawStatus(Format("Data from file: %s - round trip", dir.file("a.hex").c_str())));

  ASSERT_TRUE(WriteHexFile(o, dir.file("b.hex"), o.data.comment, 2));
  EXPECT_EQ(dir.read("b.hex"), dir.read("a.hex"));
}

TEST_F(DataFilesTest, DatFileReadBackHoldsTheSameDataAndStampsWithDerivedColumnsRecomputed) {
  s.settings.derived.depthOn = true;
  s.settings.derived.density = 1.0f;
  RedecodeImage(s, false);
  ASSERT_EQ(s.data.totalChannels, 3);
  s.settings.timeColumns = 2;
  ASSERT_TRUE(WriteDatFile(s, dir.file("x.dat"), "derived", 2));

  test::TestSession other;
  Session& o = other.s;
  o.settings.baseDirectory = dir.path();
  o.settings.derived = s.settings.derived;
  ASSERT_EQ(ReadDataFile(o, dir.file("x.dat")), 1) << other.ui.messageTexts();
  EXPECT_EQ(o.data.sampleCount, 3);
  EXPECT_EQ(o.data.totalChannels, 3);
  EXPECT_EQ(o.image.length, 0);
  ASSERT_EQ(o.data.stampCount, 2);
  EXPECT_EQ(o.data.stamps[0].type, kStampCold);
  EXPECT_EQ(o.data.stamps[0].sampleIndex, 0);
  EXPECT_EQ(o.data.stamps[1].type, kStampTime);
  EXPECT_EQ(o.data.stamps[1].sampleIndex, 2);
  EXPECT_EQ(o.data.stamps[1].time, MakeTime(2024, 6, 1, 0, 5, 0));
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 5; ++i) EXPECT_EQ(o.data.row(c)[i], s.data.row(c)[i]) << c << " " << i;

  ASSERT_TRUE(WriteDatFile(o, dir.file("y.dat"), o.data.comment, 2));
  EXPECT_EQ(dir.read("y.dat"), dir.read("x.dat"));
}

TEST_F(DataFilesTest, SavedRangeStartsAtItsFirstRowAndKeepsOnlyItsStamps) {
  ASSERT_TRUE(WriteDatFile(s, dir.file("r.dat"), "bench test", 1, 1, 2));
  const std::string text = dir.read("r.dat");
  EXPECT_NE(text.find("Logging start 24/06/01 00:01:00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("number of samples =      2, mode"), std::string::npos);
  EXPECT_NE(text.find("Timestamp 2024/06/01 00:05:00 at sample 2 of type: TIME STAMP\n"),
            std::string::npos);
  EXPECT_EQ(text.find("COLD STARTUP"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\n00:01:00   11.0000   51.0000 \n00:05:00   11.5000   52.0000 \n"));

  // Read back, the range is a data set of its own with the same times.
  test::TestSession other;
  other.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(other.s, dir.file("r.dat")), 1);
  EXPECT_EQ(other.s.data.sampleCount, 2);
  EXPECT_EQ(SampleTime(other.s.data, 1), MakeTime(2024, 6, 1, 0, 5, 0));
  EXPECT_EQ(other.s.data.startTime, MakeTime(2024, 6, 1, 0, 1, 0));
}

TEST_F(DataFilesTest, HeadersDatedWithFourDigitYearsReadAsWellAsTwoDigitOnes) {
  ASSERT_TRUE(WriteDatFile(s, dir.file("x.dat"), "", 0));
  std::string text = dir.read("x.dat");
  const auto replace = [&](const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
  };
  replace("Logging start 24/06/01 00:00:00", "Logging start 2031/06/01 00:00:00");
  replace("Host time     24/06/02 10:00:00", "Host time     2010/06/02 10:00:00");
  dir.write("y.dat", text);
  ASSERT_EQ(ReadDataFile(s, dir.file("y.dat")), 1) << t.ui.messageTexts();
  EXPECT_EQ(s.data.startTime, MakeTime(2031, 6, 1, 0, 0, 0));
  EXPECT_EQ(s.retrieved.hostTime, MakeTime(2010, 6, 2, 10, 0, 0));
  EXPECT_EQ(s.retrieved.loggerTime, MakeTime(2024, 6, 2, 9, 59, 30));
}

// Every kind of damage gets its message and leaves the data as they were.
TEST_F(DataFilesTest, DamagedFilesAreRefusedWithTheirMessageAndLoseNothing) {
  ASSERT_TRUE(WriteDatFile(s, dir.file("good.dat"), "", 0));
  ASSERT_TRUE(WriteHexFile(s, dir.file("good.hex"), "", 0));
  const std::string dat = dir.read("good.dat");
  const std::string hex = dir.read("good.hex");
  const auto cut = [](const std::string& text, const std::string& at) {
    return text.substr(0, text.find(at));
  };
  const auto swap = [](std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string header = "Error while reading file header";
  struct Case {
    const char* name;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"empty.dat", "", "This file is not an KTS DAT file"},
      {"other.dat", "Some other file\n1 2 3\n", "This file is not an KTS DAT file"},
      {"model.dat", swap(dat, "QZ-740", "ZZ-100"),
       "This file is for a logger of type ZZ-100.\nThis type of logger is not supported by this "
       "software."},
      {"short.dat", cut(dat, "Sample period"), header},
      {"nomode.dat", swap(dat, "mode: ", "mood "), header},
      {"none.dat", swap(dat, "Number of channels =  2", "Number of channels =  0"), header},
      {"many.dat", swap(dat, "Number of channels =  2", "Number of channels = 25"), header},
      {"huge.dat", swap(dat, "number of samples =      3", "number of samples = 99999999"), header},
      {"negative.dat", swap(dat, "number of samples =      3", "number of samples =     -3"),
       header},
      {"nocal.dat", swap(dat, "Calibration  2", "Calibrated  2"), header},
      {"badcal.dat", swap(dat, "8388608.000000000000000", "x"), header},
      {"nolabels.dat", cut(dat, "     Pres"), header},
      {"ascii.dat",
       swap(dat, "Logger start:",
            "No MMC/SD Memory card, No Generic Serial card, Format: ASCII\nLogger start:"),
       "This file is holds generic ASCII formatted data.\nThis type of data must be read using a "
       "text editor."},
      {"nodata.hex", cut(hex, "Number of bytes of data"), "This file is not an KTS HEX file"},
      {"negative.hex", swap(hex, "Number of bytes of data 72", "Number of bytes of data -72"),
       "This file is not an KTS HEX file"},
      {"other.hex", "KT\n", "This file is not an KTS HEX file"},
      {"model.hex", swap(hex, "QZ-740", "QZ740"),
       "This file is for a logger of type QZ740.\nThis type of logger is not supported by this "
       "software."},
      {"long.hex",
       "KTS QZ-740 3.00 1 " + std::string(100000, 'x') + "\n" + std::string(100000, '\n'), header},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dir.write(c.name, c.text);
    t.ui.messages.clear();
    const bool hexFile = std::string(c.name).ends_with(".hex");
    EXPECT_EQ(hexFile ? ReadHexFile(s, dir.file(c.name)) : ReadDataFile(s, dir.file(c.name)), 0);
    ASSERT_EQ(t.ui.messages.size(), 1u) << t.ui.messageTexts();
    EXPECT_EQ(t.ui.messages[0].text, c.message);
    ExpectDataUntouched();
  }

  t.ui.messages.clear();
  EXPECT_EQ(ReadDataFile(s, dir.file("missing.dat")), 0);
  EXPECT_EQ(ReadHexFile(s, dir.file("missing.hex")), 0);
  EXPECT_EQ(ReadDataFile(s, dir.file("notes.txt")), 0);
  ASSERT_EQ(t.ui.messages.size(), 3u);
  EXPECT_EQ(t.ui.messages[0].caption, "Read Data File");
  EXPECT_EQ(t.ui.messages[1].caption, "Read Hex File");
  EXPECT_EQ(t.ui.messages[1].text, "File does not exist");
  EXPECT_EQ(t.ui.messages[2].text, "This file is not an KTS DAT file");
  ExpectDataUntouched();
}

TEST_F(DataFilesTest, FilesCutInsideTheirDataKeepWhatTheyHoldAndSaySo) {
  ASSERT_TRUE(WriteHexFile(s, dir.file("good.hex"), "", 0));
  std::string hex = dir.read("good.hex");
  dir.write("cut.hex", hex.substr(0, hex.size() - 3));  // one and a half bytes short
  ASSERT_EQ(ReadHexFile(s, dir.file("cut.hex")), 1);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text,
            "Error while reading file.\nThe file has lost data.\nThe available data will be "
            "plotted.");
  // Every byte read is kept, the lone digit included: a re-save writes them all.
  EXPECT_EQ(s.image.length, image.size() - 1);
  EXPECT_EQ(s.data.sampleCount, 2);

  ASSERT_TRUE(WriteDatFile(s, dir.file("good.dat"), "", 0));
  std::string dat = dir.read("good.dat");
  dat.resize(dat.size() - 12);  // the last row loses its last value
  dir.write("cut.dat", dat);
  t.ui.messages.clear();
  ASSERT_EQ(ReadDataFile(s, dir.file("cut.dat")), 1);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text,
            "Error while reading file data.\nThe file has lost data.\nThe available data will be "
            "plotted.");
  EXPECT_EQ(s.data.sampleCount, 1);          // of the two rows the .hex left
  EXPECT_FLOAT_EQ(s.data.row(0)[1], 10.5f);  // minimum and maximum in their slots
  EXPECT_FLOAT_EQ(s.data.row(0)[2], 10.5f);
}

TEST_F(DataFilesTest, SaveWritesTheHexOnlyForNewDataAndCountsAsSavedOnlyWhenDone) {
  s.settings.timeColumns = 1;
  t.ui.files.push_back(dir.file("dat/first.dat"));
  t.ui.texts.push_back("first comment");
  ASSERT_EQ(SaveData(s), 1) << t.ui.messageTexts();
  EXPECT_TRUE(dir.exists("hex/first.hex"));
  EXPECT_TRUE(dir.exists("dat/first.dat"));
  EXPECT_TRUE(s.app.retrievedDataSaved);
  EXPECT_FALSE(s.app.newImageSinceSave);
  EXPECT_EQ(s.settings.recent[0], dir.file("dat/first.dat"));
  EXPECT_EQ(t.ui.fileRequests[0].title, "Select a 'dat' file for storing the data");
  EXPECT_EQ(t.ui.fileRequests[0].defaultName, "001234*.dat");
  EXPECT_EQ(t.ui.textRequests[0].caption, "Comment to be added to data file");
  EXPECT_NE(dir.read("dat/first.dat").find("COMMENT: first comment\n"), std::string::npos);

  // Saved again: no new image, so no .hex.
  ASSERT_EQ(SaveData(s, {dir.file("dat/second.dat"), ""}), 1);
  EXPECT_FALSE(dir.exists("hex/second.hex"));

  // A new retrieval whose .hex name is taken: refusing the overwrite cancels
  // the whole save and the data stay unsaved.
  s.app.newImageSinceSave = true;
  s.app.retrievedDataSaved = false;
  dir.write("hex/third.hex", "keep me");
  t.ui.answers.push_back(Answer::No);
  EXPECT_EQ(SaveData(s, {dir.file("dat/third.dat"), std::string("x")}), 0);
  EXPECT_EQ(dir.read("hex/third.hex"), "keep me");
  EXPECT_FALSE(dir.exists("dat/third.dat"));
  EXPECT_FALSE(s.app.retrievedDataSaved);

  // A .dat that cannot be written: the message, no "saved".
  t.ui.messages.clear();
  EXPECT_EQ(SaveData(s, {dir.file("nowhere/fourth.dat"), std::string()}), 0);
  ASSERT_FALSE(t.ui.messages.empty());
  EXPECT_EQ(t.ui.messages.back().text, "Unable to open the file " + dir.file("nowhere/fourth.dat") +
                                           ".\nThis file may be open in another application");
  EXPECT_FALSE(s.app.retrievedDataSaved);
  EXPECT_EQ(s.settings.recent[0], dir.file("dat/second.dat"));
}

TEST_F(DataFilesTest, EmptyDataAskBeforeAnythingIsWritten) {
  test::ImageBuilder stampsOnly;
  stampsOnly.fill(30).stamp("CLD", MakeTime(2024, 6, 1));
  Load(s, stampsOnly);
  ASSERT_EQ(s.data.sampleCount, 0);
  t.ui.answers.push_back(Answer::No);
  EXPECT_EQ(SaveData(s, {dir.file("dat/e.dat"), std::string()}), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].caption, "Save data to a file");
  EXPECT_EQ(t.ui.messages[0].defaultAnswer, Answer::No);
  EXPECT_FALSE(dir.exists("dat/e.dat"));

  t.ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SaveData(s, {dir.file("dat/e.dat"), std::string()}), 1);
  EXPECT_TRUE(dir.exists("hex/e.hex"));
}

TEST_F(DataFilesTest, TranslatedHeaderIsSixteenBitLittleEndianText) {
  s.settings.languageSupport = true;
  ASSERT_EQ(SaveData(s, {dir.file("dat/zh.dat"), std::string()}), 1);
  const std::string bytes = dir.read("zh.chn.txt");
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("K\0T\0S\0 \0", 8));
  // "Host time <主機時間>": 主 is U+4E3B.
  const std::string host = std::string("H\0o\0s\0t\0 \0t\0i\0m\0e\0 \0<\0", 22) + "\x3B\x4E";
  EXPECT_NE(bytes.find(host), std::string::npos);
  EXPECT_EQ(bytes.size() % 2, 0u);
}

TEST_F(DataFilesTest, LoggersThatRecordTextSaveTheirTextWithItsLineCount) {
  test::ImageBuilder text;
  text.fill(30);
  for (char c : std::string("12:00 10.5\n12:01 10.6\n12:02 10.7\n"))
    text.bytes({static_cast<uint8_t>(c)});
  s.description.configFlags = kConfigAdvanced;
  s.description.rsAdvanced = kRsAsciiOutput;
  Load(s, text);
  ASSERT_TRUE(WriteDatFile(s, dir.file("t.dat"), "", 0));
  const std::string out = dir.read("t.dat");
  EXPECT_NE(out.find("number of samples =      3,"), std::string::npos);
  EXPECT_NE(out.find("Format: ASCII\n"), std::string::npos);
  EXPECT_TRUE(out.ends_with("\n12:00 10.5\n12:01 10.6\n12:02 10.7\n"));

  // Its .hex reads back as the same text image, which the .dat side refuses.
  ASSERT_TRUE(WriteHexFile(s, dir.file("t.hex"), "", 0));
  test::TestSession other;
  other.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadHexFile(other.s, dir.file("t.hex")), 1) << other.ui.messageTexts();
  EXPECT_EQ(other.s.image.length, text.size());
  EXPECT_EQ(other.s.data.sampleCount, 0);
  ASSERT_TRUE(WriteDatFile(other.s, dir.file("u.dat"), "", 0));
  EXPECT_EQ(dir.read("u.dat"), out);
  EXPECT_EQ(ReadDataFile(other.s, dir.file("u.dat")), 0);
}

TEST(StampForms, FollowTheModelAndFirmware) {
  const auto form = [](const char* model, float firmware) {
    LoggerIdentity id;
    id.model = model;
    id.firmware = firmware;
    return StampFormOf(id);
  };
  EXPECT_EQ(form("HV-3070", 2.20f), StampForm::A);
  EXPECT_EQ(form("HV-3070", 3.00f), StampForm::B);
  EXPECT_EQ(form("HV-3070", 3.20f), StampForm::A);
  EXPECT_EQ(form("LV-3070", 3.15f), StampForm::B);
  EXPECT_EQ(form("HKV-3080", 1.00f), StampForm::A);
  EXPECT_EQ(form("QZ-740", 3.00f), StampForm::C);
  EXPECT_EQ(form("JQN-500", 6.00f), StampForm::C);
  EXPECT_EQ(form("XR-3070", 6.00f), StampForm::B);
}

// Loggers that list every stamp alike count samples from 0; their .dat
// stamps read back where they were.
TEST_F(DataFilesTest, StampsCountedFromZeroReadBackAtTheirSamples) {
  test::TestSession b;
  b.s.settings.baseDirectory = dir.path();
  UseLogger(b.s, "LV-3070", 2.00f);
  b.s.description.channelCount = 1;
  test::ImageBuilder one;
  one.fill(30).record({40}).stamp("TIM", MakeTime(2024, 6, 1, 1, 0, 0)).record({44}).record({48});
  Load(b.s, one);
  ASSERT_EQ(b.s.data.stampCount, 1);
  ASSERT_TRUE(WriteDatFile(b.s, dir.file("b.dat"), "", 1));
  const std::string text = dir.read("b.dat");
  EXPECT_NE(text.find("\nTimestamp 2024/06/01 01:00:00 at sample 1\n\n"), std::string::npos)
      << text;

  test::TestSession c;
  c.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(c.s, dir.file("b.dat")), 1) << c.ui.messageTexts();
  ASSERT_EQ(c.s.data.stampCount, 1);
  EXPECT_EQ(c.s.data.stamps[0].sampleIndex, 1);
  EXPECT_EQ(c.s.data.types[0], 'P');
  ASSERT_TRUE(WriteDatFile(c.s, dir.file("c.dat"), "", 1));
  EXPECT_EQ(dir.read("c.dat"), text);
}

TEST_F(DataFilesTest, TideAndWaveSavesWriteWaveAndTideFiles) {
  test::TestSession w;
  w.s.settings.baseDirectory = dir.path();
  UseLogger(w.s, "HKV-3080", 6.00f);
  w.s.description.capabilityWordsRead = true;
  Load(w.s, image);
  ASSERT_EQ(SaveData(w.s, {dir.file("dat/tw.dat"), std::string()}), 1) << w.ui.messageTexts();
  const std::string wave = dir.read("hkv/tw.wave");
  EXPECT_TRUE(wave.starts_with("KTS HKV-3080  6.00 001234 (Windows: 6.01)\n"));
  EXPECT_NE(wave.find("\n\nDate            Time     Depth    H(1/3)    T(1/3)    H(max)    Energy\n"
                      "Date            Time         m         m       sec         m      J/m2\n"),
            std::string::npos);
  const std::string tide = dir.read("hkv/tw.tide");
  EXPECT_TRUE(tide.ends_with("\n2024/Jun/01 00:05:00   11.5000   52.0000    0.0000 \n")) << tide;
}

}  // namespace
}  // namespace kts

namespace kts {
namespace {

TEST_F(DataFilesTest, GainStampsAndLabelledChannelTypesSurviveBothFiles) {
  test::TestSession g;
  g.s.settings.baseDirectory = dir.path();
  UseLogger(g.s, "JQN-500", 6.00f);
  g.s.link.identity.extended = true;
  LoggerDescription& d = g.s.description;
  d.capabilityWordsRead = true;
  d.channelCount = 3;
  d.channelTypes = {'M', 'y', 'J'};
  d.memoryType = 3;
  d.extendedChannelCaps[2] = 0x7E;
  test::ImageBuilder b;
  b.fill(30).record({40, 0x000006, 80}).record({44, 0x000006, 84}).record({48, 0x000002, 88});
  Load(g.s, b);
  ASSERT_EQ(g.s.data.stampCount, 2);  // gain on the first record, and its change
  ASSERT_TRUE(WriteDatFile(g.s, dir.file("g.dat"), "", 2));
  ASSERT_TRUE(WriteHexFile(g.s, dir.file("g.hex"), "", 2));
  const std::string dat = dir.read("g.dat");
  EXPECT_NE(dat.find("at sample 3 of type: GAIN STAMP channel=2 gain=1 (500FTU)\n"),
            std::string::npos)
      << dat;
  EXPECT_NE(dat.find("Memory type: 3 AT45DB642\n"), std::string::npos);
  EXPECT_NE(dat.find("\n                          Vlt    Turb-a Optd_\xB5Mol \n"),
            std::string::npos);

  test::TestSession r;
  r.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(r.s, dir.file("g.dat")), 1) << r.ui.messageTexts();
  EXPECT_EQ(r.s.data.types[0], 'M');
  EXPECT_EQ(r.s.data.types[1], 'y');
  EXPECT_EQ(r.s.data.types[2], 'J');
  ASSERT_EQ(r.s.data.stampCount, 2);
  EXPECT_EQ(r.s.data.stamps[1].gainMask, 2u);
  EXPECT_EQ(r.s.data.stamps[1].gains[1], 1);
  ASSERT_TRUE(WriteDatFile(r.s, dir.file("h.dat"), "", 2));
  EXPECT_EQ(dir.read("h.dat"), dat);

  ASSERT_EQ(ReadHexFile(r.s, dir.file("g.hex")), 1) << r.ui.messageTexts();
  EXPECT_EQ(r.s.data.context.description.extendedChannelCaps[2], 0x7E);
  ASSERT_TRUE(WriteHexFile(r.s, dir.file("h.hex"), "", 2));
  EXPECT_EQ(dir.read("h.hex"), dir.read("g.hex"));
}

TEST_F(DataFilesTest, TideAndWaveDatFilesAreReadFromTheirHexWhenItCanBeFound) {
  test::TestSession w;
  w.s.settings.baseDirectory = dir.path();
  UseLogger(w.s, "HKV-3080", 6.00f);
  w.s.description.capabilityWordsRead = true;
  Load(w.s, image);
  ASSERT_EQ(SaveData(w.s, {dir.file("dat/tw.dat"), std::string()}), 1);
  ASSERT_TRUE(dir.exists("hex/tw.hex"));

  test::TestSession r;
  r.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(r.s, dir.file("dat/tw.dat")), 1);
  EXPECT_EQ(r.s.image.length, image.size());  // the image came from the .hex
  EXPECT_TRUE(r.s.app.hexDataLoaded);

  std::filesystem::remove(dir.file("hex/tw.hex"));
  ASSERT_EQ(ReadDataFile(r.s, dir.file("dat/tw.dat")), 1);
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_TRUE(r.ui.messages[0].text.starts_with(
      "This program was unable to find the extended wave data for this\nHKV logger"));
  EXPECT_EQ(r.s.image.length, 0);
  EXPECT_EQ(r.s.data.sampleCount, 3);
  EXPECT_TRUE(r.s.app.datDataLoaded);
}

TEST_F(DataFilesTest, HexDigitsAreReadHoweverTheLinesAreBroken) {
  ASSERT_TRUE(WriteHexFile(s, dir.file("a.hex"), "", 0));
  std::string text = dir.read("a.hex");
  const size_t data = text.find('\n', text.find(kRuler)) + 1;
  std::string digits;
  for (char c : text.substr(data))
    if (c != '\n') digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // Lower-case pairs, some apart, some with Windows line ends.
  std::string loose;
  for (size_t i = 0; i < digits.size(); i += 2)
    loose += digits.substr(i, 2) + ((i / 2) % 5 == 0 ? "\r\n" : (i / 2) % 3 == 0 ? " " : "");
  dir.write("b.hex", text.substr(0, data) + loose);
  test::TestSession r;
  r.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadHexFile(r.s, dir.file("b.hex")), 1) << r.ui.messageTexts();
  EXPECT_TRUE(r.ui.messages.empty());
  EXPECT_TRUE(
      std::equal(s.image.bytes.get(), s.image.bytes.get() + s.image.length, r.s.image.bytes.get()));
  EXPECT_EQ(r.s.image.length, s.image.length);
}

}  // namespace
}  // namespace kts

namespace kts {
namespace {

// A gain stamp of 24 autoranging channels is a long line; it must come back whole.
TEST_F(DataFilesTest, AGainStampOfEveryChannelReadsBackWhole) {
  test::TestSession g;
  g.s.settings.baseDirectory = dir.path();
  UseLogger(g.s, "QZ-740", 3.00f);
  g.s.description.channelCount = 24;
  g.s.description.channelTypes.fill('y');
  test::ImageBuilder b;
  b.fill(30);
  for (int c = 0; c < 24; ++c) b.word(0x100 + static_cast<uint32_t>(c % 4) * 2);
  Load(g.s, b);
  ASSERT_EQ(g.s.data.stampCount, 1);
  ASSERT_EQ(g.s.data.stamps[0].gainMask, 0xFFFFFFu);
  ASSERT_TRUE(WriteDatFile(g.s, dir.file("g.dat"), "", 0));

  test::TestSession r;
  r.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(r.s, dir.file("g.dat")), 1) << r.ui.messageTexts();
  ASSERT_EQ(r.s.data.stampCount, 1);
  EXPECT_EQ(r.s.data.stamps[0].gainMask, 0xFFFFFFu);
  EXPECT_EQ(r.s.data.stamps[0].gains[23], 3);
  ASSERT_TRUE(WriteDatFile(r.s, dir.file("h.dat"), "", 0));
  EXPECT_EQ(dir.read("h.dat"), dir.read("g.dat"));
}

}  // namespace
}  // namespace kts

namespace kts {
namespace {

TEST_F(DataFilesTest, TheLineLayoutChosenIsKeptForTheNextRun) {
  s.settings.timeColumns = 7;  // a damaged settings file
  WriteFormatsDialog dialog = OpenWriteFormats(s);
  EXPECT_EQ(dialog.lineLayout, 0);
  dialog.lineLayout = 2;
  ASSERT_EQ(AcceptWriteFormats(s, dialog), 1);
  EXPECT_EQ(s.settings.timeColumns, 2);

  test::TestSession next;
  next.s.settings.baseDirectory = dir.path();
  ReadSettings(next.s);
  EXPECT_EQ(next.s.settings.timeColumns, 2);
  EXPECT_EQ(OpenWriteFormats(next.s).lineLayout, 2);
}

}  // namespace
}  // namespace kts

namespace kts {
namespace {

TEST_F(DataFilesTest, ACommentIsOneHeaderLineOfAtMost99Characters) {
  const std::string comment = "first line\nsecond line " + std::string(200, 'c');
  ASSERT_TRUE(WriteDatFile(s, dir.file("c.dat"), comment, 0));
  const std::string kept = "first line second line " + std::string(99 - 23, 'c');
  EXPECT_NE(dir.read("c.dat").find("\nCOMMENT: " + kept + "\nLogger start:"), std::string::npos);
  test::TestSession r;
  r.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadDataFile(r.s, dir.file("c.dat")), 1);
  EXPECT_EQ(r.s.data.comment, kept);
  EXPECT_EQ(r.s.data.sampleCount, 3);
}

}  // namespace
}  // namespace kts
