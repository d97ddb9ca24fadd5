// The tide-and-wave logger's companions of a saved .dat file: the ".wave"
// file (one line per burst with its wave results) and the ".tide" file (the
// rows with their dates), both in the base directory's "hkv" folder.
#include <algorithm>
#include <filesystem>

#include "convert/channel_types.h"
#include "core/session.h"
#include "core/time_format.h"
#include "data/common_header.h"
#include "data/data_files.h"
#include "data/file_output.h"
#include "data/fixed_text.h"
#include "data/row_times.h"
#include "platform/status_line.h"

namespace kts {
namespace {

const char* BurstErrorText(int error) {
  switch (error) {
    case 1:
      return " - ERROR: mean depth<logger height above seabed";
    case 2:
      return " - ERROR: significant wave height>mean depth";
    default:
      return "";
  }
}

// "%04d/%s/%02d" with the month's name.
void NamedDate(TextOut& out, const TimeRecord& t) {
  out.integer(t.year, 4, true).ch('/').text(MonthAbbreviation(t.month)).ch('/');
  out.integer(t.day, 2, true);
}

std::string ShortHeader(const Session& s) {
  std::string text;
  HeaderOptions o;
  o.form = HeaderForm::Short;
  o.timeColumns = std::clamp(s.settings.timeColumns, 0, 2);
  AppendCommonHeader(s, o, text);
  return text;
}

bool WriteWave(const Session& s, const std::string& path, std::string* error) {
  const DataSet& d = s.data;
  std::string text = ShortHeader(s);
  text += "Date            Time     Depth    H(1/3)    T(1/3)    H(max)    Energy\n";
  text += "Date            Time         m         m       sec         m      J/m2\n";
  TextOut out(text);
  const int bursts = std::clamp(d.burstCount, 0, kMaxBursts);
  for (int b = 0; b < bursts; ++b) {
    const BurstRecord& r = d.burstRecords[static_cast<size_t>(b)];
    NamedDate(out, r.start);
    out.ch(' ').clock(r.start).ch(' ');
    out.fixed(double{r.meanDepth} + s.retrieved.loggerHeight, 4, 9).ch(' ');
    out.fixed(r.significantHeight, 4, 9).ch(' ').fixed(r.significantPeriod, 4, 9).ch(' ');
    out.fixed(r.maxHeight, 4, 9).ch(' ').fixed(r.energy, 4, 9).ch(' ');
    out.text(BurstErrorText(r.error)).ch('\n');
  }
  return WriteFileAtomically(path, text, error);
}

bool WriteTide(const Session& s, const std::string& path, std::string* error) {
  const DataSet& d = s.data;
  FileOutput out;
  if (!out.open(path)) {
    if (error) *error = out.error();
    return false;
  }
  out.write(ShortHeader(s));
  out.write("Date            Time      Temp  Pressure    Depth   Td_slope\n");
  out.write("Date            Time degrees_C   deciBar        m     m/hour\n");
  std::array<const float*, kMaxChannels> rows{};
  int columns = 0;
  const int total = std::clamp(d.totalChannels, 0, kMaxChannels);
  for (int c = 0; c < total; ++c)
    if (d.types[static_cast<size_t>(c)] != kTypeSignificantWaveHeight)
      rows[static_cast<size_t>(columns++)] = d.row(c);
  RowTimes times(d);
  std::string lead;
  for (int i = 0; i < d.sampleCount; ++i) {
    const TimeRecord t = times.next();
    lead.clear();
    TextOut l(lead);
    NamedDate(l, t);
    l.ch(' ').clock(t).ch(' ');
    out.write(lead);
    char* p = out.cursor();
    for (int k = 0; k < columns; ++k) {
      p = PutFixed(p, rows[static_cast<size_t>(k)][i], 4, 9);
      *p++ = ' ';
    }
    *p++ = '\n';
    out.advance(p);
  }
  if (!out.commit()) {
    if (error) *error = out.error();
    return false;
  }
  return true;
}

}  // namespace

int WriteWaveFiles(Session& s, const std::string& datPath) {
  const std::string folder = InBaseDirectory(s.settings, "hkv");
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    ShowStatus(s.ui, "Error: Unable to create 'hkv' directory");
    return 0;
  }
  const std::string stem = std::filesystem::path(datPath).stem().string();
  for (const char* extension : {".wave", ".tide"}) {
    const std::string path = folder + "/" + stem + extension;
    std::string error;
    const bool ok = extension[1] == 'w' ? WriteWave(s, path, &error) : WriteTide(s, path, &error);
    if (!ok) {
      s.ui.message(
          {"Unable to open the file " + path + ".\nThis file may be open in another application",
           "Write File", Icon::Warning, Buttons::Ok, Answer::Ok});
      return 0;
    }
  }
  return 1;
}

}  // namespace kts
