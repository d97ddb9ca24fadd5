// The deployment log: every setup attempt, resume and retrieval appends one
// entry to the logger's own file ("log/%06d.log", by serial number) and to
// the file of the day ("log/YYYYMMDD.log", by the host date), so that a
// deployment can be traced later without the logger.
#pragma once

#include <string>

#include "core/time_record.h"

namespace kts {

struct Session;

enum DeploymentOutcome : int {
  kOutcomeSetupFailed = 0,
  kOutcomeEnabled = 3,
  kOutcomeResumed = 4,
  kOutcomeRetrieved = 5,
};

// What the retrieval flow knows when it logs a retrieval.
struct RetrievalLogDetails {
  TimeRecord hostTime;
  TimeRecord loggerTime;
  int status = 0;         // the logger status when it was read
  std::string savedPath;  // the file the data went to; empty when not saved
};

// Outcomes 0, 3 and 4 describe the deployment parameters; outcome 5 takes
// its details from `retrieval`, or from the retrieved deployment when none
// is given. A failure shows on the status line only and returns 0: the
// log never stops a setup or a retrieval.
int writeDeploymentLog(Session& s, int outcome, const RetrievalLogDetails* retrieval = nullptr);

}  // namespace kts
