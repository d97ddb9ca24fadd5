#include "data/directories.h"

#include <filesystem>

#include "core/session.h"
#include "core/text.h"
#include "data/line_reader.h"
#include "data/settings_file.h"

namespace kts {
namespace {

constexpr const char* kDirectoryFile = "ktsdir.ini";
constexpr const char* kUnset = "empty";
constexpr size_t kDirectoryLineLength = 300;

const char* FolderName(DataFolder folder) {
  switch (folder) {
    case DataFolder::Hex:
      return "hex";
    case DataFolder::Mat:
      return "mat";
    case DataFolder::Dat:
      break;
  }
  return "dat";
}

std::string& DirectoryOf(Settings& s, DataFolder folder) {
  switch (folder) {
    case DataFolder::Hex:
      return s.hexDirectory;
    case DataFolder::Mat:
      return s.matDirectory;
    case DataFolder::Dat:
      break;
  }
  return s.datDirectory;
}

bool MakeFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directory(path, ec);
  return std::filesystem::is_directory(path, ec);
}

std::string CreateFailureText(const Settings& s, DataFolder folder) {
  const std::string base = s.baseDirectory.empty() ? "." : s.baseDirectory;
  if (folder == DataFolder::Mat) return "Error: Unable to create mat directory";
  return Format(
      "Error: Unable to create the '%s/%s' directory\nCheck that your KTS directory is "
      "not write protected.",
      base.c_str(), FolderName(folder));
}

std::string_view DirectoryPart(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string BaseDataFolder(const Settings& settings, DataFolder folder) {
  return InBaseDirectory(settings, FolderName(folder));
}

int ReadDirectories(Session& s) {
  {
    InputFile in(InBaseDirectory(s.settings, kDirectoryFile));
    if (in.file == nullptr) return 1;
    LineReader reader(in.file, kDirectoryLineLength);
    std::string line;
    bool cut = false;
    while (reader.next(line, &cut)) {
      if (cut) continue;  // a directory name cut short would point elsewhere
      const size_t eq = line.find('=');
      if (eq == std::string::npos || eq + 1 == line.size()) continue;
      const std::string value = line.substr(eq + 1);
      if (Contains(line, "DAT directory="))
        s.settings.datDirectory = value;
      else if (Contains(line, "MAT directory="))
        s.settings.matDirectory = value;
      else if (Contains(line, "HEX directory="))
        s.settings.hexDirectory = value;
    }
  }
  return WriteDirectories(s);
}

int WriteDirectories(Session& s) {
  const std::string text = "DAT directory=" + s.settings.datDirectory +
                           "\nHEX directory=" + s.settings.hexDirectory +
                           "\nMAT directory=" + s.settings.matDirectory + "\n";
  return WriteSettingsFile(s, InBaseDirectory(s.settings, kDirectoryFile), text);
}

int SetUpDataDirectories(Session& s) {
  ReadDirectories(s);
  for (DataFolder folder : {DataFolder::Dat, DataFolder::Mat, DataFolder::Hex}) {
    const std::string path = BaseDataFolder(s.settings, folder);
    std::string& directory = DirectoryOf(s.settings, folder);
    if (directory == kUnset) directory = path;
    if (!MakeFolder(path)) {
      s.ui.message(
          {CreateFailureText(s.settings, folder), "Startup", Icon::Error, Buttons::Ok, Answer::Ok});
      return 0;
    }
  }
  WriteDirectories(s);
  return 1;
}

int NoteReadDirectory(Session& s, std::string_view path, DataFolder folder) {
  const std::string extension = std::string(".") + FolderName(folder);
  const size_t at = path.rfind(extension);
  std::string& directory = DirectoryOf(s.settings, folder);
  if (at == std::string_view::npos)
    directory = BaseDataFolder(s.settings, folder);
  else
    directory = std::string(DirectoryPart(path.substr(0, at)));
  return WriteDirectories(s);
}

void RememberPath(Settings& settings, std::string_view chosenPath) {
  std::string_view dir = DirectoryPart(chosenPath);
  // Only whole folder names: "/data/database" keeps its "/dat…".
  while (dir.size() > 4 && (dir.ends_with("/dat") || dir.ends_with("/hex"))) dir.remove_suffix(4);
  settings.rememberedPath = std::string(dir);
}

std::string SaveRangeDirectory(const Settings& settings) {
  if (settings.rememberedPath.empty()) return BaseDataFolder(settings, DataFolder::Dat);
  std::string path = settings.rememberedPath;
  if (path.back() != '/') path += '/';
  return path + "dat";
}

}  // namespace kts
