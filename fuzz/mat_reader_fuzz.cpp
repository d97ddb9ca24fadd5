// The MATLAB file reader against arbitrary files. The reader takes a path,
// so each input is written to one scratch file of this process first.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/session.h"
#include "data/matlab_file.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

// The library asks for impossible sizes when a file's fields say so (a char
// matrix whose 16-bit units it misreads as a length) and reports the refused
// allocation as a failed read; let the allocator refuse as it does outside
// the sanitizer instead of stopping the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  // One session for the whole run (its stores are large); each input starts
  // from an empty data set.
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);
  static const std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/kts-mat-fuzz-" + std::to_string(::getpid()) + ".mat";
  s.data.sampleCount = 0;
  s.data.measuredChannels = s.data.totalChannels = 0;
  s.data.stampCount = 0;
  s.data.burstCount = 0;
  s.settings.derived.depthOn = s.settings.derived.salinityOn = size % 2 == 1;

  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ReadMatFile(s, path);
  // Whatever was read must write back out.
  if (s.data.sampleCount > 0 && s.data.sampleCount < 2000) WriteMatFile(s, path);
  return 0;
}
