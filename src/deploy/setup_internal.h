// Parts of the setup sequence shared by its source files.
#pragma once

#include "deploy/setup_screen.h"

namespace kts {

struct Session;

// A logger-side failure: the screen closes, Setup is asked for again and,
// unless told otherwise, the failure is logged.
SetupOutcome CloseFailed(Session& s, bool log);
// Erases again after the logger reported a failed erase.
SetupOutcome RestartErase(Session& s);

}  // namespace kts
