#include "link/coefficients.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/bcd.h"
#include "core/checksum.h"
#include "core/session.h"
#include "core/text.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr int kTries = 5;
constexpr const char* kNotCalibrated = "Logger not yet calibrated - using defaults";

int Channels(const Session& s) {
  return std::clamp(s.description.channelCount, 1, kMaxChannels);
}

void UseDefaults(Session& s, bool notCalibrated) {
  InstallDefaultCoefficients(s.coefficients, s.description, s.link.identity);
  s.coefficients.notCalibrated = notCalibrated;
  if (notCalibrated) ShowStatus(s.ui, kNotCalibrated);
}

bool SameCoefficients(const std::array<ChannelCoefficients, kMaxChannels>& a,
                      const std::array<ChannelCoefficients, kMaxChannels>& b, int channels) {
  return std::equal(a.begin(), a.begin() + channels, b.begin());
}

// --- Extended loggers: history records behind "V" ---------------------------

// A channel's 32 bytes from "V%02X%02X%02X"; false when it cannot be read.
bool ReadHistoryChannel(Session& s, int record, int channel, ChannelCoefficients* out) {
  uint8_t table[256];
  int n = 0;
  if (ReadHistoryTable(s, record, channel, table, sizeof table, &n) != 1 || n < 33) return false;
  *out = UnpackCoefficients(table);
  return true;
}

int ReadHistoryCurrent(Session& s) {
  uint8_t table[256];
  int n = 0;
  bool complete = false;
  std::array<int, 6> date{};
  if (ReadHistoryTable(s, 0, 0, table, sizeof table, &n) != 1 ||
      !ParseHistoryHeader(std::string_view(reinterpret_cast<const char*>(table),
                                           static_cast<size_t>(std::max(n - 1, 0))),
                          &complete, &date) ||
      !complete) {
    UseDefaults(s, true);
    return 0;
  }
  const int channels = Channels(s);
  std::array<ChannelCoefficients, kMaxChannels> c{};
  for (int k = 1; k <= channels; ++k) {
    ChannelCoefficients& channel = c[static_cast<size_t>(k - 1)];
    // A coefficient that is not a number (erased or damaged storage) means
    // the logger holds no usable calibration.
    if (!ReadHistoryChannel(s, 0, k, &channel) || !AllFinite(channel)) {
      UseDefaults(s, true);
      return 0;
    }
  }
  InstallCoefficients(s, c, date, channels);
  return 1;
}

// --- Older QZ loggers: records appended to the flash calibration area -------

void ShowDownloadError(Session& s) {
  s.ui.message({"Download Error in reading calibration coefficients", "Calibration", Icon::Warning,
                Buttons::Ok, Answer::Ok});
}

// n bytes at `offset` of the area and their check byte, up to five tries;
// after a bad try the rest of the reply is drained. False after five.
bool ReadFlash(Session& s, int offset, int n, uint8_t* out) {
  const unsigned end = static_cast<unsigned>(offset + n);
  const unsigned start = static_cast<unsigned>(offset);
  const std::string command = Format("I%02X%02X0100%02X%02X0100", end & 0xFF, (end >> 8) & 0xFF,
                                     start & 0xFF, (start >> 8) & 0xFF);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    WriteComm(s, PortRole::Logger, command);
    const int got = ReadReply(s, n + 1);
    if (got == n + 1 &&
        s.reply.data()[n] == MemoryCheckByte(s.reply.data(), static_cast<size_t>(n))) {
      std::memcpy(out, s.reply.data(), static_cast<size_t>(n));
      return true;
    }
    DelayMs(s, 500);
    ReadReply(s, n + 1);
  }
  return false;
}

enum class FlashRead { Record, End, Error };

FlashRead ReadFlashRecord(Session& s, int offset, int channels, FlashRecord* out) {
  uint8_t header[kFlashHeaderBytes];
  if (!ReadFlash(s, offset, kFlashHeaderBytes, header)) return FlashRead::Error;
  if (header[0] > 254) return FlashRead::End;  // erased flash
  for (int i = 0; i < 6; ++i) out->date[static_cast<size_t>(i)] = BcdToInt(header[i]);
  int p = offset + kFlashHeaderBytes;
  for (int k = 0; k < channels; ++k, p += kFlashEntryBytes) {
    uint8_t entry[kFlashEntryBytes];
    if (!ReadFlash(s, p, kFlashEntryBytes, entry)) return FlashRead::Error;
    out->c[static_cast<size_t>(k)] = UnpackCoefficients(entry);
  }
  return FlashRead::Record;
}

int ReadFlashCurrent(Session& s) {
  FlashRecord newest;
  int end = 0;
  switch (WalkFlashRecords(s, &newest, &end)) {
    case FlashWalk::Empty:
      s.coefficients.qzOffset = 0;
      UseDefaults(s, true);
      return 0;
    case FlashWalk::Error:
      UseDefaults(s, false);
      return 0;
    case FlashWalk::Records:
      break;
  }
  s.coefficients.qzOffset = end;
  const int channels = Channels(s);
  for (int k = 0; k < channels; ++k) {
    if (!AllFinite(newest.c[static_cast<size_t>(k)])) {
      UseDefaults(s, true);
      return 0;
    }
  }
  InstallCoefficients(s, newest.c, newest.date, channels);
  return 1;
}

// --- The oldest loggers: one set behind "Z" ---------------------------------

int ReadSingle(Session& s) {
  // The logger answers either "CAL" alone (not calibrated) or the 32 bytes
  // followed by "CAL"; anything else is asked again, a bounded number of
  // times, so a logger that keeps babbling cannot hold the program.
  for (int attempt = 0; attempt < kTries; ++attempt) {
    WriteComm(s, PortRole::Logger, "Z");
    const int got = ReadReply(s, 120);
    const std::string_view raw = s.reply.raw();
    if (got < 8 && Contains(raw, "CAL")) {
      UseDefaults(s, true);
      return 0;
    }
    if (got >= 8 && raw.size() > 32 && Contains(raw.substr(32), "CAL")) {
      std::array<ChannelCoefficients, kMaxChannels> c{};
      c[0] = UnpackCoefficients(s.reply.data());
      if (!AllFinite(c[0])) {
        UseDefaults(s, true);
        return 0;
      }
      InstallCoefficients(s, c, {}, 1);
      return 1;
    }
  }
  UseDefaults(s, true);
  return 0;
}

// --- Writing ----------------------------------------------------------------

int UploadFailure(Session& s, const std::string& text) {
  ShowStatus(s.ui, text);
  s.ui.progress(100, text);
  if (const char* refusal = UploadRefusalText(s.reply.raw()))
    s.ui.message({refusal, "Calibration Error", Icon::Error, Buttons::Ok, Answer::Ok});
  // What the logger now holds is read again before it is used.
  s.link.reread.coefficients = true;
  return 0;
}

int WriteHistory(Session& s) {
  // The refusal codes are looked for in the last reply: nothing older may
  // stand in for it when the logger says nothing at all.
  s.reply.clear();
  const uint8_t open[1] = {'A'};
  if (!SendTable(s, "U0000", 1, open))
    return UploadFailure(s, "Start of calibration procedure send error");
  const int channels = Channels(s);
  for (int k = 1; k <= channels; ++k) {
    const std::string text = Format("Writing calibration data for channel %d", k);
    s.ui.progress(100 * (k - 1) / channels, text);
    ShowStatus(s.ui, text);
    uint8_t data[34] = {};  // the 32 bytes and a zero byte; room for the check byte
    PackCoefficients(s.coefficients.c[static_cast<size_t>(k - 1)], data);
    if (!SendTable(s, Format("U%02X%02X", k & 0xFF, (k >> 8) & 0xFF), 33, data))
      return UploadFailure(s, Format("Failure in writing calibration data for channel %d", k));
  }
  const uint8_t close[1] = {'Z'};
  if (!SendTable(s, "U0000", 1, close))
    return UploadFailure(s, "End of calibration procedure send error");
  s.ui.progress(100, "Calibration successful");
  ShowStatus(s.ui, "Calibration successful");
  s.link.reread.coefficients = true;
  return 1;
}

void ShowWriteResult(Session& s, bool ok) {
  if (ok)
    s.ui.message({"Writing of calibration coefficients successful.", "Calibration",
                  Icon::Information, Buttons::Ok, Answer::Ok});
  else
    s.ui.message({"Error in writing calibration coefficients.\nTry again.", "Calibration",
                  Icon::Warning, Buttons::Ok, Answer::Ok});
}

bool TwelveDigits(std::string_view text) {
  if (text.size() < 12) return false;
  return std::all_of(text.begin(), text.begin() + 12,
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

int WriteFlash(Session& s) {
  CommGet(s, 1);
  CommSend(s, 1);  // the record is dated by the logger clock: set it to the host's
  if (!Reconnect(s)) {
    ShowWriteResult(s, false);
    return 0;
  }
  const int channels = Channels(s);
  // Flash is programmed where the records end. That place is found again
  // here rather than trusted from an earlier read: programming over an
  // existing record would destroy it.
  FlashRecord newest;
  int offset = 0;
  if (WalkFlashRecords(s, &newest, &offset) == FlashWalk::Error) {
    ShowWriteResult(s, false);
    return 0;
  }
  s.coefficients.qzOffset = offset;
  if (!FlashRecordFits(offset, channels)) {
    s.ui.message(
        {"Insufficient memory available for storing calibration coefficients.\nContact "
         "KTS.",
         "Calibration", Icon::Warning, Buttons::Ok, Answer::Ok});
    return 0;
  }
  // A clock that cannot be read would date the record 2000-01-01 in flash
  // that cannot be rewritten: nothing is written then.
  if (!CommGet(s, 1) || !TwelveDigits(s.reply.text())) {
    ShowWriteResult(s, false);
    return 0;
  }
  const std::string date(s.reply.text().substr(0, 12));
  WriteComm(
      s, PortRole::Logger,
      Format("!C%02X%02X%02X", offset & 0xFF, (offset >> 8) & 0xFF, kFlashHeaderBytes) + date);
  offset += kFlashHeaderBytes;
  const std::array<ChannelCoefficients, kMaxChannels> written = s.coefficients.c;
  for (int k = 1; k <= channels; ++k) {
    DelayMs(s, 100);
    ShowStatus(s.ui, Format("Writing calibration data for channel %d", k));
    uint8_t bytes[32];
    PackCoefficients(written[static_cast<size_t>(k - 1)], bytes);
    std::string command = Format("!C%02X%02X%02X", offset & 0xFF, (offset >> 8) & 0xFF, 0x20);
    for (uint8_t b : bytes) command += Format("%02X", b);
    WriteComm(s, PortRole::Logger, command);
    offset += kFlashEntryBytes;
  }
  DelayMs(s, 100);

  int end = 0;
  const FlashWalk walk = WalkFlashRecords(s, &newest, &end);
  bool ok = false;
  if (walk == FlashWalk::Records) {
    s.coefficients.qzOffset = end;
    ok = SameCoefficients(newest.c, written, channels);
    // Either way the set now holds what the logger holds.
    InstallCoefficients(s, newest.c, newest.date, channels);
  } else {
    s.link.reread.coefficients = true;
  }
  ShowWriteResult(s, ok);
  return ok ? 1 : 0;
}

int WriteSingle(Session& s) {
  const ChannelCoefficients written = s.coefficients.c[0];
  uint8_t command[33];
  command[0] = 'Y';
  PackCoefficients(written, command + 1);
  WriteBytes(s, PortRole::Logger, command, sizeof command);
  // Read back what the logger now holds and compare it with a copy of what
  // was sent (the set itself is replaced by the read).
  s.link.reread.coefficients = true;
  const bool ok = CommGet(s, 10) == 1 && s.coefficients.c[0] == written;
  ShowWriteResult(s, ok);
  return ok ? 1 : 0;
}

}  // namespace

int ReadHistoryTable(Session& s, int record, int channel, uint8_t* out, int capacity, int* n) {
  const std::string command =
      Format("V%02X%02X%02X", record & 0xFF, (record >> 8) & 0xFF, channel & 0xFF);
  int result = 0;
  for (int attempt = 0; attempt < kTries && result != 1; ++attempt) {
    result = ReadTable(s, command, out, capacity, n);
    if (result == -1) break;  // no such record: asking again will not make one
  }
  return result;
}

void InstallCoefficients(Session& s, const std::array<ChannelCoefficients, kMaxChannels>& c,
                         const std::array<int, 6>& date, int channels) {
  CoefficientSet& set = s.coefficients;
  InstallDefaultCoefficients(set, s.description, s.link.identity);
  std::copy(c.begin(), c.begin() + std::clamp(channels, 0, kMaxChannels), set.c.begin());
  set.date = date;
  set.readFromLogger = true;
  set.notCalibrated = false;
}

bool ParseHistoryHeader(std::string_view table, bool* complete, std::array<int, 6>* date) {
  size_t at = table.find("CAL");
  bool isComplete = true;
  if (at == std::string_view::npos) {
    at = table.find("CMM");
    isComplete = false;
  }
  if (at == std::string_view::npos) return false;
  *complete = isComplete;
  // "%2d%2d%2d%2d%2d%2d": two characters per number; what does not read as
  // a number stays 0.
  const std::string digits(table.substr(at + 3, 12));
  std::array<int, 6> d{};
  std::sscanf(digits.c_str(), "%2d%2d%2d%2d%2d%2d", &d[0], &d[1], &d[2], &d[3], &d[4], &d[5]);
  *date = d;
  return true;
}

const char* UploadRefusalText(std::string_view reply) {
  const size_t nak = reply.find(static_cast<char>(kNak));
  if (nak == std::string_view::npos) return nullptr;
  const std::string_view before = reply.substr(nak < 8 ? 0 : nak - 8, nak < 8 ? nak : 8);
  if (Contains(before, "F0"))
    return "There is a channel error in terminating\nthe writing of the calibration coefficients.";
  if (Contains(before, "F1"))
    return "There is no more memory available for further calibration coefficients.";
  if (Contains(before, "F2")) return "There is no configuration table loaded in this logger.";
  return nullptr;
}

FlashWalk WalkFlashRecords(Session& s, FlashRecord* newest, int* end,
                           const std::function<void(const FlashRecord&)>& each) {
  const int channels = Channels(s);
  const int recordBytes = FlashRecordBytes(channels);
  int p = 0;
  bool any = false;
  *end = 0;
  // Each record ends at least recordBytes further on, so the walk ends
  // within the area whatever the flash holds.
  while (p + recordBytes <= kFlashAreaSize) {
    FlashRecord record;
    const FlashRead read = ReadFlashRecord(s, p, channels, &record);
    if (read == FlashRead::Error) {
      ShowDownloadError(s);
      return FlashWalk::Error;
    }
    if (read == FlashRead::End) break;
    any = true;
    *newest = record;
    if (each) each(record);
    p += recordBytes;
    *end = p;
    // Peek at the next header: a first byte below 255 means another record.
    if (p + recordBytes > kFlashAreaSize) break;
    uint8_t peek[3];
    if (!ReadFlash(s, p, 3, peek)) {
      ShowDownloadError(s);
      return FlashWalk::Error;
    }
    if (peek[0] == 0xFF) break;
  }
  return any ? FlashWalk::Records : FlashWalk::Empty;
}

int ReadCoefficients(Session& s) {
  if (!s.link.reread.coefficients) return 1;
  ShowStatus(s.ui, "Reading calibration data ");
  int result = 0;
  switch (GenerationOf(s.link.identity)) {
    case CalibrationGeneration::History:
      result = ReadHistoryCurrent(s);
      break;
    case CalibrationGeneration::Flash:
      result = ReadFlashCurrent(s);
      break;
    case CalibrationGeneration::Single:
      result = ReadSingle(s);
      break;
  }
  if (result == 1) {
    s.link.reread.coefficients = false;
    ShowStatus(s.ui, "Calibration Coefficients read successfully");
  }
  return result;
}

int ReadConfigurationAndCoefficients(Session& s) {
  if (CommGet(s, 16) != 1) return 0;
  CommGet(s, 10);
  return 1;
}

int WriteCoefficients(Session& s) {
  switch (GenerationOf(s.link.identity)) {
    case CalibrationGeneration::History:
      return WriteHistory(s);
    case CalibrationGeneration::Flash:
      return WriteFlash(s);
    case CalibrationGeneration::Single:
      return WriteSingle(s);
  }
  return 0;
}

}  // namespace kts
