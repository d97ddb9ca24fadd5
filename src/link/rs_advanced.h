// The RS advanced byte: the logger's output format and its cards.
#pragma once

#include <cstdint>

namespace kts {

struct Session;
struct LoggerDescription;

// Binary output only, or the data buoy controller's serial card with ASCII
// output (capability word 23 = 1).
void InstallRsAdvancedDefault(LoggerDescription& d);

// "R0700" with configuration flag 4: 1 read, 2 no table (the default
// stands), 0 a read error ("Retrieve RS Advanced information failed").
int ReadRsAdvanced(Session& s);

// "Format: " and "ASCII and Binary", "Binary", "ASCII" or "None set".
const char* OutputFormatText(uint8_t rsAdvanced);

}  // namespace kts
