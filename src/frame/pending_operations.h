// Operations of the data files, the retrieval and the instrument modes that
// the frame starts. Each is one function so that the part that owns it
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

// Reading data files: `path` empty asks for a file and leaves the chosen
// name in it. 1 when the data set was replaced.
int ReadHexFile(Session& s, std::string& path);
int ReadDatFile(Session& s, std::string& path);
int ReadMatlabFile(Session& s, std::string& path);

// Saving: 1 when a file was written.
int SaveDataFile(Session& s, int argument);
int SaveScreenSegment(Session& s);
int WriteMatlabFile(Session& s, const std::string& path);

int ScreenCapture(Session& s);
void ShowStatisticsView(Session& s);
void StartMicroSalinometer(Session& s);
void StartRealTimeCollection(Session& s);
void RestartRealTimeFromStoredSetup(Session& s);
void ApplyRealTimeLimitsToPlot(Session& s);
// After the real-time display ended: the wave burst, the byte count of the
// real-time .hex file, the recent list and reading it back.
void FinishRealTimeFile(Session& s);

}  // namespace kts
