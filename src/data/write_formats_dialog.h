// The "KTS Logger - Write File Formats" dialog as a model: which time
// columns the rows of .dat (and .tide) files carry. The choice is the
// "Format" setting of "kts.ini".
#pragma once

#include <array>

namespace kts {

struct Session;

inline constexpr const char* kWriteFormatsTitle = "KTS Logger - Write File Formats";
inline constexpr const char* kLineLayoutLabel = "Line Layout";
// Indexed by the setting: 0 none, 1 time, 2 date and time.
inline constexpr std::array<const char*, 3> kLineLayoutChoices = {
    "One reading per line                 - 23.1564",
    "Time and reading per line         - 12:30:00 23.1564",
    "Date, time and reading per line - 2000/06/21 12:30:00 23.1564",
};

struct WriteFormatsDialog {
  int lineLayout = 0;  // index into kLineLayoutChoices
};

// The dialog as it opens, showing the current setting (an out-of-range
// setting shows as the first choice).
WriteFormatsDialog OpenWriteFormats(const Session& s);

// OK: the choice becomes the setting and the settings file is written.
// Returns 0 when the file could not be written (the setting still holds for
// this run; the reason is on the status line).
int AcceptWriteFormats(Session& s, const WriteFormatsDialog& dialog);

}  // namespace kts
