// kts convert: .hex, .dat and .mat files into the chosen formats, one file
// or a whole archive in one run, without a logger.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/data_output.h"
#include "core/session.h"
#include "data/data_files.h"
#include "data/line_reader.h"
#include "data/matlab_file.h"

namespace kts::cli {
namespace {

constexpr const char* kConvertUsage =
    "usage: kts convert INPUT --out PATH [--format N|A|E] [--dat] [--mat] [--hex]\n"
    "       kts convert INPUT... --out-dir DIR [--format N|A|E] [--dat] [--mat] [--hex]\n"
    "       [--comment TEXT] [--yes] [--base DIR] [--quiet]\n"
    "\n"
    "Reads each .hex, .dat or .mat file and writes the chosen formats (.dat when\n"
    "none is chosen): PATH.dat, PATH.mat, PATH.hex, or in DIR under each input's\n"
    "name. Only a .hex input carries the memory image a .hex output holds.\n"
    "  --format N|A|E   time columns of the .dat: none, time, or date and time\n"
    "                   (default: the Format setting of the base directory)\n"
    "  --comment TEXT   the header comment (default: the input's own)\n"
    "  --yes            replace existing files without asking\n"
    "Derived channels follow the settings file of the base directory.\n";

enum class InputKind { Hex, Dat, Mat, Unknown };

InputKind KindOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".hex") return InputKind::Hex;
  if (extension == ".dat") return InputKind::Dat;
  if (extension == ".mat") return InputKind::Mat;
  return InputKind::Unknown;
}

// Reads one input into a fresh session; false after saying why. The
// readers over an open file are used so that nothing is looked for
// elsewhere and no directory setting is rewritten.
bool ReadInput(CliContext& context, const std::string& path) {
  Session& s = *context.session;
  const InputKind kind = KindOf(path);
  if (kind == InputKind::Unknown) {
    ReportFailure(context, "convert", path + ": not a .hex, .dat or .mat file");
    return false;
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    ReportFailure(context, "convert",
                  path + ": " + (errno == ENOENT ? "File does not exist" : "not a regular file"));
    return false;
  }
  int read = 0;
  if (kind == InputKind::Mat) {
    read = ReadMatFile(s, path);
  } else {
    InputFile file(path);
    if (file.file == nullptr) {
      ReportFailure(context, "convert", path + ": " + std::strerror(errno));
      return false;
    }
    read = kind == InputKind::Hex ? ReadHexStream(s, file.file, path)
                                  : ReadDataStream(s, file.file, path);
  }
  if (read != 1) {
    const std::string& why =
        !context.ui.lastMessage.empty() ? context.ui.lastMessage : context.ui.lastStatusText();
    ReportFailure(context, "convert", path + ": " + (why.empty() ? "cannot be read" : why));
    return false;
  }
  return true;
}

struct ConvertPlan {
  OutputChoice choice;
  std::optional<std::string> out;     // --out PATH
  std::optional<std::string> outDir;  // --out-dir DIR
};

std::string StemFor(const ConvertPlan& plan, const std::string& input) {
  if (plan.out) return OutputStem(*plan.out);
  return (std::filesystem::path(*plan.outDir) / std::filesystem::path(input).stem()).string();
}

// One input, in a session of its own so nothing of one file leaks into the
// next. Prints "INPUT -> OUTPUT …" on success.
bool ConvertOne(const Arguments& args, const ConvertPlan& plan, const std::string& input) {
  CliContext context;
  if (!context.applyCommonOptions(args)) return false;
  context.ui.lastMessage.clear();
  if (!ReadInput(context, input)) return false;
  std::vector<std::string> written;
  const bool ok = WriteOutputs(context, "convert", StemFor(plan, input), plan.choice, written);
  if (!written.empty()) {
    std::printf("%s ->", input.c_str());
    for (const std::string& w : written) std::printf(" %s", w.c_str());
    const DataSet& d = context.session->data;
    std::printf(" (%d samples, %d channels)\n", d.sampleCount, d.totalChannels);
  }
  return ok;
}

}  // namespace

int RunConvert(int argc, char** argv) {
  OptionSpec spec;
  spec.withValue.insert({"--out", "--out-dir", "--format", "--comment"});
  spec.flags.insert({"--dat", "--mat", "--hex"});
  Arguments args;
  if (const int status =
          ReadCommandArguments(argc, argv, "convert", kConvertUsage, spec, args, SIZE_MAX);
      status >= 0)
    return status;
  auto usage = [](const std::string& why) {
    std::fprintf(stderr, "kts convert: %s\n%s", why.c_str(), kConvertUsage);
    return kUsage;
  };
  if (args.positional.empty()) return usage("no input file");
  ConvertPlan plan;
  plan.out = args.value("--out");
  plan.outDir = args.value("--out-dir");
  if (plan.out.has_value() == plan.outDir.has_value())
    return usage("give either --out PATH (one input) or --out-dir DIR");
  if (plan.out && args.positional.size() > 1)
    return usage("--out names one output; use --out-dir DIR for several inputs");
  if ((plan.out && plan.out->empty()) || (plan.outDir && plan.outDir->empty()))
    return usage("the output name is empty");

  {
    CliContext settings;  // the base directory's Format setting is the default
    if (!settings.applyCommonOptions(args)) return kUsage;
    if (!ParseTimeColumns(args, settings.session->settings.timeColumns, &plan.choice.timeColumns))
      return usage("--format takes N (no time), A (time) or E (date and time)");
  }
  plan.choice.hex = args.has("--hex");
  plan.choice.dat = args.has("--dat");
  plan.choice.mat = args.has("--mat");
  if (!plan.choice.hex && !plan.choice.mat) plan.choice.dat = true;
  plan.choice.comment = args.value("--comment");

  if (plan.outDir) {
    std::error_code ec;
    std::filesystem::create_directories(*plan.outDir, ec);
    if (!std::filesystem::is_directory(*plan.outDir)) {
      std::fprintf(stderr, "kts convert: cannot create the directory %s%s%s\n",
                   plan.outDir->c_str(), ec ? ": " : "", ec ? ec.message().c_str() : "");
      return kFailure;
    }
  }

  int failed = 0;
  for (const std::string& input : args.positional)
    if (!ConvertOne(args, plan, input)) ++failed;
  if (failed > 0 && args.positional.size() > 1)
    std::fprintf(stderr, "kts convert: %d of %zu files could not be converted\n", failed,
                 args.positional.size());
  return failed == 0 ? kSuccess : kFailure;
}

}  // namespace kts::cli
