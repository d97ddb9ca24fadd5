// Numbers in the settings files, read the way "%d" and "%f" read them
// (leading blanks skipped) but refusing values out of range instead of
// leaving them undefined.
#pragma once

namespace kts {

// Each returns false when no number starts the text; `end`, when given,
// receives the position after the number.
bool ParseInt(const char* text, int& out, const char** end = nullptr);
bool ParseFiniteDouble(const char* text, double& out, const char** end = nullptr);

}  // namespace kts
