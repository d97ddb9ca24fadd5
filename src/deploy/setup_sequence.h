// The setup screen: what it reads from a logger when it opens, the order of
// confirmations before anything in the logger changes, the erase and its
// wait, the programming commands with their read-back checks, the enable
// command, and the other buttons of the screen. Everything the user sees
// goes through Ui; the screen's state is the SetupScreen of the session.
#pragma once

#include <string>
#include <string_view>

#include "core/time_record.h"
#include "deploy/setup_screen.h"

namespace kts {

struct Session;

inline constexpr int kSetupCommandId = 115;         // "&Setup"
inline constexpr int kFetchLiveReadingsId = 111;    // "&Fetch live readings"

// Opens the screen on a connected logger: 1 open, 0 when reading the logger
// failed (the screen is closed again).
int openSetupScreen(Session& s);

// "Enable logging" / "Resume/Enable" / "Resume" / "STOP logger". When the
// logger has to erase first the outcome is EraseWaiting and the tick
// carries on; the outcome is also left in s.setup.outcome.
SetupOutcome enableLogging(Session& s);

// From the status check after the erase onwards: the programming commands,
// each read back, the times, and the enable command.
SetupOutcome programLogger(Session& s);

// One tick of the main window's timer while the logger erases: advances the
// progress and, on loggers with a capabilities table, asks for the status.
// When the erase has finished (or the progress passes 100) the programming
// runs. Returns 1 while the wait goes on.
int SetupEraseTick(Session& s);

// The other buttons.
int SyncToPc(Session& s);          // "Sync to PC"
int AcceptBatchValues(Session& s);  // "Accept batch values"
void RestartDisplay(Session& s);    // "Restart Display"
void CancelSetup(Session& s);       // Cancel
// After the date-and-time picker or the threshold screen closed.
void SetupAfterPicker(Session& s, bool accepted);
void SetupAfterThreshold(Session& s, bool accepted);
// The range-switching dialog was accepted: write the tables; 0 on failure.
int SetupRangeSwitchingAccepted(Session& s);

// The texts of the screen from the deployment parameters.
void ShowSetupTexts(Session& s);

// Rules of the sequence, on their own so they can be checked.
// A start "now" is ten seconds ahead of the logger clock, on a whole ten.
TimeRecord StartNowTime(const TimeRecord& loggerTime);
// More than 30 minutes apart, either way.
bool ClocksFarApart(const TimeRecord& host, const TimeRecord& logger);
// The status in the reply to "P": after "Logger status" or "Logger started
// in mode"; 7 for anything else or above 6.
int EnableReplyStatus(std::string_view reply);
// The reply as the status line shows it.
std::string EnableStatusText(std::string_view reply, int status, const TimeRecord& start);
// The erase progress added per tick by a logger without a capabilities table.
double OlderEraseIncrement(uint32_t pointer);

}  // namespace kts
