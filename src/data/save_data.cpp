// The save and save-range commands: which files a save writes, in which
// order, and when the data count as saved.
#include <algorithm>
#include <filesystem>

#include "convert/derived_plan.h"
#include "core/session.h"
#include "core/text.h"
#include "data/data_files.h"
#include "data/directories.h"
#include "data/overwrite_check.h"
#include "data/recent_files.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr size_t kMaxComment = 99;

bool RecordsText(const LoggerDescription& d) {
  return (d.rsAdvanced & (kRsAsciiOutput | kRsBinaryOutput)) == kRsAsciiOutput;
}

void WriteFailed(Session& s, const std::string& path, bool hex) {
  const char* format = hex ? "Unable to open the file %s.\nThis file may be open in another "
                             "application\n or the directory path may not be valid."
                           : "Unable to open the file %s.\nThis file may be open in another "
                             "application";
  s.ui.message(
      {Format(format, path.c_str()), "Write File", Icon::Warning, Buttons::Ok, Answer::Ok});
}

std::optional<std::string> AskDatName(Session& s, const std::string& directory) {
  FileRequest r;
  r.title = "Select a 'dat' file for storing the data";
  r.filter = "All Data Files (*.dat)";
  r.pattern = "*.dat";
  r.directory = directory;
  r.defaultName = Format("%06d*.dat", s.data.context.identity.serial);
  r.save = true;
  return s.ui.chooseFile(r);
}

std::string AskComment(Session& s) {
  TextRequest r;
  r.caption = "Comment to be added to data file";
  r.acceptText = "Add this comment";
  r.rejectText = "No comment";
  r.maxLength = static_cast<int>(kMaxComment);
  const std::optional<std::string> text = s.ui.askText(r);
  return text ? *text : std::string();
}

// A comment is one header line of at most 99 characters.
std::string CleanComment(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  if (text.size() > kMaxComment) text.resize(kMaxComment);
  return text;
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string WithExtension(const std::string& path, const char* extension) {
  std::filesystem::path p(path);
  p.replace_extension(extension);
  return p.string();
}

}  // namespace

int SaveData(Session& s, const SaveOptions& options) {
  if (s.data.sampleCount <= 0) {
    const Answer a = s.ui.message(
        {"There are no data to store.\nAll the reported readings were imbedded timestamps.\n\n"
         "Saving data to file will write the hex file\nwhich is an image of the logger memory.\n"
         "This may be a useful debugging tool.\n\nDo you still want to write a file?",
         "Save data to a file", Icon::Question, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) return 0;
  }

  std::string datPath;
  if (options.datPath) {
    datPath = *options.datPath;
  } else {
    const std::optional<std::string> chosen = AskDatName(s, s.settings.datDirectory);
    if (!chosen) return 0;
    datPath = *chosen;
  }
  if (!ConfirmOverwrite(s.ui, datPath)) return 0;
  NoteReadDirectory(s, datPath, DataFolder::Dat);

  const std::string comment = CleanComment(options.comment ? *options.comment : AskComment(s));
  const int columns = std::clamp(s.settings.timeColumns, 0, 2);

  // A data set read from a file has no new image to keep.
  if (s.app.newImageSinceSave && s.image.length > 0) {
    const std::string hexPath =
        InBaseDirectory(s.settings, "hex/" + FileNameOf(WithExtension(datPath, ".hex")));
    if (!ConfirmOverwrite(s.ui, hexPath)) return 0;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(hexPath).parent_path(), ec);
    if (!WriteHexFile(s, hexPath, comment, columns)) {
      WriteFailed(s, hexPath, true);
      return 0;
    }
  }

  bool ok = WriteDatFile(s, datPath, comment, columns);
  if (!ok) WriteFailed(s, datPath, false);
  if (ok && s.settings.languageSupport) {
    const std::string chn =
        InBaseDirectory(s.settings, std::filesystem::path(datPath).stem().string() + ".chn.txt");
    if (!WriteTranslatedHeader(s, chn, comment, columns)) {
      WriteFailed(s, chn, false);
      ok = false;
    }
  }
  if (ok && IsTideAndWaveModel(s.data.context.identity.model)) ok = WriteWaveFiles(s, datPath) == 1;
  if (!ok) return 0;

  s.data.comment = comment;
  s.app.retrievedDataSaved = true;
  s.app.newImageSinceSave = false;
  AddRecent(s, datPath);
  return 1;
}

int SaveRange(Session& s, int first, int last, const SaveOptions& options) {
  const DataSet& d = s.data;
  if (d.sampleCount <= 0 || RecordsText(d.context.description)) return 0;
  first = std::clamp(first, 0, d.sampleCount - 1);
  last = std::clamp(last, first, d.sampleCount - 1);

  std::string datPath;
  if (options.datPath) {
    datPath = *options.datPath;
  } else {
    std::string directory = SaveRangeDirectory(s.settings);
    std::error_code ec;
    if (!std::filesystem::is_directory(directory, ec)) {
      s.ui.message(
          {"This software attempts to remember your most recent selection of path to "
           "your files\nand to use it for subsequent reads and saves.\n\nThe path "
           "calculated for the current operation does not exist and will be changed to "
           "your KTS directory.",
           "Write File", Icon::Information, Buttons::Ok, Answer::Ok});
      directory = BaseDataFolder(s.settings, DataFolder::Dat);
    }
    const std::optional<std::string> chosen = AskDatName(s, directory);
    if (!chosen) return 0;
    datPath = *chosen;
  }
  if (!ConfirmOverwrite(s.ui, datPath)) return 0;
  RememberPath(s.settings, datPath);

  const std::string comment = CleanComment(options.comment ? *options.comment : d.comment);
  if (!WriteDatFile(s, datPath, comment, std::clamp(s.settings.timeColumns, 0, 2), first, last)) {
    WriteFailed(s, datPath, false);
    return 0;
  }
  AddRecent(s, datPath);
  return 1;
}

}  // namespace kts
