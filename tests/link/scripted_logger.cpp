#include "scripted_logger.h"

#include <cstdio>

#include "core/checksum.h"
#include "core/text.h"

namespace kts::test {
namespace {

constexpr char kAckByte = 0x06;
constexpr char kNakByte = 0x15;

int Hex(const std::string& text, size_t at) {
  unsigned v = 0;
  if (std::sscanf(text.substr(at, 2).c_str(), "%2X", &v) != 1) return -1;
  return static_cast<int>(v);
}

}  // namespace

void ScriptedLogger::handle(PtyPeer& peer, std::string& pending) {
  std::lock_guard<std::mutex> lock(mutex_);
  while (!pending.empty()) {
    if (expected_ > 0) {
      takeTableBytes(peer, pending);
      continue;
    }
    if (!takeCommand(peer, pending)) break;
  }
}

void ScriptedLogger::takeTableBytes(PtyPeer& peer, std::string& pending) {
  while (!pending.empty() && incoming_.size() < expected_) {
    incoming_.push_back(static_cast<uint8_t>(pending[0]));
    pending.erase(0, 1);
    ++chunkFill_;
    if (chunkFill_ == 16 || incoming_.size() == expected_) {
      chunkFill_ = 0;
      if (incoming_.size() < expected_) peer.reply(std::string(1, kAckByte));
    }
  }
  if (incoming_.size() < expected_) return;
  const bool good = ByteSum(incoming_.data(), incoming_.size()) == kTableSum;
  peer.reply(std::string(1, good ? kAckByte : kNakByte));
  if (good) {
    std::vector<uint8_t> data(incoming_.begin(), incoming_.end() - 1);
    if (script_.garbledWrites.count(incomingName_) && !data.empty()) data[0] ^= 1;
    script_.tables["R" + incomingName_.substr(1)] = data;
  }
  expected_ = 0;
  incoming_.clear();
}

bool ScriptedLogger::takeCommand(PtyPeer& peer, std::string& pending) {
  const int baud = peer.lineBaud();
  const char c = pending[0];
  auto need = [&](size_t n) { return pending.size() >= n; };
  auto take = [&](size_t n) {
    std::string command = pending.substr(0, n);
    pending.erase(0, n);
    record(command, baud);
    return command;
  };

  switch (c) {
    case kAckByte:
      pending.erase(0, 1);
      if (sent_ < outgoing_.size()) {
        const size_t chunk = std::min<size_t>(16, outgoing_.size() - sent_);
        peer.reply(std::string(reinterpret_cast<const char*>(outgoing_.data() + sent_), chunk));
        sent_ += chunk;
      }
      return true;
    case 'A': {
      take(1);
      const int want = script_.answerBaud;
      if (want == 0 || want == baud) peer.reply(script_.identity + "\r\n");
      return true;
    }
    case 'T':
      take(1);
      peer.reply(script_.status);
      return true;
    case 'B':
      take(1);
      if (script_.answersClock) peer.reply(script_.clock + "CTD");
      return true;
    case 'J': {
      if (!need(13)) return false;
      const std::string command = take(13);
      if (script_.keepsClock) script_.clock = command.substr(1);
      return true;
    }
    case 'R': {
      if (!need(5)) return false;
      const std::string name = take(5);
      if (script_.absentTables.count(name)) {
        peer.reply(name + "00");
        outgoing_.clear();
        sent_ = 0;
        return true;
      }
      const auto t = script_.tables.find(name);
      if (t == script_.tables.end()) {
        peer.reply("Unknown command");
        return true;
      }
      outgoing_ = t->second;
      uint8_t check = TableCheckByte(outgoing_.data(), outgoing_.size());
      if (script_.corruptTables.count(name)) check ^= 0x5A;
      outgoing_.push_back(check);
      sent_ = 0;
      peer.reply(name + Format("%02X", static_cast<unsigned>(outgoing_.size())));
      return true;
    }
    case 'S': {
      if (!need(7)) return false;
      const std::string command = take(7);
      const int n = Hex(command, 5);
      incomingName_ = command.substr(0, 5);
      if (n < 1) return true;
      expected_ = static_cast<size_t>(n);
      incoming_.clear();
      chunkFill_ = 0;
      peer.reply(std::string(1, kAckByte));
      return true;
    }
    case 'I': {
      if (!need(17)) return false;
      const std::string command = take(17);
      if (command == "I00000200C9FF0100" && !script_.memoryTable.empty())
        peer.reply(std::string(script_.memoryTable.begin(), script_.memoryTable.end()));
      return true;
    }
    case '!': {
      if (!need(2)) return false;
      const char what = pending[1];
      if (what == '0' || what == 'E') {
        if (!need(4)) return false;
        const std::string command = take(4);
        if (what == 'E') {
          const auto change = script_.speedChanges.find(command);
          if (change != script_.speedChanges.end()) script_.answerBaud = change->second;
          return true;
        }
        const int n = Hex(command, 2);
        const auto word = script_.words.find(n);
        if (word == script_.words.end()) return true;
        const uint32_t w = word->second;
        const auto echo = script_.wordEcho.find(n);
        peer.reply(Format("%02X%02X%02X%02X", w & 0xFF, (w >> 8) & 0xFF, (w >> 16) & 0xFF,
                          (w >> 24) & 0xFF) +
                   "CAP" + Format("%02X", echo == script_.wordEcho.end() ? n : echo->second));
        return true;
      }
      take(2);
      if (what == 'W' && !script_.minimumVersion.empty()) peer.reply(script_.minimumVersion);
      return true;
    }
    default:
      take(1);
      return true;
  }
}

void ScriptedLogger::record(const std::string& command, int baud) {
  log_.emplace_back(command, baud);
}

std::vector<std::string> ScriptedLogger::commands() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [command, baud] : log_) out.push_back(command);
  return out;
}

int ScriptedLogger::count(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const auto& entry : log_) n += entry.first == command;
  return n;
}

std::vector<int> ScriptedLogger::ratesOf(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<int> out;
  for (const auto& [c, baud] : log_)
    if (c == command) out.push_back(baud);
  return out;
}

std::vector<uint8_t> ScriptedLogger::table(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto t = script_.tables.find(name);
  return t == script_.tables.end() ? std::vector<uint8_t>{} : t->second;
}

std::string ScriptedLogger::clock() {
  std::lock_guard<std::mutex> lock(mutex_);
  return script_.clock;
}

void ScriptedLogger::setIdentity(const std::string& identity) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.identity = identity;
}

void ScriptedLogger::setAnswerBaud(int baud) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.answerBaud = baud;
}

}  // namespace kts::test
