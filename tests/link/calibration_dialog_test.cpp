// The calibration dialog's model: fields, clipboard import, validation and
// the decision to write.
#include "link/calibration_dialog.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "fake_clock.h"
#include "platform/serial_port.h"
#include "scripted_ui.h"

namespace kts {
namespace {

class FakeClipboard : public Clipboard {
 public:
  Result result = Result::Ok;
  std::string text;
  Result getText(std::string& out) override {
    if (result == Result::Ok) out = text;
    return result;
  }
  Result setText(const std::string& t) override {
    text = t;
    return Result::Ok;
  }
};

// An extended logger with the given channel letters; the dialog shows the
// set already held, so no logger is needed.
struct DialogRig {
  test::ScriptedUi ui;
  test::FakeClock clock;
  TermiosOpener opener;
  FakeClipboard clipboard;
  Session s{ui, clock, opener, clipboard};
  CalibrationDialog d;

  explicit DialogRig(const std::string& letters = "CTPO", int status = 0) {
    s.link.identity.model = "QZ-740";
    s.link.identity.firmware = 6.51f;
    s.link.identity.serial = 1234;
    s.link.identity.extended = true;
    s.link.status = status;
    s.description.channelCount = static_cast<int>(letters.size());
    for (size_t k = 0; k < letters.size(); ++k) {
      s.description.channelTypes[k] = static_cast<uint8_t>(letters[k]);
      s.coefficients.c[k] = {0.5 * static_cast<double>(k), 1.0, 0.0, 0.0};
    }
    s.coefficients.readFromLogger = true;
    OpenCalibrationDialog(s, d);
  }
};

TEST(CalibrationDialog, OpensOnTheSetHeldWithFourRowsAtATime) {
  DialogRig rig("CTPOXH");
  const CalibrationDialog& d = rig.d;
  EXPECT_EQ(d.caption, "KTS Logger - Calibration");
  EXPECT_EQ(d.identityText, "KTS QZ-740  6.51 001234");
  EXPECT_TRUE(rig.s.link.reread.coefficients) << "opening asks for a fresh read";
  EXPECT_EQ(d.channels, 6);
  EXPECT_EQ(d.visibleRows, 4);
  EXPECT_TRUE(d.scrollBarVisible);
  EXPECT_EQ(d.scrollMinimum, 1);
  EXPECT_EQ(d.scrollMaximum, 3);
  EXPECT_EQ(d.fields[1][0], "0.500000000000000");
  EXPECT_EQ(d.fields[1][1], "1.000000000000000");
  EXPECT_EQ(d.rowLabels[1].find('\t'), std::string::npos);
  EXPECT_EQ(d.rowLabels[1].substr(0, 2), "2 ");
  EXPECT_TRUE(d.setButtonEnabled);
  EXPECT_EQ(d.setButtonText, "Set calibration");

  ScrollCalibrationDialog(rig.d, 3);
  EXPECT_EQ(rig.d.topChannel, 2);
  ScrollCalibrationDialog(rig.d, 99);
  EXPECT_EQ(rig.d.topChannel, 2) << "never past the last four channels";

  DialogRig small("TP");
  EXPECT_EQ(small.d.visibleRows, 2);
  EXPECT_FALSE(small.d.scrollBarVisible);
}

TEST(CalibrationDialog, ALoggerThatIsNotIdleCannotBeCalibrated) {
  for (int status : {1, 2, 3, 5, 6, 7}) {
    DialogRig rig("CT", status);
    EXPECT_FALSE(rig.d.setButtonEnabled) << status;
    EXPECT_EQ(rig.d.setButtonText, "Logging");
    EXPECT_FALSE(rig.d.clipboardButtonEnabled);
    EXPECT_EQ(rig.d.clipboardButtonText, "Logging: Stop from 'Setup'");
    rig.d.fields[0][0] = "5";
    EXPECT_NE(SetCalibration(rig.s, rig.d), CalibrationOutcome::Accepted);
    EXPECT_EQ(rig.s.coefficients.c[0][0], 0.0);
  }
  for (int status : {0, 4, 8}) EXPECT_TRUE(DialogRig("CT", status).d.setButtonEnabled) << status;
}

TEST(CalibrationDialog, AClipboardColumnFillsTheFocusedRow) {
  DialogRig rig;
  FocusCalibrationField(rig.d, 2, 3);
  rig.clipboard.text = "12.5\r\n-0.25\r\n";
  LoadColumnFromClipboard(rig.s, rig.d);
  EXPECT_EQ(rig.d.fields[2][0], "12.500000000000000");
  EXPECT_EQ(rig.d.fields[2][1], "-0.250000000000000");
  EXPECT_EQ(rig.d.fields[2][2], "0.000000000000000") << "left as it was";
  ASSERT_EQ(rig.ui.messages.size(), 1u);
  EXPECT_EQ(rig.ui.messages[0].text, "WARNING\nOnly 2 items read from clipboard.");
  EXPECT_EQ(rig.ui.messages[0].caption, "Copy Clipboard");

  rig.ui.messages.clear();
  rig.clipboard.text = "1 2 3 4 5 6";
  LoadColumnFromClipboard(rig.s, rig.d);
  EXPECT_TRUE(rig.ui.messages.empty());
  EXPECT_EQ(rig.d.fields[2][3], "4.000000000000000");

  rig.clipboard.text = "Temperature 1 2 3 4";
  LoadColumnFromClipboard(rig.s, rig.d);
  EXPECT_EQ(rig.ui.messages.back().text, "WARNING\nNo items read from clipboard.");
  EXPECT_EQ(rig.d.fields[2][0], "1.000000000000000") << "nothing changed";
}

TEST(CalibrationDialog, ClipboardFailuresAndHostileTexts) {
  DialogRig rig;
  rig.clipboard.result = Clipboard::Result::Unavailable;
  LoadColumnFromClipboard(rig.s, rig.d);
  EXPECT_EQ(rig.ui.messages.back().caption, "Open Clipboard");
  EXPECT_EQ(rig.ui.messages.back().text,
            "No clipboard available.\nAnother application holds the clipboard.\nRelease the "
            "clipboard from the other application and try again.");
  rig.clipboard.result = Clipboard::Result::Empty;
  LoadColumnFromClipboard(rig.s, rig.d);
  EXPECT_EQ(rig.ui.messages.back().caption, "Read Clipboard");
  EXPECT_EQ(rig.ui.messages.back().text,
            "No data available on the clipboard.\nLoad the clipboard with calibration data and "
            "try again.");

  double v[4];
  EXPECT_EQ(ScanClipboardNumbers("nan 1 2 3", v), 0) << "not a usable coefficient";
  EXPECT_EQ(ScanClipboardNumbers("1e999 1", v), 0);
  EXPECT_EQ(ScanClipboardNumbers("1.5abc 2", v), 1);
  EXPECT_EQ(ScanClipboardNumbers("+3 -4e-3\t5E2", v), 3);
  EXPECT_EQ(v[0], 3.0);
  EXPECT_EQ(v[1], -4e-3);
  EXPECT_EQ(v[2], 500.0);
  EXPECT_EQ(ScanClipboardNumbers(std::string(100000, '9'), v), 0) << "too large to be a double";
  EXPECT_EQ(ScanClipboardNumbers(std::string("\0 1", 3), v), 0);
  EXPECT_EQ(ScanClipboardNumbers("--1 +-2", v), 0);
}

TEST(CalibrationDialog, EveryFieldMustBeANumber) {
  double v = 0;
  EXPECT_TRUE(ParseCoefficientText("  -2.5e-3 ", &v));
  EXPECT_EQ(v, -2.5e-3);
  for (const char* bad : {"", " ", "abc", "1.5x", "nan", "inf", "1e400", "1 2", "--1"})
    EXPECT_FALSE(ParseCoefficientText(bad, &v)) << '"' << bad << '"';

  DialogRig rig("CTPOXH");
  rig.d.fields[4][2] = "0.0.1";
  EXPECT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Invalid);
  EXPECT_EQ(rig.ui.messages.back().text, "Coefficient 3 for channel 5 is not a valid number");
  EXPECT_EQ(rig.ui.messages.back().caption, "Calibration");
  EXPECT_TRUE(rig.ui.questions.empty());
}

TEST(CalibrationDialog, AnUnchangedSetIsNotWrittenAgain) {
  DialogRig rig;
  EXPECT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Unchanged);
  EXPECT_EQ(rig.ui.messages.back().text,
            "Calibration coefficients unchanged.\nNot duplicated in the logger.");

  // A logger that is not calibrated gets even the defaults written.
  rig.s.coefficients.notCalibrated = true;
  rig.ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Accepted);
}

TEST(CalibrationDialog, ValuesLeftAsShownKeepTheirFullPrecision) {
  DialogRig rig;
  rig.s.coefficients.c[1] = {3.354016e-3, 2.569850e-4, 2.620131e-6, 6.383091e-8};
  OpenCalibrationDialog(rig.s, rig.d);
  EXPECT_EQ(rig.d.fields[1][3], "0.000000063830910") << "what the field shows";
  rig.d.fields[0][0] = "0.25";
  rig.ui.answers.push_back(Answer::Yes);
  ASSERT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Accepted);
  EXPECT_EQ(rig.s.coefficients.c[1][3], 6.383091e-8) << "not cut to 15 decimals";
  EXPECT_EQ(rig.s.coefficients.c[0][0], 0.25);
}

TEST(CalibrationDialog, OnlyYesReplacesTheCurrentSet) {
  DialogRig rig;
  rig.d.fields[3][1] = "2.5";
  rig.ui.answers.push_back(Answer::No);
  EXPECT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Declined);
  const Message& q = rig.ui.messages.back();
  EXPECT_EQ(q.text, "Are you sure you wish to load these constants?");
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(q.defaultAnswer, Answer::No);
  EXPECT_EQ(rig.s.coefficients.c[3][1], 1.0);

  rig.ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(SetCalibration(rig.s, rig.d), CalibrationOutcome::Accepted);
  EXPECT_EQ(rig.s.coefficients.c[3][1], 2.5);
}

}  // namespace
}  // namespace kts
