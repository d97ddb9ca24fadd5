// Reading the common header of a .hex or .dat file back into records the
// session can take over: the logger the file came from, the deployment
// fields shown with the data, the data set's times, counts and stamps.
// Nothing of the session is touched; a reader takes these over only when the
// whole file was found good.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/common_header.h"
#include "data/data_set.h"
#include "deploy/deployment_parameters.h"

namespace kts {

class LineReader;

// Header lines are read up to this many characters; longer ones are cut.
// A gain stamp of 24 autoranging channels runs to some 740 characters.
inline constexpr size_t kHeaderLineLength = 1024;

// What the user is told when a file cannot be read.
struct FileProblem {
  std::string text;
  std::string caption;
};

struct ParsedHeader {
  // The logger: its description starts from the defaults of a logger that
  // has told nothing, and gets what the header states.
  DecodeContext context;
  // Host and logger time, end time, status, averaging, start mode and
  // threshold, bursts: the fields shown with the data.
  RetrievedDeployment deployment;
  TimeRecord startTime;
  TimeRecord samplePeriod = MakePeriod(0, 1, 0);
  uint32_t samplingMode = 0;  // 64: six-hertz profiling
  int channels = 0;           // measured, 1..24
  std::array<uint8_t, kMaxChannels> types{};
  int sampleCount = 0;
  int timeColumns = 0;  // 0 N, 1 A, 2 E
  int leadWidth = 0;    // 0, 9 or 20
  std::string comment;
  bool tideAndWave = false;  // an "HKV" logger's .hex file
  bool asciiImage = false;   // the logger recorded text, not readings
  // Stamps (read from .dat files only; a .hex file's come from its image).
  std::vector<StampEntry> stamps;
  bool stampsSuppressed = false;  // more than the stamp table holds
  // The line that ended the header: the column labels, an empty line or
  // "Number of bytes of data …".
  std::string endLine;
};

// The model words this software reads files of.
bool IsSupportedFileModel(std::string_view model);

// Parses the header after its first line (given). Hex and Dat forms differ
// only in what they take: stamps come from .dat headers, an ASCII format is
// refused in .dat form. False with the user's message in *problem.
bool ParseCommonHeader(LineReader& in, std::string_view firstLine, HeaderForm form,
                       ParsedHeader& out, FileProblem* problem);

}  // namespace kts
