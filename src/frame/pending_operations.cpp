#include "frame/pending_operations.h"

#include "core/session.h"
#include "core/text.h"
#include "platform/ui.h"
#include "platform/status_line.h"

namespace kts {

std::string NotYetText(std::string_view what) {
  std::string text(what);
  text += " is not yet available in this version.";
  return text;
}

void ShowNotYet(Session& s, std::string_view what) { ShowStatus(s.ui, NotYetText(what)); }

int ScreenCapture(Session& s) {
  ShowNotYet(s, "Screen capture");
  return 0;
}

void ShowStatisticsView(Session& s) { ShowNotYet(s, "The statistics view"); }
void StartMicroSalinometer(Session& s) { ShowNotYet(s, "The micro-salinometer mode"); }
void StartRealTimeCollection(Session& s) { ShowNotYet(s, "Real-time collection"); }
void RestartRealTimeFromStoredSetup(Session& s) { ShowNotYet(s, "Real-time collection"); }
void FinishRealTimeFile(Session&) {}

}  // namespace kts
