#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "frame/command_ids.h"
#include "gui/application.h"
#include "gui_rig.h"
#include "modal.h"
#include "platform/status_line.h"

namespace kts::test {
namespace {

TEST(MainWindow, StartsWithSettingsFoldersMenusAndStatusBar) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  EXPECT_TRUE(r.base.exists("kts.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(r.base.file("hex")));
  EXPECT_EQ(r.window->windowTitle(), "KTS Data Loggers");
  EXPECT_EQ(r.status(), "Ready");
  EXPECT_FALSE(r.window->statusBarView()->warningShown());
  EXPECT_EQ(r.window->statusBarView()->connection(), "Not connected");
  EXPECT_EQ(r.window->statusBarView()->units(), "Binary");
  EXPECT_TRUE(r.window->timer().isActive());
  EXPECT_EQ(r.window->timer().interval(), 1000);
  EXPECT_TRUE(r.window->action(kCmdShowRangeChanges)->isChecked());

  QStringList bar;
  for (QAction* a : r.window->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"&File", "&Setup", "&Retrieve data", "&Logger functions",
                              "Calibratio&n functions", "&Configuration", "&Micro-Salinometer",
                              "A&bout"}));
  EXPECT_EQ(r.window->action(kCmdReadHex)->text(), "Read a &HEX file");

  // The plot sits in the middle, P pixels wide.
  EXPECT_EQ(r.s->plot.plotWidth, 803);
  EXPECT_NE(r.window->findChild<QWidget*>("plotWidget"), nullptr);
}

TEST(MainWindow, TickShowsTheClock) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  r.clock.set(MakeTime(2026, 12, 7, 5, 6, 7));
  r.window->tick();
  EXPECT_EQ(r.window->statusBarView()->clock(), "2026/Dec/07 05:06:07");
}

TEST(MainWindow, MenuCommandsShowTheirRefusalsAndNotices) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  auto box = AnswerBox(QMessageBox::Ok);
  r.window->action(kCmdRealTimeRestart)->trigger();
  ASSERT_TRUE(box->seen);
  EXPECT_EQ(box->caption, "Restart Real-time Display");
  EXPECT_TRUE(box->text.startsWith("This function is disabled while it is being rewritten."));

  r.window->action(kCmdScreenCapture)->trigger();
  EXPECT_EQ(r.status(), "Screen capture is not yet available in this version.");
  EXPECT_TRUE(r.window->statusBarView()->warningShown());

  r.s->ports.loggerDevice = r.base.file("no-logger-here");
  r.window->action(kCmdCalibrationCoefficients)->trigger();
  EXPECT_TRUE(r.window->popup(MenuPopup::Configuration)->menuAction()->isEnabled())
      << "the menu is free again after the refusal";
  EXPECT_TRUE(r.window->action(kCmdSetup)->isEnabled());
}

TEST(MainWindow, RecentFilesMenuSitsAheadOfReadDat) {
  GuiRig r;
  r.base.write("ktspath.fil", "/data/one.hex\n/data/two.dat\n");
  ASSERT_TRUE(r.start());
  QMenu* recent = r.window->recentMenu();
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent->title(), "&Read a recent file");
  ASSERT_EQ(recent->actions().size(), 2);
  EXPECT_EQ(recent->actions()[0]->text(), " 1 - /data/one.hex");
  const QList<QAction*> file = r.window->popup(MenuPopup::File)->actions();
  EXPECT_EQ(file.indexOf(recent->menuAction()) + 1, file.indexOf(r.window->action(kCmdReadDat)));
  auto box = AnswerBox(QMessageBox::Ok);
  recent->actions()[1]->trigger();
  ASSERT_TRUE(box->seen);
  EXPECT_EQ(box->caption, "Read Data File");
  EXPECT_EQ(recent->actions().size(), 1) << "the missing file left the menu";
}

TEST(MainWindow, ClosingWithUnsavedDataAsksFirst) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  r.s->app.retrievedDataPresent = true;
  auto yes = std::make_shared<SeenBox>();
  auto saving = std::make_shared<bool>(true);
  WhenModal([yes, saving](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    yes->seen = true;
    yes->caption = box->windowTitle();
    yes->text = box->text();
    RejectModalsWhile(saving);  // the save that follows is cancelled
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_FALSE(r.window->close());
  *saving = false;
  ASSERT_TRUE(yes->seen);
  EXPECT_EQ(yes->caption, "Program Exit");
  EXPECT_EQ(yes->text,
            "Retrieved data has not been saved.\nDo you wish to return to save the data now?");
  EXPECT_TRUE(r.window->isVisible());

  auto no = AnswerBox(QMessageBox::No);
  r.window->action(kCmdExit)->trigger();
  EXPECT_TRUE(no->seen);
  EXPECT_FALSE(r.window->isVisible());
  EXPECT_FALSE(r.window->timer().isActive());
}

TEST(MainWindow, LongStatusTextsAreCut) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  ShowStatus(r.ui, std::string(200, 'a'));
  EXPECT_EQ(r.status(), QString(122, 'a') + " ...");
  ShowStatus(r.ui, "Unable to open file: x.hex");
  EXPECT_TRUE(r.window->statusBarView()->warningShown());
  ShowStatus(r.ui, "Ready");
  EXPECT_FALSE(r.window->statusBarView()->warningShown());
}

TEST(MainWindow, ModemSleepItemComesAndGoesAheadOfAbout) {
  GuiRig r;
  r.window->showModemSleepItem(true);
  const QList<QAction*> bar = r.window->menuBar()->actions();
  ASSERT_NE(r.window->action(kCmdModemSleep), nullptr);
  EXPECT_EQ(bar.indexOf(r.window->action(kCmdModemSleep)) + 1,
            bar.indexOf(r.window->action(kCmdAbout)));
  r.window->showModemSleepItem(false);
  EXPECT_EQ(r.window->action(kCmdModemSleep), nullptr);
}

TEST(CommandLine, OptionsAndOneFile) {
  const char* args[] = {"kts-logger", "--base", "/tmp/k", "run.hex"};
  gui::CommandLine c = gui::ParseCommandLine(4, const_cast<char**>(args));
  EXPECT_EQ(c.baseDirectory, "/tmp/k");
  EXPECT_EQ(c.file, "run.hex");
  EXPECT_TRUE(c.error.empty());
  const char* two[] = {"kts-logger", "a.hex", "b.dat"};
  EXPECT_FALSE(gui::ParseCommandLine(3, const_cast<char**>(two)).error.empty());
  const char* dangling[] = {"kts-logger", "--base"};
  EXPECT_EQ(gui::ParseCommandLine(2, const_cast<char**>(dangling)).error,
            "--base needs a directory");
}

}  // namespace
}  // namespace kts::test
