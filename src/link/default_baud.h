// The logger's default baud rate: the rate it answers at after power-up.
#pragma once

#include <cstdint>

namespace kts {

struct Session;

// rate = 288000 / ((d + 2) mod 256); 0 when the divisor is 0.
int DefaultBaudFromByte(uint8_t d);
// d = 288000 / rate − 2; −1 for a rate no byte can hold.
int DefaultBaudByte(int rate);

// "R0300": the rate, or 0 after "Default baudrate retrieve error".
int ReadDefaultBaud(Session& s);
// "S0300" with the byte of a standard rate (not below the logger's lowest),
// then "R0300" and a comparison.
bool WriteDefaultBaud(Session& s, int rate);

}  // namespace kts
