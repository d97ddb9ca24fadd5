#include "sim/exchange_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "core/text.h"

namespace kts::sim {

std::string EscapeBytes(std::string_view bytes, size_t keep) {
  std::string out;
  const size_t shown = bytes.size() > keep ? keep : bytes.size();
  for (size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else if (c >= 0x20 && c < 0x7F)
      out.push_back(static_cast<char>(c));
    else
      out += Format("\\x%02X", c);
  }
  if (shown < bytes.size()) out += Format("... (%zu bytes)", bytes.size());
  return out;
}

ExchangeLog::~ExchangeLog() {
  if (file_) std::fclose(file_);
}

bool ExchangeLog::openFile(const std::string& path, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) {
    if (error) *error = "cannot open the log file " + path + ": " + std::strerror(errno);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) std::fclose(file_);
  file_ = f;
  return true;
}

void ExchangeLog::add(ExchangeEntry::Kind kind, std::string_view bytes) {
  const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(ExchangeEntry{kind, ms, std::string(bytes)});
  if (entries_.size() > kKeptEntries) entries_.pop_front();
  if (file_) {
    const std::string line = FormatEntry(entries_.back());
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
  }
}

std::vector<ExchangeEntry> ExchangeLog::entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

void ExchangeLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
}

std::string ExchangeLog::FormatEntry(const ExchangeEntry& e) {
  const std::time_t seconds = static_cast<std::time_t>(e.wallMs / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  const std::string text = e.kind == ExchangeEntry::Note ? e.bytes : EscapeBytes(e.bytes);
  return Format("%04d-%02d-%02d %02d:%02d:%02d.%03d %c %s", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(e.wallMs % 1000), static_cast<char>(e.kind), text.c_str());
}

}  // namespace kts::sim
