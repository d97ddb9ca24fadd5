#include "cli/data_output.h"

#include <algorithm>

#include "cli/command_line.h"
#include "convert/derived_plan.h"
#include "core/session.h"
#include "data/data_files.h"
#include "data/matlab_file.h"
#include "data/overwrite_check.h"

namespace kts::cli {
namespace {

constexpr size_t kMaxComment = 99;  // one header line

bool EndsWith(const std::string& text, const char* tail) {
  const size_t n = std::char_traits<char>::length(tail);
  if (text.size() < n) return false;
  return std::equal(text.end() - static_cast<long>(n), text.end(), tail, [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

std::string CleanComment(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  if (text.size() > kMaxComment) text.resize(kMaxComment);
  return text;
}

// The reason a writer gave, or the status line's when it gave none.
std::string Reason(CliContext& context, const std::string& error, const std::string& path) {
  if (!error.empty()) return error;
  const std::string& status = context.ui.lastStatusText();
  return status.empty() ? "Unable to write " + path : status;
}

}  // namespace

bool ParseTimeColumns(const Arguments& args, int fallback, int* columns) {
  const std::optional<std::string> format = args.value("--format");
  if (!format) {
    *columns = std::clamp(fallback, 0, 2);
    return true;
  }
  if (*format == "N" || *format == "n")
    *columns = 0;
  else if (*format == "A" || *format == "a")
    *columns = 1;
  else if (*format == "E" || *format == "e")
    *columns = 2;
  else
    return false;
  return true;
}

std::string OutputStem(const std::string& path) {
  for (const char* extension : {".hex", ".dat", ".mat"})
    if (EndsWith(path, extension) && path.size() > 4) return path.substr(0, path.size() - 4);
  return path;
}

bool WriteOutputs(CliContext& context, const char* command, const std::string& stem,
                  const OutputChoice& choice, std::vector<std::string>& written) {
  Session& s = *context.session;
  const std::string comment = CleanComment(choice.comment ? *choice.comment : s.data.comment);

  // Every file is asked about before any is written, so a "No" leaves all
  // of them as they were rather than half a set replaced.
  struct Planned {
    const char* extension;
    bool wanted;
  };
  const Planned planned[] = {{".hex", choice.hex}, {".dat", choice.dat}, {".mat", choice.mat}};
  for (const Planned& p : planned) {
    if (!p.wanted) continue;
    const std::string path = stem + p.extension;
    if (!ConfirmOverwrite(s.ui, path)) {
      ReportFailure(context, command, path + " was not replaced (--yes replaces existing files)");
      return false;
    }
  }

  if (choice.hex) {
    const std::string path = stem + ".hex";
    // Only a retrieval or a .hex file brings the memory image a .hex holds.
    if (s.image.length <= 0) {
      ReportFailure(
          context, command,
          "no memory image to write to " + path + " (only a retrieval or a .hex file has one)");
      return false;
    }
    std::string error;
    if (!WriteHexFile(s, path, comment, choice.timeColumns, &error)) {
      ReportFailure(context, command, Reason(context, error, path));
      return false;
    }
    written.push_back(path);
  }
  if (choice.dat) {
    const std::string path = stem + ".dat";
    std::string error;
    if (!WriteDatFile(s, path, comment, choice.timeColumns, 0, -1, &error)) {
      ReportFailure(context, command, Reason(context, error, path));
      return false;
    }
    written.push_back(path);
    // The tide-and-wave logger's bursts go beside the .dat, as a save writes them.
    if (IsTideAndWaveModel(s.data.context.identity.model) && WriteWaveFiles(s, path) != 1) {
      ReportFailure(context, command, Reason(context, {}, path));
      return false;
    }
  }
  if (choice.mat) {
    const std::string path = stem + ".mat";
    context.ui.lastMessage.clear();
    if (!MatlabSaveAllowed(s)) {
      ReportFailure(context, command,
                    context.ui.lastMessage.empty() ? "There are no data to store in " + path
                                                   : context.ui.lastMessage);
      return false;
    }
    if (WriteMatFile(s, path) != 1) {
      ReportFailure(context, command, Reason(context, {}, path));
      return false;
    }
    written.push_back(path);
  }
  return true;
}

}  // namespace kts::cli
