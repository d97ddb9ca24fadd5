#include "sim/simulated_logger.h"

#include <poll.h>

#include <algorithm>
#include <chrono>

#include "core/text.h"
#include "core/time_math.h"
#include "platform/host_clock.h"
#include "sim/hex_image.h"
#include "sim/logger_engine.h"
#include "sim/pty_line.h"

namespace kts::sim {
namespace {

constexpr double kPaceAheadMs = 4.0;
constexpr size_t kMostQueuedBytes = 1 << 20;

EngineTime Now() {
  SystemClock clock;
  return EngineTime{clock.monotonicMs(), ToTicks(clock.localNow())};
}

bool LoadProfile(const SimOptions& o, Profile& p, std::string* error) {
  if (!o.profileText.empty()) {
    p.name = "custom";
    return ParseProfile(o.profileText, p, error);
  }
  if (!o.profileFile.empty()) return LoadProfileFile(o.profileFile, p, error);
  return LoadBuiltinProfile(o.profile, p, error);
}

}  // namespace

std::unique_ptr<SimulatedLogger> SimulatedLogger::Start(const SimOptions& o, std::string* error) {
  std::unique_ptr<SimulatedLogger> sim(new SimulatedLogger());
  if (!LoadProfile(o, sim->profile_, error)) return nullptr;
  for (const std::string& line : o.settings) {
    std::string why;
    if (!ApplyProfileLines(line, sim->profile_, &why)) {
      if (error) *error = "setting '" + line + "': " + why;
      return nullptr;
    }
  }
  std::vector<uint8_t> replay;
  if (!o.hexFile.empty()) {
    HexImage hex;
    if (!LoadHexImage(o.hexFile, &hex, error)) return nullptr;
    if (MemoryBase(sim->profile_) + hex.bytes.size() > MemoryCapacityEnd(sim->profile_)) {
      if (error)
        *error = Format("%s: %zu bytes do not fit the memory of profile %s", o.hexFile.c_str(),
                        hex.bytes.size(), sim->profile_.name.c_str());
      return nullptr;
    }
    if (!hex.model.empty() && hex.model != sim->profile_.model)
      sim->log_.note("note: the file comes from a " + hex.model + ", the profile is a " +
                     sim->profile_.model);
    replay = std::move(hex.bytes);
  }
  if (!o.logFile.empty() && !sim->log_.openFile(o.logFile, error)) return nullptr;
  sim->line_ = PtyLine::Open(error);
  if (!sim->line_) return nullptr;
  sim->path_ = sim->line_->slavePath();
  sim->pace_ = o.pace;
  sim->engine_ = std::make_unique<LoggerEngine>(sim->profile_, o.seed, sim->log_, Now(),
                                                o.hexFile.empty() ? nullptr : &replay);
  if (o.faults.any()) sim->engine_->setFaults(o.faults);
  sim->log_.note("on " + sim->path_ + (o.pace ? ", paced at the line rate" : ""));
  sim->thread_ = std::thread([s = sim.get()] { s->run(); });
  // Return once the logger listens, so that a host's first command meets
  // a logger already awake (its first reply is due within a character time).
  for (int i = 0; i < 1000 && !sim->listening_; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return sim;
}

SimulatedLogger::~SimulatedLogger() {
  stop();
}

void SimulatedLogger::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void SimulatedLogger::setFaults(const Faults& f) {
  std::lock_guard<std::mutex> lock(mutex_);
  engine_->setFaults(f);
}

Faults SimulatedLogger::faults() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return engine_->faults();
}

std::vector<uint8_t> SimulatedLogger::image() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return engine_->memory().image();
}

std::vector<uint8_t> SimulatedLogger::readMemory(uint32_t start, size_t n) const {
  std::vector<uint8_t> out(n);
  std::lock_guard<std::mutex> lock(mutex_);
  engine_->memory().read(start, n, out.data());
  return out;
}

LoggerSnapshot SimulatedLogger::snapshot() const {
  const EngineTime now = Now();
  std::lock_guard<std::mutex> lock(mutex_);
  const LoggerEngine& e = *engine_;
  LoggerSnapshot s;
  s.status = e.status();
  s.rate = e.rate();
  s.erasing = e.erasing();
  s.memoryBase = e.memory().base();
  s.memoryPointer = e.memory().pointer();
  s.channels = e.channelCount();
  s.clock = FromTicks(e.loggerClockTicks(now));
  s.start = e.settings().start;
  s.end = e.settings().end;
  s.periodSeconds = e.settings().periodSeconds;
  s.startByte = e.settings().startByte;
  s.oemFlags = e.settings().oemFlags;
  s.averaging = e.settings().averaging;
  s.historyRecords = static_cast<int>(e.calibration().history().size());
  s.coefficients = e.calibration().current(e.memory(), e.channelCount());
  return s;
}

std::vector<std::string> SimulatedLogger::commands() const {
  std::vector<std::string> out;
  for (const ExchangeEntry& e : log_.entries())
    if (e.kind == ExchangeEntry::Command) out.push_back(e.bytes);
  return out;
}

void SimulatedLogger::run() {
  uint8_t buffer[4096];
  listening_ = true;
  while (!stop_) {
    int timeoutMs = 10;
    bool wantWrite = false;
    if (!queue_.empty()) {
      const int64_t wait = queue_.front().notBeforeMs - Now().monoMs;
      if (wait > 0)
        timeoutMs = static_cast<int>(std::min<int64_t>(wait, 10));
      else if (pace_)
        timeoutMs = 1;
      else
        wantWrite = true;
    }
    struct pollfd p {
      line_->fd(), static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0
    };
    const int ready = poll(&p, 1, timeoutMs);
    const EngineTime now = Now();
    bool hostAbsent = false;
    if (ready > 0 && (p.revents & POLLIN)) {
      const int n = line_->read(buffer, sizeof buffer);
      if (n > 0) {
        const int baud = line_->lineBaud();
        std::lock_guard<std::mutex> lock(mutex_);
        engine_->receive(buffer, static_cast<size_t>(n), baud, now);
      } else if (n < 0) {
        hostAbsent = true;
      }
    } else if (ready > 0 && (p.revents & POLLHUP)) {
      hostAbsent = true;
    }
    int rate;
    int dropped = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      engine_->tick(now);
      for (Outgoing& o : engine_->takeOutput()) {
        // A host that has the port open but never reads would otherwise let
        // real-time output pile up without end.
        if (queuedBytes_ + o.bytes.size() > kMostQueuedBytes) {
          ++dropped;
          continue;
        }
        queuedBytes_ += o.bytes.size();
        queue_.push_back(Queued{std::move(o.bytes), 0, o.notBeforeMs});
      }
      rate = engine_->rate();
    }
    if (dropped) log_.note(Format("the host is not reading: %d replies lost", dropped));
    if (hostAbsent) {
      // Nobody has the port open: what the logger says is lost on the line.
      if (!queue_.empty())
        log_.note(Format("no host on the line: %zu replies lost", queue_.size()));
      queue_.clear();
      queuedBytes_ = 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    drainOutput(now.monoMs, rate);
  }
}

void SimulatedLogger::drainOutput(int64_t nowMs, int rate) {
  const double byteMs = 10000.0 / std::max(rate, 300);  // 10 bits a byte
  while (!queue_.empty()) {
    Queued& q = queue_.front();
    if (q.notBeforeMs > nowMs) return;
    size_t n = q.bytes.size() - q.sent;
    if (pace_) {
      // The line is free again once what was written has had its time; a
      // few milliseconds of bytes may go ahead, as a UART's buffer would.
      if (lineFreeMs_ < static_cast<double>(nowMs)) lineFreeMs_ = static_cast<double>(nowMs);
      const double allowed = (static_cast<double>(nowMs) + kPaceAheadMs - lineFreeMs_) / byteMs;
      if (allowed < 1.0) return;
      n = std::min(n, static_cast<size_t>(allowed));
    }
    const int k = line_->write(reinterpret_cast<const uint8_t*>(q.bytes.data() + q.sent),
                               static_cast<int>(n));
    if (k <= 0) return;  // the line is full, or the host has gone (seen on the next poll)
    q.sent += static_cast<size_t>(k);
    if (pace_) lineFreeMs_ += k * byteMs;
    if (q.sent < q.bytes.size()) return;
    queuedBytes_ -= q.bytes.size();
    queue_.pop_front();
  }
}

}  // namespace kts::sim
