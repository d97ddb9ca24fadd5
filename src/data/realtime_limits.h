// The real-time limits file ("kts.lim"): per quantity the maximum and the
// minimum that scale the real-time and statistics displays.
#pragma once

#include "data/settings.h"

namespace kts {

struct Session;

// "Temperature", "Pressure", … in file order; "" outside 0..17.
const char* LimitKey(int group);

// Reads "kts.lim" over the defaults; a missing file keeps the defaults.
int ReadLimits(Session& s);
// 0 (reason on the status line) when the file could not be written.
int WriteLimits(Session& s);

// The dialog's rules: a minimum raised above the maximum takes the maximum
// with it, a maximum lowered below the minimum takes the minimum with it.
void SetLimitMinimum(RealTimeLimit& limit, int minimum);
void SetLimitMaximum(RealTimeLimit& limit, int maximum);

}  // namespace kts
