// Operations of the instrument modes, the statistics view and screen capture
// that the frame starts. Each is one function so that the part that owns it
// fills it in here; until then it says on the status line that it is not
// yet available, which marks the line with the warning icon.
#pragma once

#include <string>
#include <string_view>

namespace kts {

struct Session;

// "<what> is not yet available in this version."
std::string NotYetText(std::string_view what);
void ShowNotYet(Session& s, std::string_view what);

int ScreenCapture(Session& s);
void ShowStatisticsView(Session& s);
void StartMicroSalinometer(Session& s);
void StartRealTimeCollection(Session& s);
void RestartRealTimeFromStoredSetup(Session& s);
// After the real-time display ended: the wave burst, the byte count of the
// real-time .hex file, the recent list and reading it back.
void FinishRealTimeFile(Session& s);

}  // namespace kts
