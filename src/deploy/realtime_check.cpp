#include "deploy/realtime_check.h"

#include <algorithm>

#include "core/session.h"
#include "core/text.h"
#include "deploy/deployment_rules.h"

namespace kts {

int realTimeBaudSufficient(Session& s) {
  const DeploymentParameters& d = s.deployment;
  if (d.realTimeOutput != 1) return 1;
  const float perSecond = d.block.samplingMode == kProfilingMode
                              ? 60.0f
                              : 10.0f / static_cast<float>(SamplingSeconds(d.samplingPeriod));
  const int64_t channels = DeploymentChannels(s);
  const auto engineering = static_cast<uint32_t>(static_cast<float>(channels * 10 + 22) * perSecond);
  const auto binary = static_cast<uint32_t>(static_cast<float>(channels * 3 + 13) * perSecond);
  const uint32_t baud = static_cast<uint32_t>(std::max(s.ports.currentBaud, 0));
  const char* caption = "Real-time output channel capacity insufficient";
  if (engineering >= baud && binary >= baud) {
    s.ui.message({Format("Real-time output from this logger using the current Sampling Period\n"
                         "requires a default baud rate greater than %u.\n\nReturn to the 'Setup' "
                         "window and change the Sampling Period\nor increase the default baud rate "
                         "using the 'Set default baud rate' item under the 'Logger functions' menu.",
                         binary),
                  caption, Icon::Error, Buttons::Ok, Answer::Ok});
    return 0;
  }
  if (engineering >= baud && (d.block.oemFlags & 4)) {
    s.ui.message({Format("Real-time output from this logger using the Engineering units format\n"
                         "requires a default baud rate greater than %u.\n\nChange the output "
                         "format to Binary using the 'Engineering units' item under the 'Logger "
                         "functions' menu\nor increase the default baud rate using the 'Set "
                         "default baud rate' item under the 'Logger functions' menu.",
                         engineering),
                  caption, Icon::Error, Buttons::Ok, Answer::Ok});
    return 0;
  }
  return 1;
}

}  // namespace kts
