#include "data/recent_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/session.h"
#include "core/text.h"
#include "data/line_reader.h"
#include "data/settings_file.h"

namespace kts {
namespace {

constexpr const char* kRecentFile = "ktspath.fil";
constexpr const char* kOldRecentFile = "kts.fil";

void RemoveAt(RecentList& list, size_t i) {
  std::move(list.begin() + static_cast<ptrdiff_t>(i) + 1, list.end(),
            list.begin() + static_cast<ptrdiff_t>(i));
  list.back().clear();
}

int WriteRecentFiles(Session& s) {
  std::string text;
  for (const std::string& entry : s.settings.recent)
    if (!entry.empty()) text += entry + "\n";
  return WriteSettingsFile(s, InBaseDirectory(s.settings, kRecentFile), text);
}

}  // namespace

// Entries are matched whole: a path that merely contains another (for
// instance "/b/a.dat" and "a.dat") is a different file.
bool AddRecentEntry(RecentList& list, std::string_view path) {
  if (path.empty() || path.size() > kRecentPathLength) return false;
  for (size_t i = 0; i < list.size();) {
    if (list[i] == path)
      RemoveAt(list, i);
    else
      ++i;
  }
  std::move_backward(list.begin(), list.end() - 1, list.end());
  list.front() = std::string(path);
  return true;
}

bool RemoveRecentEntry(RecentList& list, std::string_view path) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (!list[i].empty() && list[i] == path) {
      RemoveAt(list, i);
      return true;
    }
  }
  return false;
}

int ReadRecentFiles(Session& s) {
  const std::string path = InBaseDirectory(s.settings, kRecentFile);
  const std::string old = InBaseDirectory(s.settings, kOldRecentFile);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && std::filesystem::exists(old, ec))
    std::filesystem::rename(old, path, ec);

  RecentList list{};
  size_t count = 0;
  InputFile in(path);
  LineReader reader(in.file, kRecentPathLength);
  std::string line;
  bool cut = false;
  while (count < list.size() && reader.next(line, &cut))
    if (!cut && !line.empty()) list[count++] = line;
  s.settings.recent = list;
  return static_cast<int>(count);
}

int AddRecent(Session& s, std::string_view path) {
  if (!AddRecentEntry(s.settings.recent, path)) return 0;
  return WriteRecentFiles(s);
}

int RemoveRecent(Session& s, std::string_view path) {
  if (!RemoveRecentEntry(s.settings.recent, path)) return 1;
  return WriteRecentFiles(s);
}

}  // namespace kts
