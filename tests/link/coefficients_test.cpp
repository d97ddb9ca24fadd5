// Calibration coefficients read from and written to each logger generation,
// against the simulated logger over a real pseudo-terminal.
#include "link/coefficients.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/session.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/protocol.h"
#include "sim_rig.h"

namespace kts {
namespace {

using test::SimRig;

constexpr ChannelCoefficients kThermistor = {0.0035, -0.00025, 2.7e-06, 2.3e-08};
constexpr ChannelCoefficients kIdentity = {0, 1, 0, 0};

// Connects, reads the configuration, then the coefficients.
int ConnectAndRead(SimRig& rig) {
  Session& s = rig.s();
  if (!Connect(s)) return -99;
  if (CommGet(s, 16) != 1) return -98;
  return CommGet(s, 10);
}

// What the logger holds, channel by channel, against the host's set.
void ExpectHostHoldsLoggerSet(SimRig& rig) {
  const std::vector<sim::Coefficients> logger = rig.sim->snapshot().coefficients;
  ASSERT_EQ(static_cast<int>(logger.size()), rig.s().description.channelCount);
  for (size_t k = 0; k < logger.size(); ++k)
    EXPECT_EQ(rig.s().coefficients.c[k], logger[k]) << "channel " << k + 1;
}

int CountCommands(SimRig& rig, const std::string& prefix) {
  const std::vector<std::string> c = rig.sim->commands();
  return static_cast<int>(std::count_if(
      c.begin(), c.end(), [&](const std::string& x) { return x.rfind(prefix, 0) == 0; }));
}

TEST(CoefficientRules, DefaultsFollowTheChannelKindAndGeneration) {
  using G = CalibrationGeneration;
  EXPECT_EQ(DefaultCoefficients('T', G::History, false), kThermistor);
  EXPECT_EQ(DefaultCoefficients('T', G::Single, true), kThermistor);
  EXPECT_EQ(DefaultCoefficients('C', G::Flash, false), kIdentity);
  EXPECT_EQ(DefaultCoefficients('P', G::Single, false), (ChannelCoefficients{0, 100, 0, 0}));
  EXPECT_EQ(DefaultCoefficients('P', G::Single, true), kIdentity);

  LoggerIdentity lv;
  lv.model = "LV-3070";
  LoggerDescription d;
  d.channelTypes[0] = 'P';
  CoefficientSet set;
  set.readFromLogger = true;
  InstallDefaultCoefficients(set, d, lv);
  EXPECT_EQ(set.c[0], (ChannelCoefficients{0, 100, 0, 0}));
  EXPECT_EQ(set.c[1], kIdentity) << "channels the logger does not have";
  EXPECT_FALSE(set.readFromLogger);
}

TEST(CoefficientRules, TheLoggersByteOrderAndFiniteCheck) {
  uint8_t b[32];
  PackCoefficients({1.0, -2.0, 0.0, 0.5}, b);
  EXPECT_EQ(b[6], 0xF0);
  EXPECT_EQ(b[7], 0x3F) << "least significant byte first";
  EXPECT_EQ(b[15], 0xC0);
  const ChannelCoefficients odd = {1e-300, -3.75e7, 2.7e-06, 123.456};
  PackCoefficients(odd, b);
  EXPECT_EQ(UnpackCoefficients(b), odd);
  EXPECT_FALSE(AllFinite({0, NAN, 0, 0}));
  EXPECT_FALSE(AllFinite({0, 0, 0, -INFINITY}));
  EXPECT_TRUE(AllFinite(odd));
}

TEST(CoefficientRules, HistoryHeaderAndUploadRefusals) {
  bool complete = false;
  std::array<int, 6> date{};
  ASSERT_TRUE(ParseHistoryHeader("CAL261107091500", &complete, &date));
  EXPECT_TRUE(complete);
  EXPECT_EQ(date, (std::array<int, 6>{26, 11, 7, 9, 15, 0}));
  ASSERT_TRUE(ParseHistoryHeader("CMM 5 1 2 3 4 5", &complete, &date));
  EXPECT_FALSE(complete);
  EXPECT_EQ(date, (std::array<int, 6>{5, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(ParseHistoryHeader("CAL", &complete, &date)) << "a date cut short reads as zeros";
  EXPECT_FALSE(ParseHistoryHeader("XYZ261107091500", &complete, &date));

  EXPECT_STREQ(UploadRefusalText("F1\x15"),
               "There is no more memory available for further calibration coefficients.");
  EXPECT_STREQ(UploadRefusalText("F0\x15"),
               "There is a channel error in terminating\nthe writing of the calibration "
               "coefficients.");
  EXPECT_STREQ(UploadRefusalText("xxF2xxxxxx\x15"),
               "There is no configuration table loaded in this logger.");
  EXPECT_EQ(UploadRefusalText("F2xxxxxxxx\x15"), nullptr) << "only the 8 characters before NAK";
  EXPECT_EQ(UploadRefusalText("F1"), nullptr) << "no NAK";
  EXPECT_EQ(UploadRefusalText("\x15"), nullptr);
}

TEST(CoefficientRules, TheFlashAreaLimit) {
  EXPECT_FALSE(FlashRecordFits(64700, 10)) << "64,700 + 330 + 6 reaches 65,025";
  EXPECT_TRUE(FlashRecordFits(64700 - 12, 10));
  EXPECT_FALSE(FlashRecordFits(65025 - 72, 2)) << "ending exactly at the limit is refused";
  EXPECT_TRUE(FlashRecordFits(65025 - 73, 2));
}

// --- Extended loggers --------------------------------------------------------

TEST(ExtendedCoefficients, TheCurrentRecordIsReadOncePerLogger) {
  SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1) << rig.t.ui.statusTexts();
  ExpectHostHoldsLoggerSet(rig);
  EXPECT_TRUE(s.coefficients.readFromLogger);
  EXPECT_FALSE(s.coefficients.notCalibrated);
  EXPECT_NE(s.coefficients.date[1], 0) << "the record's month";
  EXPECT_TRUE(rig.t.ui.sawStatus("Reading calibration data "));
  EXPECT_EQ(rig.t.ui.lastStatus(), "Calibration Coefficients read successfully");
  EXPECT_FALSE(rig.t.ui.statuses.back().warningIcon);
  EXPECT_FALSE(s.link.reread.coefficients);

  rig.sim->clearExchanges();
  EXPECT_EQ(CommGet(s, 10), 1);
  EXPECT_TRUE(rig.sim->commands().empty()) << "read again only for a new logger";
}

TEST(ExtendedCoefficients, AnUncalibratedOrDamagedLoggerGetsDefaults) {
  for (const char* setting : {"calibration_records = 0", "coefficients.2 = 1 nan 0 0"}) {
    SCOPED_TRACE(setting);
    SimRig rig("extended", {"records = 10", setting});
    ASSERT_TRUE(rig.ok()) << rig.error;
    Session& s = rig.s();
    s.coefficients.c[0] = {9, 9, 9, 9};
    EXPECT_EQ(ConnectAndRead(rig), 0);
    EXPECT_EQ(s.coefficients.c[0], kIdentity) << "conductivity";
    EXPECT_EQ(s.coefficients.c[1], kThermistor) << "temperature";
    EXPECT_EQ(s.coefficients.c[2], kIdentity) << "pressure";
    EXPECT_TRUE(s.coefficients.notCalibrated);
    EXPECT_EQ(rig.t.ui.lastStatus(), "Logger not yet calibrated - using defaults");
    EXPECT_TRUE(rig.t.ui.statuses.back().warningIcon);
    EXPECT_TRUE(s.link.reread.coefficients) << "read again next time";
  }
}

TEST(ExtendedCoefficients, AnUploadIsStoredAndReadsBack) {
  SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1);
  const int before = rig.sim->snapshot().historyRecords;
  s.coefficients.c[0] = {0.125, 1.0000001, -3e-9, 0};
  s.coefficients.c[2] = {-10.25, 2.5e7, 0, 1e-12};
  const auto written = s.coefficients.c;
  rig.sim->clearExchanges();

  ASSERT_EQ(CommSend(s, 11), 1) << rig.t.ui.statusTexts() << rig.t.ui.messageTexts();
  EXPECT_EQ(rig.t.ui.lastStatus(), "Calibration successful");
  EXPECT_TRUE(rig.t.ui.sawStatus("Writing calibration data for channel 3"));
  EXPECT_TRUE(rig.t.ui.messages.empty());
  const std::vector<std::string> c = rig.sim->commands();
  ASSERT_GE(c.size(), 5u);
  EXPECT_EQ(c.front(), "U000002");
  EXPECT_EQ(c[1], "U010022") << "channel 1, 33 bytes and the check byte";
  EXPECT_EQ(rig.sim->snapshot().historyRecords, before + 1);
  ExpectHostHoldsLoggerSet(rig);

  // The written set is read back as the logger's current one.
  EXPECT_TRUE(s.link.reread.coefficients);
  s.coefficients.c[0] = kIdentity;
  ASSERT_EQ(CommGet(s, 10), 1);
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(s.coefficients.c[k], written[k]);
}

TEST(ExtendedCoefficients, RefusedUploadsNameTheirReason) {
  struct Case {
    int fault;
    const char* status;
    const char* text;
  };
  const Case cases[] = {
      {1, "Start of calibration procedure send error",
       "There is no more memory available for further calibration coefficients."},
      {2, "Start of calibration procedure send error",
       "There is no configuration table loaded in this logger."},
      {0, "End of calibration procedure send error",
       "There is a channel error in terminating\nthe writing of the calibration coefficients."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.fault);
    SimRig rig("extended", {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    Session& s = rig.s();
    ASSERT_EQ(ConnectAndRead(rig), 1);
    sim::Faults f;
    f.uploadFault = k.fault;
    rig.sim->setFaults(f);
    EXPECT_EQ(CommSend(s, 11), 0);
    EXPECT_TRUE(rig.t.ui.sawStatus(k.status)) << rig.t.ui.statusTexts();
    ASSERT_EQ(rig.t.ui.messages.size(), 1u) << rig.t.ui.messageTexts();
    EXPECT_EQ(rig.t.ui.messages[0].text, k.text);
    EXPECT_EQ(rig.t.ui.messages[0].caption, "Calibration Error");
    EXPECT_TRUE(s.link.reread.coefficients);
    if (k.fault == 0) {
      // The interrupted upload left an incomplete newest record: it is not
      // taken for the calibration.
      EXPECT_EQ(CommGet(s, 10), 0);
      EXPECT_EQ(rig.t.ui.lastStatus(), "Logger not yet calibrated - using defaults");
    }
  }
}

TEST(ExtendedCoefficients, ASilentLoggerFailsTheUploadWithoutACode) {
  SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_EQ(ConnectAndRead(rig), 1);
  sim::Faults f;
  f.silentAfter = 0;
  rig.sim->setFaults(f);
  rig.s().reply.set("F1\x15");  // an older refusal must not be shown again
  EXPECT_EQ(CommSend(rig.s(), 11), 0);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Start of calibration procedure send error");
  EXPECT_TRUE(rig.t.ui.statuses.back().warningIcon);
  EXPECT_TRUE(rig.t.ui.messages.empty());
}

// --- Older QZ loggers: the flash calibration area -----------------------------

TEST(FlashCoefficients, TheNewestOfThreeRecordsIsInstalled) {
  SimRig rig("qz", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1) << rig.t.ui.messageTexts();
  ExpectHostHoldsLoggerSet(rig);
  EXPECT_EQ(s.coefficients.qzOffset, 3 * 72);
  const std::vector<std::string> c = rig.sim->commands();
  EXPECT_EQ(c.back(), "IDB000100D8000100") << "the peek after the third record";
  EXPECT_EQ(rig.t.ui.lastStatus(), "Calibration Coefficients read successfully");
}

TEST(FlashCoefficients, ErasedFlashMeansNotCalibrated) {
  SimRig rig("qz", {"records = 10", "calibration_records = 0"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  EXPECT_EQ(ConnectAndRead(rig), 0);
  EXPECT_EQ(s.coefficients.c[0], kThermistor);
  EXPECT_EQ(s.coefficients.c[1], kIdentity);
  EXPECT_EQ(s.coefficients.qzOffset, 0);
  EXPECT_TRUE(s.coefficients.notCalibrated);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Logger not yet calibrated - using defaults");
}

TEST(FlashCoefficients, BadCheckBytesAreReadAgainFiveTimesAtMost) {
  {
    SimRig rig("qz", {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    Session& s = rig.s();
    ASSERT_TRUE(Connect(s));
    ASSERT_EQ(CommGet(s, 16), 1);
    sim::Faults f;
    f.badCheckReads = {1, 2, 6, 7, 8, 9};  // the first header twice, a channel four times
    rig.sim->setFaults(f);
    EXPECT_EQ(CommGet(s, 10), 1) << rig.t.ui.messageTexts();
    ExpectHostHoldsLoggerSet(rig);
  }
  {
    SimRig rig("qz", {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    Session& s = rig.s();
    ASSERT_TRUE(Connect(s));
    ASSERT_EQ(CommGet(s, 16), 1);
    sim::Faults f;
    f.badCheckReads = {2, 3, 4, 5, 6};  // a channel's entry, five times over
    rig.sim->setFaults(f);
    rig.sim->clearExchanges();
    EXPECT_EQ(CommGet(s, 10), 0);
    ASSERT_EQ(rig.t.ui.messages.size(), 1u);
    EXPECT_EQ(rig.t.ui.messages[0].text, "Download Error in reading calibration coefficients");
    EXPECT_EQ(rig.t.ui.messages[0].caption, "Calibration");
    EXPECT_EQ(CountCommands(rig, "I"), 6) << "one header, five tries of the entry";
    EXPECT_EQ(s.coefficients.c[0], kThermistor) << "defaults in the meantime";
    EXPECT_FALSE(s.coefficients.notCalibrated) << "the logger is calibrated; it was not read";
    EXPECT_TRUE(s.link.reread.coefficients);
  }
}

TEST(FlashCoefficients, AnAppendedRecordIsVerifiedByReadingItBack) {
  SimRig rig("qz", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1);
  s.coefficients.c[0] = {3.3e-3, -2.4e-4, 2.5e-6, 1.25e-8};
  s.coefficients.c[1] = {-1.5, 101.25, 0, 0};
  const auto written = s.coefficients.c;
  rig.sim->clearExchanges();

  ASSERT_EQ(CommSend(s, 11), 1) << rig.t.ui.messageTexts();
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  EXPECT_EQ(rig.t.ui.messages[0].text, "Writing of calibration coefficients successful.");
  EXPECT_EQ(rig.t.ui.messages[0].caption, "Calibration");
  EXPECT_EQ(s.coefficients.qzOffset, 4 * 72);
  EXPECT_EQ(s.coefficients.c[0], written[0]);
  EXPECT_EQ(s.coefficients.c[1], written[1]);
  ExpectHostHoldsLoggerSet(rig);

  const std::vector<std::string> c = rig.sim->commands();
  EXPECT_EQ(c.front(), "B");
  EXPECT_EQ(c[1].substr(0, 9), "J26120712") << "the logger clock set to the host's";
  std::vector<std::string> writes;
  for (const std::string& x : c)
    if (x.rfind("!C", 0) == 0) writes.push_back(x);
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].size(), 20u);
  EXPECT_EQ(writes[0].substr(0, 8), "!CD80006") << "at offset 216, six header bytes";
  EXPECT_EQ(writes[0].substr(8, 8), "26120712") << "dated by the logger clock";
  EXPECT_EQ(writes[1].size(), 72u);
  EXPECT_EQ(writes[1].substr(0, 8), "!CDE0020");
  EXPECT_EQ(writes[2].substr(0, 8), "!CFF0020");
  EXPECT_EQ(writes[1].substr(8),
            "462575029A086B3F691D554D10752FBFF168E388B5F8C43E48AFBC9AF2D74A3E");
}

TEST(FlashCoefficients, AWriteThatDoesNotReadBackFails) {
  SimRig rig("qz", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1);
  s.coefficients.c[1] = {7, 7, 7, 7};
  // "B", "J", "A", the twelve reads of the three records and their peeks,
  // "B", the header: the logger hears no more after that.
  sim::Faults f;
  f.silentAfter = 17;
  rig.sim->setFaults(f);
  EXPECT_EQ(CommSend(s, 11), 0);
  const std::vector<uint8_t> flash = rig.sim->readMemory(0x10000 + 216, 7);
  EXPECT_NE(flash[0], 0xFF) << "the header was programmed";
  EXPECT_EQ(flash[6], 0xFF) << "the channels were not";
  ASSERT_FALSE(rig.t.ui.messages.empty());
  EXPECT_EQ(rig.t.ui.messages.back().text,
            "Error in writing calibration coefficients.\nTry again.");
  EXPECT_TRUE(s.link.reread.coefficients);
}

// --- The oldest loggers: one set behind "Z" ----------------------------------

TEST(SingleSetCoefficients, TheSetIsReadFromTheZReply) {
  for (const char* profile : {"hv140", "lv"}) {
    SCOPED_TRACE(profile);
    SimRig rig(profile, {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    ASSERT_EQ(ConnectAndRead(rig), 1) << rig.t.ui.statusTexts();
    ExpectHostHoldsLoggerSet(rig);
    EXPECT_EQ(CountCommands(rig, "Z"), 1);
  }
}

TEST(SingleSetCoefficients, AnUncalibratedLoggerGetsItsKindsDefaults) {
  const std::pair<const char*, ChannelCoefficients> cases[] = {{"lv", {0, 100, 0, 0}},
                                                               {"hv2", kThermistor}};
  for (const auto& [profile, expected] : cases) {
    SCOPED_TRACE(profile);
    SimRig rig(profile, {"records = 10", "calibration_records = 0"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    EXPECT_EQ(ConnectAndRead(rig), 0);
    EXPECT_EQ(rig.s().coefficients.c[0], expected);
    EXPECT_EQ(rig.t.ui.lastStatus(), "Logger not yet calibrated - using defaults");
  }
}

TEST(SingleSetCoefficients, ALoggerThatNeverAnswersIsAskedFiveTimes) {
  SimRig rig("lv", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  ASSERT_EQ(CommGet(s, 16), 1);
  sim::Faults f;
  f.silentAfter = 0;
  rig.sim->setFaults(f);
  EXPECT_EQ(CommGet(s, 10), 0);
  EXPECT_EQ(s.coefficients.c[0], (ChannelCoefficients{0, 100, 0, 0}));
  EXPECT_TRUE(s.link.reread.coefficients);
}

TEST(SingleSetCoefficients, AWrittenSetIsComparedWithWhatReadsBack) {
  SimRig rig("lv", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1);
  s.coefficients.c[0] = {-10.5, 0.03125, 1e-9, 0};
  rig.sim->clearExchanges();
  ASSERT_EQ(CommSend(s, 11), 1) << rig.t.ui.messageTexts();
  EXPECT_EQ(rig.t.ui.messages.back().text, "Writing of calibration coefficients successful.");
  const std::vector<std::string> c = rig.sim->commands();
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].size(), 33u);
  EXPECT_EQ(c[0][0], 'Y');
  EXPECT_EQ(c[1], "Z") << "read back even though the set was read before";
  ExpectHostHoldsLoggerSet(rig);
  EXPECT_EQ(s.coefficients.c[0], (ChannelCoefficients{-10.5, 0.03125, 1e-9, 0}));
}

TEST(SingleSetCoefficients, AWriteTheLoggerNeverConfirmsFails) {
  SimRig rig("lv", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_EQ(ConnectAndRead(rig), 1);
  s.coefficients.c[0] = {1, 2, 3, 4};
  sim::Faults f;
  f.silentAfter = 1;  // hears "Y", then nothing
  rig.sim->setFaults(f);
  EXPECT_EQ(CommSend(s, 11), 0);
  EXPECT_EQ(rig.t.ui.messages.back().text,
            "Error in writing calibration coefficients.\nTry again.");
  EXPECT_EQ(rig.t.ui.messages.back().caption, "Calibration");
  EXPECT_TRUE(s.link.reread.coefficients);
}

// --- Every logger the simulator knows -----------------------------------------

TEST(EveryProfile, CoefficientsWrittenAreReadBack) {
  for (const std::string& profile : sim::BuiltinProfileNames()) {
    SCOPED_TRACE(profile);
    SimRig rig(profile, {"records = 10"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    Session& s = rig.s();
    ASSERT_EQ(ConnectAndRead(rig), 1) << rig.t.ui.statusTexts() << rig.t.ui.messageTexts();
    ExpectHostHoldsLoggerSet(rig);
    s.coefficients.c[0][0] += 0.5;
    s.coefficients.c[0][3] = 1.5e-12;
    const auto written = s.coefficients.c;
    ASSERT_EQ(CommSend(s, 11), 1) << rig.t.ui.statusTexts() << rig.t.ui.messageTexts();
    s.link.reread.coefficients = true;
    s.coefficients.c[0] = kIdentity;
    ASSERT_EQ(CommGet(s, 10), 1);
    EXPECT_EQ(s.coefficients.c[0], written[0]);
    ExpectHostHoldsLoggerSet(rig);
  }
}

}  // namespace
}  // namespace kts
