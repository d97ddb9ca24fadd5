// Whether the line can carry a deployment's real-time output: each sample
// goes out as a record while the logger samples, at the port's rate.
#pragma once

namespace kts {

struct Session;

// 1 when real-time output may go ahead (or is off); 0 after telling the
// user what the rate would have to exceed.
int realTimeBaudSufficient(Session& s);

}  // namespace kts
