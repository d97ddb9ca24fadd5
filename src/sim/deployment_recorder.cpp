#include "sim/deployment_recorder.h"

#include <cstring>

#include "core/bcd.h"
#include "core/checksum.h"
#include "core/time_math.h"

namespace kts::sim {
namespace {

constexpr int64_t kSixHertzTicks = 1666667;  // 1/6 s in 100-ns units
constexpr int kMaxStepsPerAdvance = 5000;    // bounds one catch-up after a long pause

std::array<uint8_t, 3> BcdHms(int seconds) {
  return {IntToBcd(seconds / 3600), IntToBcd(seconds / 60 % 60), IntToBcd(seconds % 60)};
}

int64_t Ticks(const TimeRecord& t) {
  return ToTicks(t);
}

}  // namespace

DeploymentSettings DeploymentSettings::FromProfile(const Profile& p) {
  DeploymentSettings d;
  d.start = p.start;
  d.end = p.end;
  d.periodSeconds = p.periodSeconds;
  d.startByte = p.startByte;
  d.oemFlags = p.oemFlags;
  d.threshold = p.threshold;
  for (uint8_t b : p.threshold) d.thresholdSet |= b != 0;
  d.averaging = p.averaging;
  d.realTimeCode = p.realTimeCode;
  d.checkPeriod = p.checkPeriod;
  d.hysteresis = p.hysteresis;
  d.burstRate = static_cast<uint8_t>(p.burstRate);
  d.burstLength = HasWaves(p) ? static_cast<uint16_t>(p.burstLength) : 0;
  d.burstPeriod = BcdHms(p.burstPeriodSeconds);
  std::memcpy(d.height.data(), &p.loggerHeight, sizeof p.loggerHeight);
  return d;
}

int DeploymentSettings::burstPeriodSeconds() const {
  return BcdToInt(burstPeriod[0]) * 3600 + BcdToInt(burstPeriod[1]) * 60 + BcdToInt(burstPeriod[2]);
}

std::vector<uint8_t> BuildImageHeader(const DeploymentSettings& d, int length) {
  if (length <= 0) return {};
  std::vector<uint8_t> h(static_cast<size_t>(length), 0);
  auto put = [&h](size_t at, uint8_t v) {
    if (at < h.size()) h[at] = v;
  };
  uint8_t bcd[6];
  PackBcd(d.start, bcd);
  for (size_t i = 0; i < 6; ++i) put(i, bcd[i]);
  PackBcd(d.end, bcd);
  for (size_t i = 0; i < 6; ++i) put(6 + i, bcd[i]);
  const std::array<uint8_t, 3> period = BcdHms(d.periodSeconds);
  for (size_t i = 0; i < 3; ++i) put(12 + i, period[i]);
  for (size_t i = 0; i < 8; ++i) put(15 + i, d.threshold[i]);
  put(15, static_cast<uint8_t>(d.threshold[0] | (d.startByte & 0xC1)));
  put(23, static_cast<uint8_t>(d.averaging));
  put(24, static_cast<uint8_t>(d.averaging >> 8));
  put(25, d.realTimeCode);
  for (size_t i = 0; i < 3; ++i) put(26 + i, d.checkPeriod[i]);
  put(29, static_cast<uint8_t>(d.hysteresis));
  put(30, static_cast<uint8_t>(d.hysteresis >> 8));
  for (size_t i = 0; i < 3; ++i) put(31 + i, d.burstPeriod[i]);
  put(34, static_cast<uint8_t>(d.burstLength));
  put(35, static_cast<uint8_t>(d.burstLength >> 8));
  put(36, d.burstRate);
  h.back() = TableCheckByte(h.data(), h.size() - 1);
  return h;
}

void EncodeStamp(const char* code, const TimeRecord& t, uint8_t out[12]) {
  out[0] = out[1] = out[2] = 0;
  std::memcpy(out + 3, code, 3);
  PackBcd(t, out + 6);
}

void DeploymentRecorder::begin(int64_t first, const DeploymentSettings& d) {
  storing_ = true;
  nextRecord_ = first;
  period_ = d.sixHertz() ? kSixHertzTicks : int64_t{d.periodSeconds} * kTicksPerSecond;
  if (period_ <= 0) period_ = kTicksPerSecond;
  burstLength_ = d.burstLength;
  burstRate_ = d.burstRate > 0 ? d.burstRate : 4;
  burstPeriod_ = int64_t{d.burstPeriodSeconds()} * kTicksPerSecond;
  if (burstPeriod_ <= 0) burstLength_ = 0;
  nextBurst_ = first;
  inBurst_ = false;
  active_ = true;
}

bool DeploymentRecorder::writeHeader(const DeploymentSettings& d, int length) {
  const std::vector<uint8_t> header = BuildImageHeader(d, length);
  return memory_.append(header.data(), header.size());
}

bool DeploymentRecorder::writeStamp(const char* code, int64_t ticks) {
  if (!storing_) return true;
  uint8_t stamp[12];
  EncodeStamp(code, FromTicks(ticks), stamp);
  return memory_.append(stamp, sizeof stamp);
}

bool DeploymentRecorder::record(const LiveSink* sink) {
  LiveRecord r;
  r.ticks = nextRecord_;
  r.count = encoder_.channelCount();
  encoder_.sample(nextRecord_, index_, r.words.data());
  uint8_t bytes[3 * kMaxSimChannels];
  for (int c = 0; c < r.count; ++c)
    SampleEncoder::PutWord(r.words[static_cast<size_t>(c)], bytes + 3 * c);
  if (storing_ && !memory_.append(bytes, 3 * static_cast<size_t>(r.count))) return false;
  if (sink && *sink) (*sink)(r);
  nextRecord_ += period_;
  ++index_;
  return true;
}

bool DeploymentRecorder::startBurst(const LiveSink*) {
  if (!writeStamp("BST", nextRecord_)) return false;
  inBurst_ = true;
  burstStart_ = nextRecord_;
  burstSample_ = 0;
  while (nextBurst_ <= nextRecord_) nextBurst_ += burstPeriod_;
  return true;
}

bool DeploymentRecorder::burstSample(const LiveSink* sink) {
  const int64_t t = burstStart_ + burstSample_ * kTicksPerSecond / burstRate_;
  const uint32_t word =
      encoder_.burstWord(t, (burstCount_ << 16) + static_cast<uint64_t>(burstSample_));
  uint8_t bytes[3];
  SampleEncoder::PutWord(word, bytes);
  if (storing_ && !memory_.append(bytes, 3)) return false;
  // Real-time output carries the samples in pairs: "BST" then "SEQ".
  const int slot = burstSample_ % 2;
  if (slot == 0) {
    pendingPair_ = LiveRecord{};
    std::memcpy(pendingPair_.tag, burstSample_ == 0 ? "BST" : "SEQ", 4);
    pendingPair_.ticks = burstSample_ == 0 ? burstStart_ : t;
    pendingPair_.sequence = static_cast<uint16_t>(burstSample_);
    pendingPair_.count = 2;
  }
  pendingPair_.words[static_cast<size_t>(slot)] = word;
  if (slot == 1 && sink && *sink) (*sink)(pendingPair_);
  if (++burstSample_ >= burstLength_) {
    inBurst_ = false;
    ++burstCount_;
    // A stamp ends the burst words; the record due at the burst start follows.
    return writeStamp("TIM", nextRecord_);
  }
  return true;
}

bool DeploymentRecorder::writeNextRecord() {
  if (burstLength_ > 0 && nextRecord_ >= nextBurst_) {
    if (!startBurst(nullptr)) return false;
    while (inBurst_)
      if (!burstSample(nullptr)) return false;
  }
  return record(nullptr);
}

bool DeploymentRecorder::writePartialRecord(int channels) {
  uint32_t words[kMaxSimChannels];
  encoder_.sample(nextRecord_, index_, words);
  uint8_t bytes[3 * kMaxSimChannels];
  const int n = std::min(channels, encoder_.channelCount());
  for (int c = 0; c < n; ++c) SampleEncoder::PutWord(words[c], bytes + 3 * c);
  if (!memory_.append(bytes, 3 * static_cast<size_t>(n))) return false;
  nextRecord_ += period_;
  ++index_;
  return true;
}

bool DeploymentRecorder::writeNextRecordWithZero(int channel) {
  const int n = encoder_.channelCount();
  if (channel < 0 || channel + 1 >= n) return false;
  uint32_t words[kMaxSimChannels];
  encoder_.sample(nextRecord_, index_, words);
  words[channel] = 0;
  uint8_t bytes[3 * kMaxSimChannels];
  for (int c = 0; c < n; ++c) SampleEncoder::PutWord(words[c], bytes + 3 * c);
  // The word after a zero word must not read as a stamp code.
  for (const char* code :
       {"TIM", "CLD", "CHG", "LUK", "WRM", "STP", "TTY", "REC", "BST", "SER", "RTC", "GAN"})
    if (std::memcmp(bytes + 3 * (channel + 1), code, 3) == 0) return false;
  if (!memory_.append(bytes, 3 * static_cast<size_t>(n))) return false;
  nextRecord_ += period_;
  ++index_;
  return true;
}

bool DeploymentRecorder::advance(int64_t now, const LiveSink& sink) {
  if (!active_) return true;
  for (int step = 0; step < kMaxStepsPerAdvance; ++step) {
    if (inBurst_) {
      const int64_t due = burstStart_ + burstSample_ * kTicksPerSecond / burstRate_;
      if (due > now) return true;
      if (!burstSample(&sink)) return false;
      continue;
    }
    if (nextRecord_ > now) return true;
    if (now - nextRecord_ > 2 * period_ + 2 * kTicksPerSecond) {
      // Back after a gap: carry on from now, and say so with a stamp.
      nextRecord_ = now - now % kTicksPerSecond;
      if (!writeStamp("TIM", nextRecord_)) return false;
      if (burstLength_ > 0 && nextBurst_ < nextRecord_) nextBurst_ = nextRecord_;
    }
    if (burstLength_ > 0 && nextRecord_ >= nextBurst_) {
      if (!startBurst(&sink)) return false;
      continue;
    }
    if (!record(&sink)) return false;
  }
  return true;
}

void GenerateDeployment(const Profile& p, DeploymentRecorder& recorder) {
  const DeploymentSettings d = DeploymentSettings::FromProfile(p);
  recorder.begin(Ticks(p.start), d);
  if (p.records <= 0) return;
  recorder.writeHeader(d, HeaderLength(p));
  const int r = p.records;
  const bool all = p.stamps == StampPlan::All && r >= 16;
  const int channels = static_cast<int>(p.channels.size());
  if (p.stamps == StampPlan::All) recorder.writeStamp("CLD", recorder.nextRecordTicks());
  for (int i = 0; i < r; ++i) {
    const int64_t t = recorder.nextRecordTicks();
    if (p.stamps != StampPlan::None && i > 0 && i % p.timeStampEvery == 0)
      recorder.writeStamp("TIM", t);
    if (all) {
      if (i == r / 8) recorder.writeStamp("CHG", t);
      if (i == r / 4 && channels >= 2) {
        // A comms stamp in the middle of a record: the record is given up.
        if (!recorder.writePartialRecord(channels / 2)) return;
        recorder.writeStamp("TTY", t);
        continue;
      }
      if (i == 3 * r / 8) {
        // Stopped for half an hour, then a warm start: two stamps back to back.
        recorder.writeStamp("STP", t);
        recorder.skipTime(1800 * kTicksPerSecond);
        recorder.writeStamp("WRM", t + 1800 * kTicksPerSecond);
      }
      if (i == r / 2) {
        bool written = false;
        for (int c = 0; c + 1 < channels && !written; ++c)
          if (p.channels[static_cast<size_t>(c)].letter != 'T')
            written = recorder.writeNextRecordWithZero(c);
        if (written) continue;
      }
      if (i == 5 * r / 8) {
        recorder.writeStamp("REC", t);
        recorder.writeStamp("RTC", t);
      }
      if (i == 3 * r / 4) recorder.writeStamp("LUK", t);
      if (i == 3 * r / 4 + 1) recorder.writeStamp("SER", t);
      if (i == 7 * r / 8) recorder.writeStamp("GAN", t);
      // On a tide-and-wave logger a "BST" starts a burst: only real ones there.
      if (i == 7 * r / 8 + 1 && !HasWaves(p)) recorder.writeStamp("BST", t);
    }
    if (!recorder.writeNextRecord()) return;  // memory full
  }
}

}  // namespace kts::sim
