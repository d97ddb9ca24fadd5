// The settings files of the base directory against arbitrary contents: the
// first byte chooses the file ("kts.ini", "ktsdir.ini", "ktspath.fil",
// "kts.lim" or "kts_copies.ini"), the rest is the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/session.h"
#include "data/directories.h"
#include "data/main_settings.h"
#include "data/realtime_limits.h"
#include "data/recent_files.h"
#include "data/settings_file.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

namespace {

// Memory-backed when the machine has it: the readers write files back.
std::string ScratchDirectory() { return std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  if (size < 1) return 0;
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);
  static const std::string base = [] {
    std::string dir = ScratchDirectory() + "/kts-settings-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    return dir;
  }();
  static constexpr const char* kFiles[] = {"kts.ini", "ktsdir.ini", "ktspath.fil", "kts.lim",
                                           "kts_copies.ini"};
  const int which = data[0] % 5;
  std::error_code ec;
  for (const char* name : kFiles) std::filesystem::remove(base + "/" + name, ec);

  s.settings = Settings{};
  s.settings.baseDirectory = base;
  s.ports = PortConfig{};
  std::FILE* f = std::fopen((base + "/" + kFiles[which]).c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);
  switch (which) {
    case 0:
    case 4: ReadSettings(s); break;
    case 1: ReadDirectories(s); break;
    case 2: ReadRecentFiles(s); break;
    case 3: ReadLimits(s); break;
  }
  // What was read must format back into a file.
  FormatMainSettings(s.settings, s.ports);
  return 0;
}
