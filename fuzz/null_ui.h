// A user who answers every question with its default and sees nothing.
#pragma once

#include "platform/host_clock.h"
#include "platform/ui.h"

namespace kts::fuzz {

class NullUi final : public Ui {
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

// Pauses take no time: the fuzzer runs the exchanges as fast as it can.
class InstantClock final : public HostClock {
 public:
  TimeRecord localNow() override { return MakeTime(2026, 12, 7, 12, 0, 0); }
  int64_t monotonicMs() override { return ms_; }
  void sleepMs(int ms) override { ms_ += ms; }

 private:
  int64_t ms_ = 0;
};

}  // namespace kts::fuzz
