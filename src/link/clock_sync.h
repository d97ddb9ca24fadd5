// Setting the logger clock to the host's local time.
#pragma once

namespace kts {

struct Session;

// "Synchronize Clock": waits out second 59, sends the next second with "J",
// reads the clock back with "B" and accepts a difference below 2 seconds;
// otherwise "Logger clock has not set properly.\nTry again." and false.
bool SynchronizeClock(Session& s);

}  // namespace kts
