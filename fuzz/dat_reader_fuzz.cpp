// The .dat reader against arbitrary files: header, stamps and rows.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/session.h"
#include "data/data_files.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);
  s.settings.baseDirectory = "/nonexistent";
  // The derived channels are recomputed after every read: have them all on.
  s.settings.derived.depthOn = true;
  s.settings.derived.salinityOn = true;
  s.settings.derived.soundSpeedOn = true;
  s.settings.derived.oxygenOn = true;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  ReadDataStream(s, file, "fuzz.dat");
  std::fclose(file);
  return 0;
}
