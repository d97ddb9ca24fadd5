// Memory reads ("I") and the QZ flash calibration area ("!C").
#include "core/checksum.h"
#include "core/text.h"
#include "sim/logger_engine.h"
#include "sim/wire_fields.h"

namespace kts::sim {
namespace {

constexpr uint32_t kLargestRead = 0x10000;

uint32_t LittleEndian32(const uint8_t* b) {
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

}  // namespace

// Older loggers cannot read across a 64 KiB bank in one request; the host
// knows this and asks for the boundary blocks in fixed forms, counting on
// exact byte counts. Each is answered with that count from the start
// address on, so the image read stays continuous.
size_t LoggerEngine::memoryReadLength(uint32_t start, uint32_t end) const {
  const size_t asked = end - start;
  if (IsExtended(profile_)) return asked;
  const uint32_t nextBank = (start & ~0xFFFFu) + 0x10000;
  if (start == kConfigurationBlockStart &&
      end == kConfigurationBlockStart + kConfigurationBlockSize + 1)
    return kConfigurationBlockSize;  // the configuration read: 54 bytes and their sum
  if ((start == 0x0FF780 || start == 0x1FF780 || start == 0x2FF780) && end == nextBank) return 126;
  if (start == 0x3FF780 && (end & 0xFF) == 0xFE && asked >= 126) return 126;
  if ((start & 0xFFFF) == 0xFF00 && end == nextBank) return 255;
  return asked;
}

void LoggerEngine::readMemory(const std::string& c, const EngineTime& now) {
  uint8_t b[8];
  if (!ParseHexField(std::string_view(c).substr(1), 8, b))
    return refuse(now, "not eight hex bytes");
  const uint32_t end = LittleEndian32(b), start = LittleEndian32(b + 4);
  if (end <= start || end - start > kLargestRead)
    return refuse(now, "not a readable address range");
  const size_t n = memoryReadLength(start, end);
  std::string reply(n, '\0');
  memory_.read(start, n, reinterpret_cast<uint8_t*>(reply.data()));
  if (SendsCheckByte(profile_)) {
    uint8_t check = MemoryCheckByte(reinterpret_cast<const uint8_t*>(reply.data()), n);
    if (faults_.corruptCheckByte()) {
      check = static_cast<uint8_t>(~check);
      log_.note("fault: wrong check byte");
    }
    reply.push_back(static_cast<char>(check));
  } else if (faults_.corruptCheckByte()) {
    log_.note("fault: no check byte to make wrong on this logger");
  }
  answer(std::move(reply), now);
}

// "!C" + offset (low, high) + count + count bytes as hex digits: programs
// the flash calibration area (a header of 6 BCD bytes, a channel's 32).
void LoggerEngine::programCalibrationArea(const std::string& c, const EngineTime& now) {
  if (profile_.calibration != CalibrationKind::Flash) {
    answer("Unknown command\r\n", now);
    return;
  }
  uint8_t head[3];
  if (!ParseHexField(std::string_view(c).substr(2), 3, head))
    return refuse(now, "not an offset and count");
  const uint32_t offset = uint32_t{head[0]} | uint32_t{head[1]} << 8;
  const size_t count = head[2];
  std::vector<uint8_t> data(count);
  if (!ParseHexField(std::string_view(c).substr(8), count, data.data()))
    return refuse(now, "the data are not hex digits");
  if (!memory_.programCalibration(offset, data.data(), count))
    return refuse(now, "beyond the calibration area");
  log_.note(Format("calibration area: %zu bytes at offset %u", count, offset));
  reconfigure();
}

}  // namespace kts::sim
