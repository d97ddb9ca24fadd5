// What the .hex and .dat readers share once a file has been found good.
#pragma once

#include <string_view>

namespace kts {

struct Session;
struct ParsedHeader;

// The count after a position ("Number of bytes of data 1234"); at most
// nine digits.
bool ParseCountAfter(std::string_view line, size_t pos, int& out);

// The header's logger, times, counts, channel types, comment and deployment
// fields become the session's data set and display fields. Rows, stamps
// and bursts are the reader's business.
void TakeHeader(Session& s, const ParsedHeader& h);

// An empty data set with the header's channels: no samples, no stamps.
void ClearRows(Session& s);

}  // namespace kts
