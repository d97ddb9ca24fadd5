// The list of recently used data files ("ktspath.fil"): at most ten full
// path names, most recent first, each at most 259 characters.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data/settings.h"

namespace kts {

struct Session;

inline constexpr size_t kRecentPathLength = 259;

using RecentList = std::array<std::string, kRecentFiles>;

// The path goes to the top; the same path further down is taken out and the
// oldest entry drops off a full list. False (list unchanged) for an empty
// path or one too long to keep.
bool AddRecentEntry(RecentList& list, std::string_view path);
// Takes out the first entry naming the path; the later ones move up.
bool RemoveRecentEntry(RecentList& list, std::string_view path);

// Reads "ktspath.fil" (an older "kts.fil" is first renamed to it): the first
// ten lines that hold a path. Lines too long for a path are left out.
// Returns the number of entries.
int ReadRecentFiles(Session& s);
// Update the list and write the file; 0 (reason on the status line) when the
// file could not be written.
int AddRecent(Session& s, std::string_view path);
int RemoveRecent(Session& s, std::string_view path);

}  // namespace kts
