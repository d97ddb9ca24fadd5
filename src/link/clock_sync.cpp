#include "link/clock_sync.h"

#include <cstdlib>

#include "core/session.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "link/commands.h"
#include "link/serial_link.h"

namespace kts {

bool SynchronizeClock(Session& s) {
  // The time sent is one second ahead; at second 59 that would carry into
  // the minute, so wait for the next one (at most about a second).
  TimeRecord now = s.clock.localNow();
  for (int waited = 0; now.second == 59 && waited < 1500; waited += 20) {
    DelayMs(s, 20);
    now = s.clock.localNow();
  }
  TimeRecord set = AddSeconds(now, 1);
  set.millisecond = 0;
  CommSend(s, 1, FormatWireDateTime(set).str());
  const bool read = CommGet(s, 1) == 1;
  TimeRecord logger = s.link.loggerClock;
  logger.millisecond = 0;
  if (read && std::llabs(DiffSeconds(logger, set)) < 2) return true;
  s.ui.message({"Logger clock has not set properly.\nTry again.", "Synchronize Clock", Icon::Error,
                Buttons::Ok, Answer::Ok});
  return false;
}

}  // namespace kts
