// The two numbered dispatchers through which the rest of the system talks
// to the logger: CommGet(n) for queries, CommSend(n) for settings and
// actions. The numbers are the system's own; other code names a command by
// its text and number.
#pragma once

#include <cstdint>
#include <string_view>

namespace kts {

struct Session;

// Queries. 1 success, 0 failure unless stated; n above 40 or not in the
// table shows "Unknown CommGet command" titled "DEBUG" and returns 0.
int CommGet(Session& s, int n);

// Settings and actions. 1 success, 0 failure; cases not in the table (and n
// outside 1..34) only wait 50 ms and return 1. `parameter` carries the
// date-time or duration digits where a case takes them from its caller
// (1: the time to set); the others take their values from the session.
int CommSend(Session& s, int n, std::string_view parameter = {});

// The averaging length is the averaging period in readings: × 6 on most
// loggers, × the sampling rate (1, 2 or 4 Hz; 4 when not known) on loggers
// that sample at those rates. The same rule reads the length back.
uint32_t AveragingMultiplier(const Session& s);

// The expected length of a fetch reply: 8 by default; with "F00",
// 3 × channels + 13, or 12 × channels + 22 for engineering-units output.
int FetchReplyLength(const Session& s);

}  // namespace kts
