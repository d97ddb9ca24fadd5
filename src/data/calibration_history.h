// The calibration history file: every calibration the logger still holds,
// newest first on extended loggers, in the order written on QZ loggers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "link/coefficient_set.h"

namespace kts {

struct Session;

// Numbers run from 000 to 999.
inline constexpr int kHistoryFileNumbers = 1000;

// "<directory>/%06d.%03d.his".
std::string HistoryFilePath(const std::string& directory, int serial, int number);
// The first number with no file yet, or −1 when all 1000 exist.
int NextHistoryFileNumber(const std::string& directory, int serial);

// A record's date line: extended loggers "%4d/%s/%02d %02d:%02d:%02d",
// QZ loggers "%04d/%s/%02d %02d:%02d:%02d" (year + 2000, month abbreviation).
std::string HistoryDateText(const std::array<int, 6>& date, bool extended);

// A channel's line. Extended loggers: "%3d: %.15f %.15f %.15f %.15f ", or
// with every value in "%23.15e" once any magnitude exceeds 1e6 (fixed
// notation would run to hundreds of digits). QZ loggers: "%3d: %18.15f …".
std::string HistoryChannelLine(int channel, const ChannelCoefficients& c, bool extended);

// Reads the whole history from the logger and writes it to the next free
// history file of the data directory; each line also goes to `lines` (the
// "Calibration History" window's list). The newest record becomes the
// current set. 1 when the file was written.
int WriteHistoryFile(Session& s, std::vector<std::string>* lines);

}  // namespace kts
