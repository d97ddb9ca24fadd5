// Changing the rate the logger and the host talk at: the speed-up before a
// retrieval and the return to the normal rate afterwards.
#pragma once

#include <string>

#include "link/logger_identity.h"

namespace kts {

struct Session;

// The "!E" command that moves a logger to a rate, or "" when it cannot.
// QZ-family and extended loggers: "!E%02X" with 1 for 115200, else
// 288000 / baud − 2. Older loggers: HV models from 2.15 up to 3.00 and from
// 3.15, LV models from 3.15: "!E00" for 28800, "!E01" for any other rate.
std::string SpeedChangeCommand(const LoggerIdentity& id, int baud);

// Connects at the present rate, sends the change, waits 200 ms and
// reconnects at the new rate. Returns the connected flag; a logger that
// cannot change (or a rate the port cannot take) is left as it is.
bool SetLoggerSpeed(Session& s, int baud);

// Raises the rate to the logger's express rate (radio delay off), falling
// back to the rate before, after a 10-second countdown when needed. False
// when the logger no longer answers: the retrieval dialog is told so.
bool SpeedUpForRetrieval(Session& s);

// Back to the rate before the speed-up; restarts the one-second timer and
// enables the logger commands again.
void RestoreSpeedAfterRetrieval(Session& s);

}  // namespace kts
