// Reading and writing the main settings file (per running copy), the
// multiple-copy file and the COM port map, all in the base directory.
#pragma once

#include <string>
#include <string_view>

namespace kts {

struct Session;
struct Settings;

// "kts.ini" for the first copy; copy k (k ≥ 1) uses "kts.%03d.ini" with
// k + 1, so the second running copy has "kts.002.ini".
std::string MainSettingsPath(const Settings& settings);

// Reads the main settings file of this copy over the defaults. A further
// copy without a file of its own first gets a copy of the first copy's
// file; without any file the defaults are written at once. Then the
// multiple-copy file and the COM port map. Returns 0 when a file that had
// to be written could not be (the status line says so), else 1.
int ReadSettings(Session& s);

// Writes the main settings file of this copy, the multiple-copy file and the
// COM port map. Returns 0 (with the reason on the status line) when one of
// them could not be written; the previous file then stands.
int WriteSettings(Session& s);

// Writes one settings file of the base directory in place of the previous
// one. Returns 0, with the reason on the status line, when it failed.
int WriteSettingsFile(Session& s, const std::string& path, std::string_view text);

}  // namespace kts
