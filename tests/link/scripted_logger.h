// A logger on the far side of a pseudo-terminal for the connection and
// table tests: it answers "A" (only at one line rate if told so), "T", "B",
// "J", the capability words "!0nn", "!W", "!E", the "R" tables with their
// acknowledged chunks, "S" tables (kept for reading back) and the memory
// copy of the older configuration table. Replies are tagged and carry no
// line end, except the identity ("KTS <model> <version> <serial>\r\n").
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "pty_peer.h"

namespace kts::test {

struct LoggerScript {
  std::string identity = "KTS QZ-740 6.51 001234";  // "\r\n" is added
  int answerBaud = 0;  // answers "A" only at this line rate; 0 any, −1 never
  std::string status = "Logger status 00";
  std::map<int, uint32_t> words;  // capability words; a missing word is not answered
  std::map<int, int> wordEcho;    // a word number echoed in place of the right one
  std::map<std::string, std::vector<uint8_t>> tables;  // "R0100" → data bytes
  std::set<std::string> absentTables;                  // answered with length 00
  std::set<std::string> corruptTables;                 // sent with a wrong check byte
  std::set<std::string> garbledWrites;                 // "S…" kept with its first byte changed
  std::vector<uint8_t> memoryTable;                    // the reply to "I00000200C9FF0100"
  std::string minimumVersion;                          // the reply to "!W", e.g. "6.10WIN"
  std::string clock = "261207120000";                  // "B" answers these digits + "CTD"
  bool keepsClock = true;                              // "J" sets them
  bool answersClock = true;
  std::map<std::string, int> speedChanges;  // "!E03" → the rate it answers at afterwards
};

class ScriptedLogger {
 public:
  explicit ScriptedLogger(LoggerScript script) : script_(std::move(script)) {}

  // The PtyPeer handler.
  void handle(PtyPeer& peer, std::string& pending);
  PtyPeer::Handler handler() {
    return [this](PtyPeer& p, std::string& pending) { handle(p, pending); };
  }

  // Every command recognised, in order, and the line rate it came at.
  std::vector<std::string> commands();
  int count(const std::string& command);
  std::vector<int> ratesOf(const std::string& command);
  std::vector<uint8_t> table(const std::string& name);
  std::string clock();
  void setIdentity(const std::string& identity);
  void setAnswerBaud(int baud);

 private:
  // One command at the front of `pending`; false when it is not complete.
  bool takeCommand(PtyPeer& peer, std::string& pending);
  void takeTableBytes(PtyPeer& peer, std::string& pending);
  void record(const std::string& command, int baud);

  std::mutex mutex_;
  LoggerScript script_;
  std::vector<std::pair<std::string, int>> log_;
  // A table being sent: its bytes and how many went out.
  std::vector<uint8_t> outgoing_;
  size_t sent_ = 0;
  // A table being received.
  std::string incomingName_;
  std::vector<uint8_t> incoming_;
  size_t expected_ = 0;
  size_t chunkFill_ = 0;
};

}  // namespace kts::test
