// The .hex reader against arbitrary files: header, byte count and image.
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
  // One session for the whole run: its stores are large. The reader replaces
  // what it reads, so each input starts from whatever the last one left,
  // which is itself a case worth running.
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);
  s.settings.baseDirectory = "/nonexistent";
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  ReadHexStream(s, file, "fuzz.hex");
  std::fclose(file);
  return 0;
}
