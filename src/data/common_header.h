// The text header that opens every .hex and .dat file (and, shortened, the
// real-time, wave and tide files): the logger, its times and settings, the
// calibration coefficients, the stamps and the column labels.
//
// The writer takes everything from the session: the logger the data came
// from and the data themselves (s.data), the deployment that produced them
// (s.retrieved: host and logger time, end time, status, averaging, bursts,
// start mode), and the derived-quantity settings (s.settings.derived).
#pragma once

#include <string>
#include <string_view>

namespace kts {

struct Session;
struct LoggerIdentity;

enum class HeaderForm {
  Hex,    // before the image of a .hex file
  Dat,    // before the rows of a .dat file
  Short,  // other writers: ends after the burst settings with an empty line
};

// How a logger's file lists its stamps.
enum class StampForm {
  A,  // one "Timestamp" line per time stamp, sample numbers from 1, reset stamps apart
  B,  // every stamp a "Timestamp" line, sample numbers from 0
  C,  // start mode line, time and gain stamps, sample numbers from 1 (QZ, JQN)
};
StampForm StampFormOf(const LoggerIdentity& identity);

struct HeaderOptions {
  HeaderForm form = HeaderForm::Hex;
  std::string_view comment;  // written when not empty
  int timeColumns = 0;       // 0 none (N), 1 time (A), 2 date and time (E)
  // A saved range: the header's start time is that of sample firstSample,
  // its sample count lastSample − firstSample + 1, and its stamps those
  // inside the range, renumbered from the range's start. lastSample < 0:
  // the whole data set.
  int firstSample = 0;
  int lastSample = -1;
  // The sample count to give instead of the data set's (an ASCII logger's
  // text lines); −1 for none.
  int sampleCount = -1;
};

// Appends the header to `out`.
void AppendCommonHeader(const Session& s, const HeaderOptions& options, std::string& out);

// The 10-character label of each channel, measured and derived, after a
// lead of 20 (E), 9 (A) or no spaces: row 19 without its line ends.
std::string ColumnLabelLine(const Session& s, HeaderForm form, int timeColumns);

// The width of the date-time lead of .dat rows: 0, 9 or 20 characters.
inline int LeadWidth(int timeColumns) {
  return timeColumns == 2 ? 20 : timeColumns == 1 ? 9 : 0;
}

// "Start of logging", "Now", … for start modes 0..5; "" otherwise.
const char* StartModeName(int mode);
// The memory type names of types 1..4; "" otherwise.
const char* MemoryTypeName(int type);

}  // namespace kts
