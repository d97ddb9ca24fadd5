// A scripted logger on a pseudo-terminal with a session pointed at it.
#pragma once

#include "scripted_logger.h"
#include "test_session.h"

namespace kts::test {

struct LinkRig {
  explicit LinkRig(LoggerScript script) : logger(std::move(script)), peer(logger.handler()) {
    t.s.ports.loggerDevice = peer.path();
    t.s.ports.currentBaud = 19200;
    t.clock.realSleeps = false;  // the logger answers at once; protocol pauses need not pass
  }
  Session& s() { return t.s; }

  ScriptedLogger logger;
  PtyPeer peer;
  TestSession t;
};

}  // namespace kts::test
