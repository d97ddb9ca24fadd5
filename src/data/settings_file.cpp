#include "data/settings_file.h"

#include <filesystem>

#include "core/session.h"
#include "core/text.h"
#include "data/atomic_file.h"
#include "data/line_reader.h"
#include "data/main_settings.h"
#include "platform/port_map.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr const char* kCopiesFile = "kts_copies.ini";
constexpr const char* kPortMapFile = "ktsports.ini";
constexpr size_t kCopiesLineLength = 40;

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

int ReportWriteFailure(Session& s, const std::string& path, const std::string& reason) {
  ShowStatus(s.ui,
             Format("Unable to write the settings file %s: %s", path.c_str(), reason.c_str()));
  return 0;
}

bool CopyFileAtomically(const std::string& from, const std::string& to, std::string& error) {
  InputFile in(from);
  if (in.file == nullptr) {
    error = "cannot read " + from;
    return false;
  }
  AtomicFile out;
  if (!out.open(to)) {
    error = out.error();
    return false;
  }
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in.file)) > 0)
    std::fwrite(buffer, 1, n, out.stream());
  if (std::ferror(in.file)) {
    error = "cannot read " + from;
    return false;
  }
  if (!out.commit()) {
    error = out.error();
    return false;
  }
  return true;
}

void ReadMainSettings(Session& s, std::FILE* file) {
  LineReader reader(file, kSettingsLineLength);
  std::string line;
  while (reader.next(line)) ApplySettingsLine(line, s.settings, s.ports);
}

void ReadCopiesFile(Session& s) {
  s.settings.allowMultipleCopies = false;
  InputFile in(InBaseDirectory(s.settings, kCopiesFile));
  LineReader reader(in.file, kCopiesLineLength);
  std::string line;
  if (reader.next(line)) s.settings.allowMultipleCopies = Contains(line, "Allow multiple copies");
}

bool HasPortMapping(const PortMap& map) {
  for (const std::string& device : map.device)
    if (!device.empty()) return true;
  return false;
}

// The port map has its own writer; it writes the temporary file, which is
// then synced and renamed like every other settings file.
bool WritePortMapAtomically(const std::string& path, const PortMap& map, std::string& error) {
  AtomicFile out;
  if (!out.open(path)) {
    error = out.error();
    return false;
  }
  if (!WritePortMap(out.temporaryPath(), map)) {
    error = "cannot write " + out.temporaryPath();
    return false;
  }
  if (!out.commit()) {
    error = out.error();
    return false;
  }
  return true;
}

}  // namespace

std::string MainSettingsPath(const Settings& settings) {
  if (settings.copyIndex <= 0) return InBaseDirectory(settings, "kts.ini");
  return InBaseDirectory(settings, Format("kts.%03d.ini", settings.copyIndex + 1));
}

int ReadSettings(Session& s) {
  int result = 1;
  const std::string path = MainSettingsPath(s.settings);
  std::string error;
  if (s.settings.copyIndex > 0 && !Exists(path)) {
    const std::string first = InBaseDirectory(s.settings, "kts.ini");
    if (Exists(first) && !CopyFileAtomically(first, path, error))
      result = ReportWriteFailure(s, path, error);
  }

  ResetMainSettings(s.settings, s.ports);
  {
    InputFile in(path);
    if (in.file != nullptr)
      ReadMainSettings(s, in.file);
    else if (!WriteSettingsFile(s, path, FormatMainSettings(s.settings, s.ports)))
      result = 0;
  }
  ReadCopiesFile(s);
  s.ports.map = PortMap{};
  ReadPortMap(InBaseDirectory(s.settings, kPortMapFile), s.ports.map);
  return result;
}

int WriteSettingsFile(Session& s, const std::string& path, std::string_view text) {
  std::string error;
  return WriteFileAtomically(path, text, &error) ? 1 : ReportWriteFailure(s, path, error);
}

int WriteSettings(Session& s) {
  if (!WriteSettingsFile(s, MainSettingsPath(s.settings), FormatMainSettings(s.settings, s.ports)))
    return 0;
  const char* copies =
      s.settings.allowMultipleCopies ? "Allow multiple copies\n" : "Single copy only\n";
  if (!WriteSettingsFile(s, InBaseDirectory(s.settings, kCopiesFile), copies)) return 0;

  std::string error;
  const std::string ports = InBaseDirectory(s.settings, kPortMapFile);
  if ((HasPortMapping(s.ports.map) || Exists(ports)) &&
      !WritePortMapAtomically(ports, s.ports.map, error))
    return ReportWriteFailure(s, ports, error);
  return 1;
}

}  // namespace kts
