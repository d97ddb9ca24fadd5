// The .dat file: the common header, then one row per sample with the
// chosen time columns and every channel but the wave height as "%9.4f ".
#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "convert/channel_range.h"
#include "convert/channel_types.h"
#include "convert/derived_channels.h"
#include "core/session.h"
#include "core/text.h"
#include "data/common_header.h"
#include "data/data_files.h"
#include "data/decoder.h"
#include "data/directories.h"
#include "data/file_output.h"
#include "data/fixed_text.h"
#include "data/header_parser.h"
#include "data/line_reader.h"
#include "data/read_support.h"
#include "data/recent_files.h"
#include "data/row_times.h"
#include "platform/status_line.h"

namespace kts {
namespace {

// Long enough for a lead and 24 values of any float; longer lines are cut,
// which can only cut derived columns, which are not read.
constexpr size_t kRowLineLength = 4096;

// A logger that records text rather than readings.
bool RecordsText(const LoggerDescription& d) {
  return (d.rsAdvanced & (kRsAsciiOutput | kRsBinaryOutput)) == kRsAsciiOutput;
}

void ShowProblem(Session& s, const FileProblem& p) {
  s.ui.message({p.text, p.caption, Icon::Warning, Buttons::Ok, Answer::Ok});
}

FileProblem NotDatFile() {
  return {"This file is not an KTS DAT file", "Reading a DAT file"};
}

char* PutTwo(char* p, int v) {
  if (v >= 0 && v < 100) {
    *p++ = static_cast<char>('0' + v / 10);
    *p++ = static_cast<char>('0' + v % 10);
    return p;
  }
  return PutInt(p, v, 2, true);
}

void WriteRows(FileOutput& out, const DataSet& d, int timeColumns, int first, int last) {
  std::array<const float*, kMaxChannels> rows{};
  int columns = 0;
  const int total = std::clamp(d.totalChannels, 0, kMaxChannels);
  for (int c = 0; c < total; ++c)
    if (d.types[static_cast<size_t>(c)] != kTypeSignificantWaveHeight)
      rows[static_cast<size_t>(columns++)] = d.row(c);
  RowTimes times(d, first);
  for (int i = first; i <= last; ++i) {
    char* p = out.cursor();
    if (timeColumns > 0) {
      const TimeRecord t = times.next();
      if (timeColumns == 2) {
        p = PutInt(p, t.year, 4, true);
        *p++ = '/';
        p = PutTwo(p, t.month);
        *p++ = '/';
        p = PutTwo(p, t.day);
        *p++ = ' ';
      }
      p = PutTwo(p, t.hour);
      *p++ = ':';
      p = PutTwo(p, t.minute);
      *p++ = ':';
      p = PutTwo(p, t.second);
      *p++ = ' ';
    }
    for (int k = 0; k < columns; ++k) {
      p = PutFixed(p, rows[static_cast<size_t>(k)][i], 4, 9);
      *p++ = ' ';
    }
    *p++ = '\n';
    out.advance(p);
  }
}

// Reads one "%f" as scanf would (blanks skipped, an optional sign), in any
// locale.
bool ReadValue(const char*& p, const char* end, float& out) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (p < end && *p == '+') ++p;
  double v = 0;
  const auto r = std::from_chars(p, end, v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large for a double: as printf's reader, an infinity of its sign.
    v = (*p == '-') ? -HUGE_VAL : HUGE_VAL;
  } else if (r.ec != std::errc()) {
    return false;
  }
  p = r.ptr;
  out = static_cast<float>(v);
  return true;
}

// Reads the rows into the data set; returns the number of complete rows.
int ReadRows(LineReader& in, DataSet& d, int lead) {
  const int measured = d.measuredChannels;
  const int n = d.sampleCount;
  std::array<float, kMaxChannels> low{}, high{};
  low.fill(300.0f);
  high.fill(-300.0f);
  std::array<float*, kMaxChannels> rows{};
  for (int c = 0; c < measured; ++c) rows[static_cast<size_t>(c)] = d.row(c);
  std::string line;
  int i = 0;
  for (; i < n; ++i) {
    if (!in.next(line) || line.size() < static_cast<size_t>(lead)) break;
    const char* p = line.data() + lead;
    const char* end = line.data() + line.size();
    // A row counts only when every measured value is there.
    std::array<float, kMaxChannels> values{};
    int c = 0;
    while (c < measured && ReadValue(p, end, values[static_cast<size_t>(c)])) ++c;
    if (c < measured) break;
    for (c = 0; c < measured; ++c) {
      const float v = values[static_cast<size_t>(c)];
      rows[static_cast<size_t>(c)][i] = v;
      if (v >= -999.0f) {
        low[static_cast<size_t>(c)] = std::min(low[static_cast<size_t>(c)], v);
        high[static_cast<size_t>(c)] = std::max(high[static_cast<size_t>(c)], v);
      }
    }
  }
  for (int c = 0; c < measured; ++c) {
    rows[static_cast<size_t>(c)][i] = low[static_cast<size_t>(c)];
    rows[static_cast<size_t>(c)][i + 1] = high[static_cast<size_t>(c)];
  }
  return i;
}

std::string WithExtension(const std::string& path, const char* extension) {
  std::filesystem::path p(path);
  p.replace_extension(extension);
  return p.string();
}

// The tide-and-wave logger's .hex: in the base "hex" folder, else beside the .dat.
std::string FindWaveHex(const Session& s, const std::string& datPath) {
  const std::string name =
      std::filesystem::path(WithExtension(datPath, ".hex")).filename().string();
  std::error_code ec;
  for (const std::string& candidate :
       {InBaseDirectory(s.settings, "hex/" + name), WithExtension(datPath, ".hex")})
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  return {};
}

}  // namespace

bool WriteDatFile(const Session& s, const std::string& path, std::string_view comment,
                  int timeColumns, int first, int last, std::string* error) {
  const DataSet& d = s.data;
  const bool text = RecordsText(d.context.description) && s.image.length > 0;
  const bool holds = RowLayoutHolds(d.totalChannels, d.sampleCount, d.stride);
  HeaderOptions o;
  o.form = HeaderForm::Dat;
  o.comment = comment;
  o.timeColumns = std::clamp(timeColumns, 0, 2);
  int textStart = 0, textLength = 0;
  if (text) {
    // The logger's own lines after its parameter block; each "\n" is a sample.
    const int length = std::clamp(s.image.length, 0, MemoryImage::kCapacity);
    textStart = std::clamp(d.context.description.parameterBlockLength, 0, length);
    textLength = length - textStart;
    o.sampleCount = static_cast<int>(
        std::count(s.image.bytes.get() + textStart, s.image.bytes.get() + length, uint8_t{'\n'}));
  } else if (!holds) {
    // Counts that do not describe the store: a header and no rows rather
    // than a read beyond it.
    o.sampleCount = 0;
  } else if (last >= 0) {
    o.firstSample = std::max(first, 0);
    o.lastSample = std::min(last, d.sampleCount - 1);
    if (o.lastSample < o.firstSample) o.sampleCount = 0;
  }
  std::string header;
  AppendCommonHeader(s, o, header);
  FileOutput out;
  if (!out.open(path)) {
    if (error) *error = out.error();
    return false;
  }
  out.write(header);
  if (text) {
    out.write(std::string_view(reinterpret_cast<const char*>(s.image.bytes.get()) + textStart,
                               static_cast<size_t>(textLength)));
  } else if (holds && last >= 0) {
    WriteRows(out, d, o.timeColumns, o.firstSample, o.lastSample);
  } else if (holds) {
    WriteRows(out, d, o.timeColumns, 0, d.sampleCount - 1);
  }
  if (!out.commit()) {
    if (error) *error = out.error();
    return false;
  }
  return true;
}

int ReadDataStream(Session& s, std::FILE* file, const std::string& name) {
  LineReader in(file, kHeaderLineLength);
  std::string line;
  if (!in.next(line) || !Contains(line, "KTS")) {
    ShowProblem(s, NotDatFile());
    return 0;
  }
  auto parsed = std::make_unique<ParsedHeader>();
  ParsedHeader& h = *parsed;
  FileProblem problem;
  if (!ParseCommonHeader(in, line, HeaderForm::Dat, h, &problem)) {
    ShowProblem(s, problem);
    return 0;
  }
  // The rows must fit the store, two slots a channel for the range.
  const int64_t stride = int64_t{h.sampleCount} + 2;
  if (stride * h.channels > kRowStoreFloats) {
    ShowProblem(s, {"Error while reading file header", "Read File"});
    return 0;
  }

  // From here on the file is taken.
  TakeHeader(s, h);
  DataSet& d = s.data;
  d.sampleCount = h.sampleCount;
  d.stride = static_cast<int>(stride);
  d.headerLength = 0;
  d.burstCount = 0;
  d.stampCount = static_cast<int>(std::min<size_t>(h.stamps.size(), kMaxStamps));
  std::copy_n(h.stamps.begin(), d.stampCount, d.stamps.get());
  s.image.length = 0;  // nothing to write a .hex from
  if (h.stampsSuppressed)
    s.ui.message(
        {"Data contains more timestamps than buffer can hold.\nSubsequent timestamps "
         "will be suppressed.",
         "Timestamps", Icon::Warning, Buttons::Ok, Answer::Ok});

  LineReader rows(file, kRowLineLength);
  const int complete = ReadRows(rows, d, h.leadWidth);
  const bool lost = complete < d.sampleCount;
  d.sampleCount = complete;
  AssignStampMarkers(d);
  AppendDerivedChannels(s);
  s.app.sampleCount = d.sampleCount;
  s.app.channelCount = d.totalChannels;
  s.app.datDataLoaded = true;
  s.app.retrievedDataPresent = false;  // the retrieved data were replaced
  s.app.hexDataLoaded = false;
  s.app.newImageSinceSave = false;
  if (lost)
    s.ui.message(
        {"Error while reading file data.\nThe file has lost data.\nThe available data "
         "will be plotted.",
         "Read File", Icon::Warning, Buttons::Ok, Answer::Ok});
  ShowStatus(s.ui, h.comment.empty()
                       ? Format("Data from file: %s", name.c_str())
                       : Format("Data from file: %s - %s", name.c_str(), h.comment.c_str()));
  return 1;
}

int ReadDataFile(Session& s, const std::string& path) {
  if (!Contains(path, ".dat")) {
    ShowProblem(s, NotDatFile());
    return 0;
  }
  std::string used = path;
  InputFile file(path);
  if (file.file == nullptr && Contains(path, "dat")) {
    used = InBaseDirectory(s.settings, "dat/" + std::filesystem::path(path).filename().string());
    file.file = std::fopen(used.c_str(), "rb");
  }
  if (file.file == nullptr) {
    ShowProblem(s, {"File does not exist", "Read Data File"});
    RemoveRecent(s, path);
    return 0;
  }
  // The tide-and-wave logger keeps its bursts only in the .hex file.
  {
    LineReader first(file.file, kHeaderLineLength);
    std::string line;
    if (first.next(line) && Contains(line, "HKV")) {
      const std::string hex = FindWaveHex(s, used);
      if (!hex.empty()) return ReadHexFile(s, hex);
      s.ui.message(
          {"This program was unable to find the extended wave data for this\nHKV logger "
           "expected to be in the associated '.hex' file.\nIf this file has been moved or "
           "renamed,\nopen it directly using the 'Read a HEX file' menu item.\n\nThe "
           "temperature/pressure tide data will be displayed.",
           "Read File", Icon::Warning, Buttons::Ok, Answer::Ok});
    }
    std::rewind(file.file);
  }
  if (!ReadDataStream(s, file.file, used)) return 0;
  NoteReadDirectory(s, used, DataFolder::Dat);
  return 1;
}

std::optional<std::string> ChooseDataFile(Session& s) {
  FileRequest r;
  r.title = "Select an existing 'dat' file to be opened";
  r.filter = "All Data Files (*.dat)";
  r.pattern = "*.dat";
  r.directory = s.settings.datDirectory;
  r.defaultName = s.link.connected ? Format("%06d*.dat", s.link.identity.serial) : "*.dat";
  return s.ui.chooseFile(r);
}

}  // namespace kts
