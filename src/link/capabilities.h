// The capability words: what features and limits a logger has, and the
// model-and-version rules for loggers that have no words to tell.
#pragma once

#include <cstdint>

#include "link/logger_description.h"
#include "link/logger_identity.h"

namespace kts {

struct Session;

// Reads word n with "!0%02X": eight hex digits (least significant byte
// first) before "CAP" and the word number repeated after it. Anything else
// gives 0 and "Read capabilities error" in the status bar.
bool ReadCapabilityWord(Session& s, int n, uint32_t* word);

// When its re-read flag is set: resets the capability fields (and only
// those), reads the words of extended loggers and of QZ loggers from
// firmware 4.25, applies the model rules to every logger that is not
// extended, and clears the flag. 1 when every word read cleanly, else 0.
int ReadCapabilities(Session& s);

// The next ReadCapabilities reads the words again; the configuration table
// follows from them, so it is read again too.
void ForceCapabilityReread(Session& s);

// Puts every capability field back to its default.
void ResetCapabilityFields(LoggerDescription& d);

// Word 13: bits 24–31 × 100 are the default rate (one of the standard
// rates, else 2400); bits 0–23 the express rate (19200, 57600 or 115200,
// else 19200).
void InterpretBaudWord(uint32_t word, int* defaultBaud, int* expressRate);

// The features a logger without capability words has by its model and
// firmware version (QZ loggers from 4.25 get them on top of their words).
void ApplyModelRules(const LoggerIdentity& id, bool radioDelay, uint32_t startMode,
                     LoggerDescription& d);

}  // namespace kts
