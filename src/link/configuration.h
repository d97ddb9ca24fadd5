// The configuration table: how many channels a logger has, of which types,
// and how long it needs to wake and to read them.
#pragma once

#include <cstdint>

namespace kts {

struct Session;
struct LoggerDescription;

// Temperature kinds read as 'T'; 'S' (conductivity listed in mS/cm) reads
// as 'C' and clears the description's micro-siemens flag.
uint8_t NormaliseChannelLetter(uint8_t letter, LoggerDescription& d);

// Puts the configuration fields back to one channel, 300 ms latency and
// 200 ms reading time (the capability fields are left alone).
void ResetConfigurationFields(LoggerDescription& d);

// Reads the configuration when its re-read flag is set ("Assessing the
// logger configuration"): extended loggers "R0100" (or the model's fixed
// channel set when the configuration flags are exactly 1), then the range
// switching and RS advanced tables; older QZ loggers the memory copy;
// other loggers have one channel. 1 success (the flag is cleared), 0 a read
// error, −1 "Logger not yet configured".
int ReadConfiguration(Session& s);

// The two forms of the table, parsed into the description. `n` counts the
// bytes received with the check byte.
int ParseExtendedConfiguration(const uint8_t* table, int n, LoggerDescription& d);
void ParseOlderConfiguration(const uint8_t table[55], LoggerDescription& d);

}  // namespace kts
