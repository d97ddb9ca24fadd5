// The data set as a MATLAB file (".mat", version 5) and back.
//
// Written, in this order: "loggername", "loggerdata" (single, n × measured
// channels), "loggerchannelnames", "loggersampleperiod",
// "loggeraveragingperiod", "loggertimes" (by the MATLAB date/time settings),
// for wave data "loggerwaverate", "loggerheight", "loggerwavedata",
// "loggerwavedatasurface", "loggerwavetimes", and last "loggerprivate" (the
// stamp table as uint32 words). Derived channels are not written; reading
// recomputes them.
#pragma once

#include <string>
#include <string_view>

#include "core/time_record.h"

namespace kts {

struct Session;
struct FileRequest;

// Writes the data set of the session to `path` with the session's MATLAB
// date/time settings. The file appears under its name only when it was
// written in full; a previous file of that name stands until then. Failures
// go to the status line in the system's words; data of a logger whose output
// is ASCII text are refused with a message. Returns 1 on success, else 0.
int WriteMatFile(Session& s, const std::string& path);

// Reads a MATLAB file into the session's data set, the identity of the
// logger the data came from and the retrieved deployment's period,
// averaging and bursts. The file is read and checked in full first: a file
// that cannot be read, or one without "loggerprivate", leaves everything as
// it was and says why on the status line. On success derived channels are
// appended, the data count as read from a file, and the status line says
// "MATLAB file read successfully". Returns 1 on success, else 0.
int ReadMatFile(Session& s, const std::string& path);

// The save command's checks and choices, for the front ends. False (after
// the refusal message) for data of a logger whose output is ASCII text (the
// data's logger or the one connected).
bool MatlabSaveAllowed(Session& s);
FileRequest MatlabSaveRequest(const Session& s);
// The read command: proposes `currentFile` with ".dat" or ".hex" turned into
// ".mat" and its directory part removed.
FileRequest MatlabOpenRequest(const Session& s, std::string_view currentFile);

// Serial date numbers as MATLAB's datenum gives them for these loggers:
// 730486 is 2000-01-01; years divisible by 4 are leap years and years
// before 2000 count as 2000.
double SerialDateNumber(const TimeRecord& t);
// The reverse; false for a number that is not finite or lies beyond the
// year 9999. Numbers before 2000 give 2000-01-01.
bool FromSerialDateNumber(double number, TimeRecord* t);

// "%02d-%s-%04d %02d:%02d:%02d": 20 characters, e.g. "07-Dec-2026 04:05:06".
std::string MatlabDateText(const TimeRecord& t);
// The reverse; false when the text does not have that form.
bool ParseMatlabDateText(std::string_view text, TimeRecord* t);

}  // namespace kts
