#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/checksum.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "link/coefficients.h"
#include "link/commands.h"
#include "link/configuration.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

// "B", "D", "E": the date-time before the tag.
int QueryDateTime(Session& s, const char* command, const char* tag, TimeRecord& out) {
  if (!QueryTagged(s, command, tag)) return 0;
  out = ParseWireDateTime(s.reply.text());
  return 1;
}

// "G": eight hex digits before "CDP", least significant byte first.
int QueryMemoryPointer(Session& s) {
  if (!QueryTagged(s, "G", "CDP")) return 0;
  const std::string_view reply = s.reply.text();
  uint8_t b[4];
  if (!ScanHexBytesBefore(reply, reply.find("CDP"), 4, b)) return 0;
  s.link.memoryPointer = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                         uint32_t{b[3]} << 24;
  const size_t n = std::min(reply.size(), sizeof s.link.memoryPointerReply - 1);
  std::memcpy(s.link.memoryPointerReply, reply.data(), n);
  s.link.memoryPointerReply[n] = '\0';
  return 1;
}

// "F…" then the fetch wait: latency + reading time, then up to 10 reads.
int FetchOnce(Session& s) {
  std::string command;
  if (!s.link.identity.extended && !IsQzFamily(s.link.identity)) command = "F";
  else if (s.fetch.allChannels) command = "F00";
  else command = Format("F%02X", s.fetch.fetchCode & 0xFF);
  s.fetch.expectedLength = FetchReplyLength(s);
  WriteComm(s, PortRole::Logger, command);
  DelayMs(s, s.description.latencyMs + s.description.readingTimeMs);
  for (int read = 1; read <= 10; ++read) {
    const int got = ReadReply(s, 300);
    const bool done = (got >= 1 && got <= s.fetch.expectedLength) || Contains(s.reply.text(), "FET");
    if (!done) continue;
    if (read == 10) return 0;  // only on the last read: not accepted
    if (!s.fetch.allChannels && s.reply.length >= 2) {
      s.reply.length -= 2;
      s.reply.bytes[static_cast<size_t>(s.reply.length)] = '\0';
    }
    return 1;
  }
  return 0;
}

// "!D": the two characters of the battery reading.
int QueryBattery(Session& s) {
  std::string two;
  if (FirmwareAtLeast(s.link.identity, 2.20)) {
    if (!QueryTagged(s, "!D", "BAT")) return 0;
    const std::string_view reply = s.reply.text();
    const size_t tag = reply.find("BAT");
    if (tag == std::string_view::npos || tag < 2) return 0;
    two.assign(reply.substr(tag - 2, 2));
  } else {
    WriteComm(s, PortRole::Logger, "!D");
    ReadReply(s, 120);
    const std::string_view reply = s.reply.text();
    if (reply.size() < 2) return 0;
    two.assign(reply.substr(0, 2));
  }
  s.reply.set(two);
  unsigned v = 0;
  if (std::sscanf(two.c_str(), "%2X", &v) == 1) s.link.battery = static_cast<int>(v);
  return 1;
}

// "X": averaging length, low byte first; 2..64800 with the feature, else off.
int QueryAveraging(Session& s) {
  if (!QueryTagged(s, "X", "BST")) return 0;
  const std::string_view reply = s.reply.text();
  uint8_t b[2];
  if (!ScanHexBytesBefore(reply, reply.find("BST"), 2, b)) return 0;
  const uint32_t length = uint32_t{b[0]} | uint32_t{b[1]} << 8;
  if (s.description.averaging && length >= 2 && length <= 64800) {
    s.link.averagingLength = length;
    s.deployment.averagingEnabled = true;
  } else {
    s.link.averagingLength = 1;
    s.deployment.averagingEnabled = false;
  }
  return 1;
}

// "!2": start byte and option byte.
int QueryStartCharacteristic(Session& s) {
  if (!s.description.startCharacteristicCommands) return 0;
  if (!QueryTagged(s, "!2", "STC")) return 0;
  const std::string_view reply = s.reply.text();
  const size_t tag = reply.find("STC");
  // Eight hex digits precede the tag; the first two bytes are parsed.
  if (tag == std::string_view::npos || tag < 8) return 0;
  uint8_t b[2];
  if (!ScanHexBytesBefore(reply, tag - 4, 2, b)) return 0;
  uint32_t start = b[0];
  uint32_t option = b[1];
  DeploymentBlock& block = s.deployment.block;
  block.powerFlag = (start & 0x80) ? kPowerFlag : 0;
  start &= 0x7F;
  block.samplingMode = 0;
  if (s.description.profiling6Hz && (start & 0x40)) {
    block.samplingMode = kProfilingMode;
    start &= ~0x40u;
  }
  s.deployment.realTimeOutput = (start & 0x20) ? 1 : 0;
  start &= ~0x20u;
  block.startMode = start & 1;
  if (!s.description.startOptionByte) {
    option = 0;
  } else {
    if (s.description.engineeringUnitsLevel <= 0) option &= ~0x04u;
    if (!s.description.externalDataConnector) option &= ~0x01u;
    if (!s.description.externalPower) option &= ~0x02u;
  }
  block.oemFlags = option;
  return 1;
}

// "!5": the high sampling rate; the burst length snaps to a known size.
int QueryHighRate(Session& s) {
  if (!QueryTagged(s, "!5", "RAT")) return 0;
  const std::string_view reply = s.reply.text();
  uint8_t rate;
  if (!ScanHexBytesBefore(reply, reply.find("RAT"), 1, &rate)) return 0;
  s.deployment.burstRate = rate;
  uint32_t& length = s.deployment.burstLength;
  if (length != 4096 && length != 2048 && length != 1024 && length != 512) length = 512;
  return 1;
}

// "!7": burst length (low byte first) and burst interval.
int QueryWaveParameters(Session& s) {
  if (!QueryTagged(s, "!7", "WAV")) return 0;
  const std::string_view reply = s.reply.text();
  const size_t tag = reply.find("WAV");
  if (tag == std::string_view::npos || tag < 10) return 0;
  uint8_t b[2];
  if (!ScanHexBytesBefore(reply, tag - 6, 2, b)) return 0;
  const uint32_t length = uint32_t{b[0]} | uint32_t{b[1]} << 8;
  s.deployment.burstPeriod = ParseWireDuration(reply);
  const bool known = length == 512 || length == 1024 || length == 2048 || length == 4096;
  s.deployment.burstEnabled = known;
  s.deployment.burstLength = known ? length : 0;
  return 1;
}

// "!Z": the eight bytes of the logger height, in memory order.
int QueryLoggerHeight(Session& s) {
  if (!QueryTagged(s, "!Z", "LHT")) return 0;
  const std::string_view reply = s.reply.text();
  uint8_t b[8];
  if (!ScanHexBytesBefore(reply, reply.find("LHT"), 8, b)) return 0;
  double height;
  std::memcpy(&height, b, sizeof height);
  s.deployment.loggerHeight = height;
  return 1;
}

// "!U02", 120 ms, "!T00": the answer must show "0102".
int QueryT00(Session& s) {
  WriteComm(s, PortRole::Logger, "!U02");
  DelayMs(s, 120);
  WriteComm(s, PortRole::Logger, "!T00");
  const int got = ReadReply(s, 120);
  return got >= 4 && Contains(s.reply.raw(), "0102") ? 1 : 0;
}

// Reads `count` bytes of a tagged query into the image at `at`.
bool QueryBytesInto(Session& s, const char* command, const char* tag, int count, uint8_t* at) {
  if (!QueryTagged(s, command, tag)) return false;
  const std::string_view reply = s.reply.text();
  return ScanHexBytesBefore(reply, reply.find(tag), count, at);
}

// The deployment parameter block: read from memory on older loggers, built
// from the individual queries on extended ones. Left in the reply buffer.
int ReadParameterBlock(Session& s) {
  if (!s.link.identity.extended) {
    const int n = std::clamp(s.description.parameterBlockLength, 1, 255);
    const std::string command = Format("I%02X00020000000200", n);
    for (int attempt = 0; attempt < 5; ++attempt) {
      WriteComm(s, PortRole::Logger, command);
      const int got = ReadReply(s, n + 1);
      if (got == n + 1 && s.reply.data()[n] == ByteSum(s.reply.data(), static_cast<size_t>(n)))
        return 1;
    }
    s.ui.message({"Unable to verify logging parameters", "Get QZ-740 Parameters", Icon::Warning,
                  Buttons::Ok, Answer::Ok});
    return 0;
  }
  std::array<uint8_t, 48> image{};
  const LoggerDescription& d = s.description;
  if (d.conventionalThresholding) QueryBytesInto(s, "!L", "THR", 8, &image[15]);
  if (CommGet(s, 28) == 1) {
    const DeploymentBlock& b = s.deployment.block;
    image[15] |= static_cast<uint8_t>((b.startMode & 1) | b.powerFlag | b.samplingMode);
  }
  if (d.averaging) QueryBytesInto(s, "X", "BST", 2, &image[23]);
  if (d.externalDataConnector && !d.startCharacteristicCommands)
    QueryBytesInto(s, "!M", "BAU", 1, &image[25]);
  else if (d.startCharacteristicCommands && s.deployment.realTimeOutput)
    image[25] = 13;
  if (d.powerSaveThresholding) QueryBytesInto(s, "!P", "PSP", 3, &image[26]);
  if (d.hysteresis) QueryBytesInto(s, "!O", "HYS", 2, &image[29]);
  image[47] = TableCheckByte(image.data(), 47);
  std::memcpy(s.reply.data(), image.data(), image.size());
  s.reply.length = static_cast<int>(image.size());
  s.reply.bytes[image.size()] = '\0';
  return 1;
}

// Real-time collection: start a fetch without waiting for its reply.
int StartFetchStream(Session& s) {
  std::string command;
  if (!s.link.identity.extended && !IsQzFamily(s.link.identity)) command = "F";
  else if (s.fetch.allChannels) command = "F00";
  else command = Format("F%02X", s.fetch.fetchCode & 0xFF);
  int expected = FetchReplyLength(s);
  const int channels = s.description.channelCount;
  if (s.fetch.allChannels && s.description.engineeringUnitsLevel > 0 &&
      (s.deployment.block.oemFlags & 4))
    expected = 10 * channels + 22;
  s.fetch.expectedLength = expected;
  s.fetch.replyTimeLimitSeconds =
      (s.description.latencyMs + s.description.readingTimeMs) / 1000 + 3;
  s.fetch.collected = 0;
  s.reply.clear();
  WriteComm(s, PortRole::Logger, command);
  return 1;
}

// Real-time collection: append one read; 1 when a reading is complete.
int CollectFetch(Session& s) {
  const int room = std::min(300, FetchState::kCollectCapacity - s.fetch.collected);
  uint8_t* at = s.reply.data() + s.fetch.collected;
  const int got = room > 0 ? ReadComm(s, PortRole::Logger, at, room + 1, room) : 0;
  s.fetch.collected += got;
  s.reply.length = s.fetch.collected;
  s.reply.bytes[static_cast<size_t>(s.fetch.collected)] = '\0';
  const bool engineering = s.description.engineeringUnitsLevel > 0 && (s.deployment.block.oemFlags & 4);
  if (engineering) {
    const std::string_view raw = s.reply.raw();
    const size_t end = raw.find("FET\r\n");
    if (end != std::string_view::npos) {
      s.fetch.collected = static_cast<int>(end + 3);
      s.reply.length = s.fetch.collected;
      s.reply.bytes[static_cast<size_t>(s.fetch.collected)] = '\0';
      return 1;
    }
  } else if (got >= s.fetch.expectedLength) {
    return 1;
  }
  if (s.fetch.collected >= 2044) {
    s.fetch.collected = 0;
    s.reply.clear();
  }
  return 0;
}

}  // namespace

int FetchReplyLength(const Session& s) {
  if (!s.fetch.allChannels) return 8;
  const int channels = s.description.channelCount;
  if (s.description.engineeringUnitsLevel > 0 && (s.deployment.block.oemFlags & 4))
    return 12 * channels + 22;
  return 3 * channels + 13;
}

int CommGet(Session& s, int n) {
  switch (n) {
    case 1: return QueryDateTime(s, "B", "CTD", s.link.loggerClock);
    case 2: {
      if (!QueryTagged(s, "C", "CSP")) return 0;
      TimeRecord p = ParseWireDuration(s.reply.text());
      if (PeriodSeconds(p) == 0) p = MakePeriod(0, 1, 0);  // never stored as 00:00:00
      s.deployment.samplingPeriod = MakePeriod(p.hour, p.minute, p.second);
      return 1;
    }
    case 3: return QueryDateTime(s, "D", "CST", s.deployment.startTime);
    case 4: return QueryDateTime(s, "E", "CET", s.deployment.endTime);
    case 6: return QueryMemoryPointer(s);
    case 7: return FetchOnce(s);
    case 9: {
      if (!QueryTagged(s, "T", "Logger")) return 0;
      int code = 0, second = 0;
      if (!ParseStatusReply(s.reply.text(), s.link.identity.extended, &code, &second)) return 0;
      s.link.status = code;
      s.link.statusSecondByte = second;
      return 1;
    }
    case 17: return QueryAveraging(s);
    case 20: return ReadParameterBlock(s);
    case 21: return QueryBattery(s);
    case 26: {
      if (!s.link.identity.extended) return 0;
      WriteComm(s, PortRole::Logger, "T");
      ReadReply(s, 120);
      const std::string_view reply = s.reply.text();
      if (Contains(reply, "Logger status 7F")) return 0;
      return Contains(reply, "Logger status") ? 1 : 0;
    }
    case 27: return QueryTagged(s, "!W", "WIN") ? 1 : 0;
    case 28: return QueryStartCharacteristic(s);
    case 30: return QueryHighRate(s);
    case 31: return QueryWaveParameters(s);
    case 32: return QueryLoggerHeight(s);
    case 33: return QueryT00(s);
    case 39: return StartFetchStream(s);
    case 40: return CollectFetch(s);

    case 0: return Connect(s) ? 1 : 0;
    case 16: return ReadConfiguration(s);

    case 10: return ReadCoefficients(s);

    default:
      s.ui.message({"Unknown CommGet command", "DEBUG", Icon::Warning, Buttons::Ok, Answer::Ok});
      return 0;
  }
}

}  // namespace kts
