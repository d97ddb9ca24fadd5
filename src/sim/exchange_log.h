// Every command the simulated logger heard and every reply it sent, with a
// timestamp: kept in memory for tests and, with --log, written to a file as
// it happens ("12:00:00.123 > A", "12:00:00.125 < KTS QZ-740 ...", "# note").
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kts::sim {

struct ExchangeEntry {
  enum Kind : char { Command = '>', Reply = '<', Note = '#' };
  Kind kind;
  int64_t wallMs;     // milliseconds since the epoch, local wall clock
  std::string bytes;  // as received or sent
};

// Printable text of bytes: control and non-ASCII bytes as \xNN, CR and LF
// as \r and \n; long data shortened to its first bytes and its length.
std::string EscapeBytes(std::string_view bytes, size_t keep = 120);

class ExchangeLog {
 public:
  ExchangeLog() = default;
  ~ExchangeLog();
  ExchangeLog(const ExchangeLog&) = delete;
  ExchangeLog& operator=(const ExchangeLog&) = delete;

  // Also writes to this file (appending). False with the reason when it
  // cannot be opened.
  bool openFile(const std::string& path, std::string* error);

  void add(ExchangeEntry::Kind kind, std::string_view bytes);
  void note(std::string_view text) { add(ExchangeEntry::Note, text); }

  std::vector<ExchangeEntry> entries() const;
  void clear();

  static std::string FormatEntry(const ExchangeEntry& e);

 private:
  static constexpr size_t kKeptEntries = 50000;
  mutable std::mutex mutex_;
  std::deque<ExchangeEntry> entries_;
  std::FILE* file_ = nullptr;
};

}  // namespace kts::sim
