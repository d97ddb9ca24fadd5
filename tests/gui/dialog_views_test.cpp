#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "core/time_math.h"
#include "gui/com_settings_view.h"
#include "gui/date_time_picker_view.h"
#include "gui/derived_units_view.h"
#include "gui/limits_view.h"
#include "gui/qt_ui.h"
#include "gui/range_switching_view.h"
#include "gui/threshold_view.h"
#include "gui_rig.h"
#include "modal.h"
#include "test_session.h"

namespace kts::test {
namespace {

TEST(ComSettingsView, SamePortForLoggerAndGpsKeepsTheDialogOpen) {
  GuiRig r;
  r.s->ports.present[1] = r.s->ports.present[2] = true;
  r.s->ports.loggerPort = 1;
  gui::ComSettingsView view(*r.s, r.window.get());
  EXPECT_EQ(view.windowTitle(), "KTS Logger - COM Settings");
  EXPECT_EQ(view.loggerPorts()->currentText(), "COM1");
  EXPECT_EQ(view.gpsPorts()->currentText(), "Not used");
  EXPECT_FALSE(view.gpsRates()->isEnabled());
  EXPECT_FALSE(view.radioDelay()->isEnabled());
  view.radioModems()->setChecked(true);
  EXPECT_TRUE(view.radioDelay()->isEnabled());
  view.radioModems()->setChecked(false);

  view.gpsPorts()->setCurrentText("COM1");
  EXPECT_TRUE(view.gpsRates()->isEnabled());
  auto box = AnswerBox(QMessageBox::Ok);
  view.accept();
  ASSERT_TRUE(box->seen);
  EXPECT_EQ(box->caption, "Port Configuration Error");
  EXPECT_EQ(view.result(), QDialog::Rejected) << "the dialog stays open";
  EXPECT_EQ(r.s->ports.gpsPort, 0);

  view.gpsPorts()->setCurrentText("COM2");
  view.accept();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_EQ(r.s->ports.gpsPort, 2);
  EXPECT_EQ(r.s->app.postedCommand, 262) << "the main window reconnects";
}

TEST(DerivedUnitsView, AWrongNumberIsReportedAndItsFieldChosen) {
  GuiRig r;
  r.s->settings.derived.salinityOn = true;
  gui::DerivedUnitsView view(*r.s, r.window.get());
  EXPECT_EQ(view.windowTitle(), "KTS Logger - Derived Units Setup");
  EXPECT_TRUE(view.salinity()->isChecked());
  view.show();
  view.field(DerivedUnitsField::Density)->setText("heavy");
  view.depth()->setChecked(true);
  auto box = AnswerBox(QMessageBox::Ok);
  view.accept();
  ASSERT_TRUE(box->seen);
  EXPECT_EQ(box->caption, "Derived Units");
  EXPECT_NE(view.result(), QDialog::Accepted);
  EXPECT_FALSE(r.s->settings.derived.depthOn) << "nothing taken from a refused OK";

  view.field(DerivedUnitsField::Density)->setText("1.0300");
  view.accept();
  EXPECT_EQ(view.result(), QDialog::Accepted);
  EXPECT_TRUE(r.s->settings.derived.depthOn);
  EXPECT_FLOAT_EQ(r.s->settings.derived.density, 1.03f);
}

TEST(LimitsView, MinimumAndMaximumDragEachOther) {
  GuiRig r;
  gui::LimitsView view(*r.s, r.window.get());
  EXPECT_EQ(view.windowTitle(), "Real-time Limits Control Panel");
  EXPECT_EQ(view.maximum(0)->value(), 35);
  EXPECT_EQ(view.minimum(0)->value(), -5);
  view.minimum(0)->setValue(50);
  EXPECT_EQ(view.maximum(0)->value(), 50);
  view.maximum(1)->setValue(-3);
  EXPECT_EQ(view.minimum(1)->value(), -3);
  EXPECT_EQ(r.s->settings.limits[0].maximum, 35) << "only OK takes the values";
  EXPECT_EQ(view.working()[0], (RealTimeLimit{50, 50}));
}

constexpr uint8_t Range(int mode, int gain, int bits = 0) {
  return static_cast<uint8_t>(mode | gain << 3 | bits << 5);
}

// Turbidity autoranging, a fluorometer at gain 2, a thermistor and a UV
// fluorometer at gain 1: three rows, so the scroll bar shows.
LoggerDescription SwitchingChannels() {
  LoggerDescription d;
  d.channelCount = 4;
  const char* letters = "YFTI";
  for (size_t c = 0; c < 4; ++c) d.channelTypes[c] = static_cast<uint8_t>(letters[c]);
  d.extendedChannelCaps.fill(0);
  d.extendedChannelCaps[3] = 0x02;
  d.rangeSwitching[1] = Range(6, 0, 7);
  d.rangeSwitching[2] = Range(0, 2, 6);
  d.rangeSwitching[3] = Range(0, 0);
  d.rangeSwitching[4] = Range(0, 1, 4);
  return d;
}

TEST(RangeSwitchingView, RowsFollowTheModelAndCancelRestores) {
  GuiRig r;
  LoggerDescription d = SwitchingChannels();
  const auto before = d.rangeSwitching;
  RangeSwitchingDialog model(d);
  gui::RangeSwitchingView view(*r.s, model, r.window.get());
  EXPECT_EQ(view.windowTitle(), "KTS Logger - Range switching channel setup");
  ASSERT_NE(view.scrollBar(), nullptr);
  EXPECT_EQ(view.row(0).label->text(), "1 - Turbidity");
  EXPECT_TRUE(view.row(0).autoRanging->isChecked());
  EXPECT_FALSE(view.row(0).ranges->isEnabled());
  EXPECT_FALSE(view.row(1).autoRanging->isEnabled()) << "gain 2 cannot autorange";
  EXPECT_FALSE(view.okButton()->isEnabled());

  view.row(0).fixedGain->setChecked(true);
  EXPECT_TRUE(view.row(0).ranges->isEnabled());
  EXPECT_EQ(d.rangeSwitching[1], Range(6, 1, 7));
  view.row(0).ranges->setCurrentIndex(1);
  EXPECT_EQ(d.rangeSwitching[1], Range(6, 1, 5));
  EXPECT_TRUE(view.okButton()->isEnabled());

  view.scrollBar()->setValue(3);
  EXPECT_EQ(view.row(0).label->text(), "4 - Fluorometry-UV");
  EXPECT_FALSE(view.row(1).label->isVisible() && view.row(1).listed >= 0);

  EXPECT_EQ(model.cancel(), -1);
  EXPECT_EQ(d.rangeSwitching, before);
}

// A session with a logger of three channels whose deployment starts in an
// hour, as the setup screen leaves it.
void PlausibleDeployment(Session& s, FakeClock& clock) {
  clock.realSleeps = false;
  const TimeRecord now = MakeTime(2026, 12, 7, 12, 0, 0);
  clock.set(now);
  DeploymentParameters& d = s.deployment;
  d.loggerTime = d.hostTime = now;
  d.startTime = AddSeconds(now, 3600);
  d.endTime = AddSeconds(now, 86400 + 3600);
  d.samplingPeriod = MakePeriod(0, 1, 0);
  s.link.identity.model = "QZ-740";
  s.link.identity.firmware = 4.5f;
  s.description.channelCount = 3;
  s.description.channelTypes[0] = 'T';
  s.description.channelTypes[1] = 'P';
  s.description.channelTypes[2] = 'C';
}

TEST(DateTimePickerView, ShowsTheDeploymentAndDiscardPutsItBack) {
  GuiRig r;
  PlausibleDeployment(*r.s, r.clock);
  const DeploymentParameters before = r.s->deployment;
  DateTimePickerModel model;
  PickerOpen(*r.s, model);
  gui::DateTimePickerView view(*r.s, model, nullptr, r.window.get());
  EXPECT_EQ(view.windowTitle(), "KTS Logger - Date and time picker");
  EXPECT_EQ(view.start()->dateTime(), QDateTime(QDate(2026, 12, 7), QTime(13, 0, 0)));
  EXPECT_TRUE(view.choice(SamplingChoice::Minute)->isChecked());

  view.end()->setDateTime(QDateTime(QDate(2026, 12, 20), QTime(0, 0, 0)));
  EXPECT_EQ(r.s->deployment.endTime, MakeTime(2026, 12, 20, 0, 0, 0));
  view.choice(SamplingChoice::Hour)->setChecked(true);
  EXPECT_EQ(model.choice, SamplingChoice::Hour);

  view.reject();
  EXPECT_EQ(r.s->deployment.endTime, before.endTime);
  EXPECT_EQ(model.outcome, DialogOutcome::Discarded);
}

TEST(ThresholdView, ALevelThatIsNotANumberKeepsTheScreenOpen) {
  GuiRig r;
  PlausibleDeployment(*r.s, r.clock);
  r.s->deployment.block.startMode = kStartAboveThreshold;
  ThresholdScreen model;
  OpenThresholdScreen(*r.s, model);
  gui::ThresholdView view(*r.s, model, r.window.get());
  EXPECT_EQ(view.windowTitle(), "KTS Logger - Thresholding configuration");
  ASSERT_EQ(view.channels()->count(), 3);
  EXPECT_EQ(view.channels()->itemText(0), "1 - Temperature");
  view.level()->setText("not a number");
  view.accept();
  EXPECT_NE(view.result(), QDialog::Accepted);
  EXPECT_TRUE(view.messageLine()->text().endsWith("Error: The threshold level must be a number."))
      << view.messageLine()->text().toStdString();
  EXPECT_EQ(view.level()->text(), "not a number") << "the typed text stays to be corrected";
  view.reject();
  EXPECT_EQ(model.outcome, DialogOutcome::Discarded);
}

TEST(CommentDialog, AddsTheTypedCommentOrNone) {
  TextRequest request{"Comment to be added to data file", "", "Add this comment", "No comment",
                      "", 99};
  WhenModal([](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    QTest::keyClicks(edit, QString(120, 'x'));
    for (QPushButton* b : w->findChildren<QPushButton*>())
      if (b->text() == "Add this comment") b->click();
  });
  const auto comment = gui::RunTextDialog(nullptr, request);
  ASSERT_TRUE(comment.has_value());
  EXPECT_EQ(*comment, std::string(99, 'x')) << "at most 99 characters are taken";

  WhenModal([](QWidget* w) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
      if (b->text() == "No comment") b->click();
  });
  EXPECT_FALSE(gui::RunTextDialog(nullptr, request).has_value());
}

TEST(QtUi, QuestionsReturnTheChosenButtonAndClosedBoxesNeverSayYes) {
  GuiRig r;
  WhenModal([](QWidget* w) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
      if (b->text() == "Stop transmission") b->click();
  });
  Question q;
  q.caption = "End Real-time Display";
  q.text = "Logger is transmitting information on the external data line.";
  q.buttons = {{1, "Allow transmission to continue"}, {2, "Stop transmission"}};
  q.defaultId = 1;
  EXPECT_EQ(r.ui.ask(q), 2);

  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(r.ui.message({"Save?", "Program Exit", Icon::Warning, Buttons::YesNo, Answer::Yes}),
            Answer::Cancel);
}

}  // namespace
}  // namespace kts::test
