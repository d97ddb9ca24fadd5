// Writing the data set of a session as the files a user asked for:
// NAME.hex, NAME.dat and NAME.mat, each atomically, each asking before it
// replaces a file (--yes answers Yes), with the chosen time columns.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_context.h"

namespace kts::cli {

struct OutputChoice {
  bool hex = false;
  bool dat = false;
  bool mat = false;
  int timeColumns = 0;                 // 0 none (N), 1 time (A), 2 date and time (E)
  std::optional<std::string> comment;  // none: the data set's own comment
};

// --format N|A|E into time columns 0, 1, 2; `fallback` without the option.
// False for any other value.
bool ParseTimeColumns(const Arguments& args, int fallback, int* columns);

// NAME without a final ".hex", ".dat" or ".mat", so "--out x.dat" and
// "--out x" name the same files.
std::string OutputStem(const std::string& path);

// Writes the chosen files next to each other as STEM.ext. Returns false
// after reporting (stderr) the first file that could not be written or
// that the user did not want replaced; `written` lists what was written.
bool WriteOutputs(CliContext& context, const char* command, const std::string& stem,
                  const OutputChoice& choice, std::vector<std::string>& written);

}  // namespace kts::cli
