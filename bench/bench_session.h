// A session for benchmarks: nobody to ask, a clock that does not matter.
#pragma once

#include <optional>
#include <string>

#include "core/session.h"
#include "platform/clipboard.h"
#include "platform/serial_port.h"

namespace kts::bench {

class QuietUi final : public Ui {
 public:
  void setStatus(std::string_view, bool) override {}
  void setConnectionState(std::string_view) override {}
  void setUnitsIcon(bool) override {}
  void setClock(std::string_view) override {}
  Answer message(const Message& m) override { return m.defaultAnswer; }
  int ask(const Question& q) override { return q.defaultId; }
  std::optional<std::string> chooseFile(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> askText(const TextRequest&) override { return std::nullopt; }
  void progress(int, std::string_view) override {}
  void setBusy(bool) override {}
};

struct BenchSession {
  QuietUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s{ui, clock, opener, clipboard};
};

}  // namespace kts::bench
