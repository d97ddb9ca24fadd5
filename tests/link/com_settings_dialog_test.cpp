#include "link/com_settings_dialog.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "test_session.h"

namespace kts {
namespace {

// COM2, COM5 and COM9 present; the logger on COM5, no GPS.
struct ComRig {
  ComRig() {
    PortConfig& p = t.s.ports;
    p.present[2] = p.present[5] = p.present[9] = true;
    p.loggerPort = 5;
    t.s.link.connected = true;
    t.s.linkHooks.saveSettings = [this](Session& s) {
      savedPort = s.ports.loggerPort;
      return true;
    };
  }
  test::TestSession t;
  int savedPort = 0;
};

TEST(ComSettings, ListsThePresentPortsAndTheCurrentChoices) {
  ComRig rig;
  const ComSettingsDialog d = OpenComSettings(rig.t.s);
  EXPECT_EQ(d.loggerPorts, (std::vector<std::string>{"COM2", "COM5", "COM9"}));
  EXPECT_EQ(d.loggerSelection, 1);
  EXPECT_EQ(d.gpsPorts, (std::vector<std::string>{"Not used", "COM2", "COM5", "COM9"}));
  EXPECT_EQ(d.gpsSelection, 0);
  EXPECT_FALSE(d.gpsRateEnabled());
  EXPECT_EQ(d.gpsRates, (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200"}));
  EXPECT_EQ(d.gpsRateSelection, 2);
  EXPECT_FALSE(d.radioDelayEnabled());
  EXPECT_EQ(rig.t.ui.lastStatus(), "Select Communication Port");

  // A device given directly is not one of the COM entries, and stays.
  rig.t.s.ports.loggerDevice = "/dev/pts/7";
  ComSettingsDialog direct = OpenComSettings(rig.t.s);
  EXPECT_EQ(direct.loggerSelection, -1);
  ASSERT_TRUE(ComSettingsOk(rig.t.s, direct));
  EXPECT_EQ(rig.t.s.ports.loggerDevice, "/dev/pts/7");
}

TEST(ComSettings, OkTakesThePortsByPositionAndAsksForAReconnect) {
  ComRig rig;
  ComSettingsDialog d = OpenComSettings(rig.t.s);
  d.loggerSelection = 0;   // COM2
  d.gpsSelection = 3;      // COM9
  d.gpsRateSelection = 3;  // 9600
  d.radioModems = true;
  d.radioDelayText = " 250 ";
  ASSERT_TRUE(ComSettingsOk(rig.t.s, d));
  const PortConfig& p = rig.t.s.ports;
  EXPECT_EQ(p.loggerPort, 2);
  EXPECT_EQ(p.gpsPort, 9);
  EXPECT_EQ(p.gpsBaud, 9600);
  EXPECT_TRUE(p.radioDelayEnabled);
  EXPECT_EQ(p.radioDelayMs, 250);
  EXPECT_EQ(rig.savedPort, 2);
  EXPECT_FALSE(rig.t.s.link.connected);
  EXPECT_EQ(rig.t.s.app.postedCommand, 262);

  // Unticking the box drops the delay whatever the field holds.
  d.radioModems = false;
  d.radioDelayText = "junk";
  ASSERT_TRUE(ComSettingsOk(rig.t.s, d));
  EXPECT_FALSE(rig.t.s.ports.radioDelayEnabled);
  EXPECT_EQ(rig.t.s.ports.radioDelayMs, 0);
}

TEST(ComSettings, BadChoicesKeepTheDialogOpenAndChangeNothing) {
  ComRig rig;
  ComSettingsDialog d = OpenComSettings(rig.t.s);
  d.gpsSelection = 2;  // COM5, the logger's port
  EXPECT_FALSE(ComSettingsOk(rig.t.s, d));
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  EXPECT_EQ(rig.t.ui.messages[0].caption, "Port Configuration Error");
  EXPECT_EQ(rig.t.ui.messages[0].text,
            "The connection to the logger and\n the connection to the GPS system\n  have been "
            "assigned to the same serial port.\n\nCheck your selections.");

  d.gpsSelection = 0;
  d.radioModems = true;
  for (const char* text : {"", "abc", "-5", "20000", "12ms"}) {
    d.radioDelayText = text;
    EXPECT_FALSE(ComSettingsOk(rig.t.s, d)) << text;
  }
  EXPECT_EQ(rig.t.ui.messages.size(), 6u);
  EXPECT_EQ(rig.t.ui.messages.back().text,
            "The radio modem delay must be a whole number of milliseconds from 0 to 10000.");
  EXPECT_EQ(rig.t.s.ports.gpsPort, 0);
  EXPECT_EQ(rig.t.s.ports.loggerPort, 5);
  EXPECT_EQ(rig.savedPort, 0);
  EXPECT_TRUE(rig.t.s.link.connected);
  EXPECT_EQ(rig.t.s.app.postedCommand, 0);
}

}  // namespace
}  // namespace kts
