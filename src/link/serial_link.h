// The logger and GPS ports: scan, open, change rate, read, write, close.
// Every other link operation goes through these; none touches a device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/port_config.h"

namespace kts {

struct Session;

enum class PortRole { Logger, Gps };

// Time-outs of an open port. At open: the per-byte multiplier is
// ceil(10000 / baud) ms (one 10-bit character), at least 1; the read
// constant is 100 ms with an RTS mode, else 20 ms; the write constant 20 ms.
CommTimeouts OpenTimeouts(int baud, int mode);
// After a rate change: multiplier (int)(10000 / baud + 0.99), at least 1;
// read constant 100 ms with an RTS mode, else 60 ms.
CommTimeouts BaudChangeTimeouts(int baud, int rtsMode);
// A read (or write) of n bytes gives up after multiplier × n + constant ms.
int ReadTimeoutMs(const CommTimeouts& t, int n);
int WriteTimeoutMs(const CommTimeouts& t, int n);

// Marks each of COM1..COM16 present when it can be opened exclusively and
// keeps its own line settings to put back on close.
void ScanCommPorts(Session& s);

// Opens the logger port (the configured COM number, or the device given
// directly) or the GPS port at a rate. An open port is closed first.
bool OpenCommPort(Session& s, PortRole role, int baud, int mode);
// Changes the rate of the open logger port.
bool SetCommBaud(Session& s, int baud);
// Puts back the settings found at the scan with RTS off, then closes.
void CloseCommPort(Session& s, PortRole role);
bool IsPortOpen(const Session& s, PortRole role);

// One blocking read of up to n bytes (after the radio delay on the logger
// port). The buffer is zero-terminated after the bytes received; n is cut to
// capacity − 1. Returns the count (0 on time-out).
int ReadComm(Session& s, PortRole role, uint8_t* buffer, int capacity, int n);
// Reads up to n bytes into the reply buffer.
int ReadReply(Session& s, int n);
int WriteComm(Session& s, PortRole role, std::string_view text);
int WriteBytes(Session& s, PortRole role, const uint8_t* data, int n);
// Discards what the logger sent and nobody read.
void DiscardInput(Session& s);

// Protocol pauses. The protocol relies only on the minimum duration.
void DelayMs(Session& s, int ms);

bool OpenGpsPort(Session& s);

// How messages name the logger port: "COM3", or the device given directly.
std::string LoggerPortName(const Session& s);
// Puts the port message into the status bar and marks the logger not
// connected: cannotOpen → "Unable to open COM%1d - bad port setting or
// another application holds the port." (with the dialout remedy when the
// user lacks permission), else "Unable to Communicate with Logger on COM%1d".
void ReportPortError(Session& s, bool cannotOpen);

}  // namespace kts
