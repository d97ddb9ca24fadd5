// Every query of the command set against arbitrary replies from the line.
#include <cstddef>
#include <cstdint>

#include "core/session.h"
#include "core/time_format.h"
#include "link/commands.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

namespace {

// The queries that parse a reply (no connection sequence, no retrieval).
constexpr int kQueries[] = {1, 2, 3, 4, 6, 7, 9, 17, 20, 21, 26, 27, 28, 30, 31, 32, 33, 39, 40};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  if (size < 2) return 0;
  // One session for the whole run: its stores are large, and making them for
  // every input would leave the fuzzer no time for anything else. Each input
  // starts from fresh records.
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);
  opener.feed(data + 2, size - 2);
  s.link = LinkState{};
  s.description = LoggerDescription{};
  s.deployment = DeploymentParameters{};
  s.fetch = FetchState{};
  s.ports.loggerDevice = "fuzz";
  OpenCommPort(s, PortRole::Logger, 19200, 0);
  s.link.identity.extended = data[0] & 1;
  s.link.identity.firmware = (data[0] & 2) ? 6.51f : 2.10f;
  s.description.startCharacteristicCommands = data[0] & 4;
  s.description.profiling6Hz = data[0] & 8;
  s.description.averaging = data[0] & 16;
  s.description.channelCount = 1 + data[1] % 24;
  const int query = kQueries[data[1] % (sizeof kQueries / sizeof kQueries[0])];
  CommGet(s, query);
  uint8_t table[256];
  ReadTable(s, "R0100", table, sizeof table);
  ParseWireDateTime(s.reply.text());
  ParseWireDuration(s.reply.text());
  int code, second;
  ParseStatusReply(s.reply.text(), true, &code, &second);
  return 0;
}
