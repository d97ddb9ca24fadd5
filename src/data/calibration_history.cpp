#include "data/calibration_history.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "data/atomic_file.h"
#include "link/coefficients.h"
#include "link/commands.h"
#include "platform/status_line.h"

namespace kts {
namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The file's text and the window's list, line by line.
struct HistoryText {
  std::string contents;
  std::vector<std::string>* lines;
  void add(const std::string& line) {
    contents += line;
    contents += '\n';
    if (lines) lines->push_back(line);
  }
};

void HistoryError(Session& s, HistoryText& text) {
  text.add("Calibration History error");
  ShowStatus(s.ui, "Calibration History error");
}

void NotCalibrated(HistoryText& text) {
  text.add("");
  text.add("Logger not yet calibrated.");
}

void WriteExtendedHistory(Session& s, HistoryText& text) {
  const int channels = std::max(1, std::min(s.description.channelCount, kMaxChannels));
  for (int r = 0; r <= 0xFFFF; ++r) {
    uint8_t table[256];
    int n = 0;
    const int result = ReadHistoryTable(s, r, 0, table, sizeof table, &n);
    bool complete = false;
    std::array<int, 6> date{};
    const std::string_view header(reinterpret_cast<const char*>(table),
                                  static_cast<size_t>(std::max(n - 1, 0)));
    if (result == 1 && ParseHistoryHeader(header, &complete, &date)) {
      // a record: listed below
    } else if (result == 0) {
      // A header that cannot be read is not the end of the history: the
      // file says so rather than stop short without a word.
      HistoryError(s, text);
      return;
    } else {
      if (r == 0) NotCalibrated(text);
      return;
    }
    text.add("");
    text.add(HistoryDateText(date, true) + (complete ? "" : " incomplete calibration"));
    std::array<ChannelCoefficients, kMaxChannels> c{};
    bool usable = complete;
    for (int k = 1; k <= channels; ++k) {
      int m = 0;
      if (ReadHistoryTable(s, r, k, table, sizeof table, &m) != 1 || m < 33) {
        HistoryError(s, text);
        return;
      }
      c[static_cast<size_t>(k - 1)] = UnpackCoefficients(table);
      usable = usable && AllFinite(c[static_cast<size_t>(k - 1)]);
      text.add(HistoryChannelLine(k, c[static_cast<size_t>(k - 1)], true));
    }
    // The newest record is the set in force, when it is a complete one.
    if (r == 0 && usable) InstallCoefficients(s, c, date, channels);
  }
}

void WriteFlashHistory(Session& s, HistoryText& text) {
  const int channels = std::max(1, std::min(s.description.channelCount, kMaxChannels));
  FlashRecord newest;
  int end = 0;
  const FlashWalk walk = WalkFlashRecords(s, &newest, &end, [&](const FlashRecord& r) {
    text.add("");
    text.add(HistoryDateText(r.date, false));
    for (int k = 1; k <= channels; ++k)
      text.add(HistoryChannelLine(k, r.c[static_cast<size_t>(k - 1)], false));
  });
  if (walk == FlashWalk::Empty) {
    NotCalibrated(text);
    return;
  }
  if (walk == FlashWalk::Error) {
    HistoryError(s, text);
    return;
  }
  s.coefficients.qzOffset = end;
  bool usable = true;
  for (int k = 0; k < channels; ++k) usable = usable && AllFinite(newest.c[static_cast<size_t>(k)]);
  if (usable) InstallCoefficients(s, newest.c, newest.date, channels);
}

// The oldest loggers keep one set: the history is that set.
void WriteSingleHistory(Session& s, HistoryText& text) {
  s.link.reread.coefficients = true;
  if (CommGet(s, 10) != 1) {
    NotCalibrated(text);
    return;
  }
  text.add("");
  text.add(HistoryChannelLine(1, s.coefficients.c[0], false));
}

}  // namespace

std::string HistoryFilePath(const std::string& directory, int serial, int number) {
  std::string path = directory.empty() ? std::string(".") : directory;
  if (path.back() != '/') path += '/';
  return path + Format("%06d.%03d.his", serial, number);
}

int NextHistoryFileNumber(const std::string& directory, int serial) {
  for (int number = 0; number < kHistoryFileNumbers; ++number)
    if (!FileExists(HistoryFilePath(directory, serial, number))) return number;
  return -1;
}

std::string HistoryDateText(const std::array<int, 6>& d, bool extended) {
  return Format(extended ? "%4d/%s/%02d %02d:%02d:%02d" : "%04d/%s/%02d %02d:%02d:%02d",
                d[0] + 2000, MonthAbbreviation(d[1]), d[2], d[3], d[4], d[5]);
}

std::string HistoryChannelLine(int channel, const ChannelCoefficients& c, bool extended) {
  if (!extended)
    return Format("%3d: %18.15f %18.15f %18.15f %18.15f ", channel, c[0], c[1], c[2], c[3]);
  bool small = true;
  for (double v : c) small = small && std::fabs(v) <= 1e6;
  return Format(small ? "%3d: %.15f %.15f %.15f %.15f " : "%3d: %23.15e %23.15e %23.15e %23.15e ",
                channel, c[0], c[1], c[2], c[3]);
}

int WriteHistoryFile(Session& s, std::vector<std::string>* lines) {
  const std::string& directory = s.settings.baseDirectory;
  const int serial = s.link.identity.serial;
  const int number = NextHistoryFileNumber(directory, serial);
  if (number < 0) {
    ShowStatus(s.ui, "Calibration History error - unable to open file");
    return 0;
  }
  const std::string path = HistoryFilePath(directory, serial, number);
  HistoryText text{{}, lines};
  const LoggerIdentity& id = s.link.identity;
  text.add(Format("KTS Data Logger: %s %5.2f %06d", id.model.c_str(),
                  static_cast<double>(id.firmware), id.serial));
  CommGet(s, 16);  // the channel count (read once per logger)
  switch (GenerationOf(id)) {
    case CalibrationGeneration::History:
      WriteExtendedHistory(s, text);
      break;
    case CalibrationGeneration::Flash:
      WriteFlashHistory(s, text);
      break;
    case CalibrationGeneration::Single:
      WriteSingleHistory(s, text);
      break;
  }
  if (!WriteFileAtomically(path, text.contents)) {
    ShowStatus(s.ui, "Calibration History error - unable to open file");
    return 0;
  }
  ShowStatus(s.ui, Format("Calibration history written to file %s", path.c_str()));
  return 1;
}

}  // namespace kts
