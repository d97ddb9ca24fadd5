#include "data/decoder.h"

#include <algorithm>
#include <bit>
#include <cfloat>

#include "convert/calibration.h"
#include "convert/channel_types.h"
#include "core/bcd.h"
#include "core/time_math.h"
#include "data/image_layout.h"
#include "data/word_reader.h"
#include "deploy/deployment_parameters.h"

namespace kts {
namespace {

constexpr double kFullScale = 16777216.0;  // 2^24
constexpr int64_t kProfilingStepTicks = 167 * kTicksPerMillisecond;
// Below the lowest rollover threshold (class 1, 0xDFFFFF) the type's
// rollover class leaves every word as it is.
constexpr int32_t kLowestRolloverWord = 0xDFFFFF;

// A file may carry any start time or period. With every field of a time in
// its calendar range (years up to 4000) and a period of at most a day (the
// longest a logger takes), every sample time of the largest data set stays
// well inside the 64-bit tick count; real data never come near either bound.
constexpr int64_t kLongestPeriodSeconds = 86400;

int64_t StartTicks(TimeRecord t) {
  t.year = std::clamp<uint16_t>(t.year, 1601, 4000);
  t.month = std::min<uint16_t>(t.month, 12);
  t.day = std::min<uint16_t>(t.day, 31);
  t.hour = std::min<uint16_t>(t.hour, 24);
  t.minute = std::min<uint16_t>(t.minute, 60);
  t.second = std::min<uint16_t>(t.second, 60);
  t.millisecond = std::min<uint16_t>(t.millisecond, 999);
  return ToTicks(t);
}

int64_t PeriodTicks(const TimeRecord& period) {
  return std::min(PeriodSeconds(period), kLongestPeriodSeconds) * kTicksPerSecond;
}

struct ChannelPlan {
  float* row = nullptr;
  const Coefficients* coefficients = nullptr;
  uint8_t type = 0;
  uint8_t extendedCaps = 0xFF;
  bool temperature = false;  // the thermistor equation, whose −1000 is no value
  bool autoranging = false;
  int gain = 0;
  int previousGain = -1;
  float minimum = FLT_MAX;
  float maximum = -FLT_MAX;

  void include(float v) {
    if (temperature && v < -999.0f) return;
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
  }
};

class SampleDecoder {
 public:
  SampleDecoder(const DecodeInput& in, DataSet& out) : in_(in), out_(out) {}

  DecodeReport run() {
    const DecodeContext& ctx = *in_.context;
    const ImageLayout layout = ComputeImageLayout(ctx.identity, ctx.description, in_.length);
    report_.headerLength = layout.headerLength;
    report_.words = layout.words;
    resetDataSet(layout);
    planChannels(layout);
    if (layout.words > 0) decodeWords(layout);
    close();
    return report_;
  }

 private:
  void resetDataSet(const ImageLayout& layout) {
    channels_ = layout.channels;
    out_.rawCounts = in_.rawCounts;
    out_.headerLength = layout.headerLength;
    out_.measuredChannels = channels_;
    out_.totalChannels = channels_;
    out_.types = layout.types;
    out_.startTime = in_.startTime;
    out_.samplePeriod = in_.samplePeriod;
    out_.samplingMode = in_.samplingMode;
    out_.stampCount = 0;
    out_.burstCount = 0;
    std::fill_n(out_.burstRecords.get(), kMaxBursts, BurstRecord{});

    const int wanted = layout.words / channels_;
    const int room = kRowStoreFloats / channels_ - 2;
    n_ = std::min(wanted, room);
    report_.rowSamplesDropped = wanted - n_;
    out_.stride = n_ + 2;
    out_.sampleCount = 0;
  }

  void planChannels(const ImageLayout& layout) {
    const DecodeContext& ctx = *in_.context;
    for (int c = 0; c < channels_; ++c) {
      ChannelPlan& p = plans_[static_cast<size_t>(c)];
      p = ChannelPlan{};
      p.row = out_.row(c);
      p.coefficients = &ctx.coefficients.c[static_cast<size_t>(c)];
      p.type = layout.types[static_cast<size_t>(c)];
      p.extendedCaps = ctx.description.extendedChannelCaps[static_cast<size_t>(c) + 1];
      p.temperature = !in_.rawCounts && (layout.hvModel || p.type == 'T');
      p.autoranging = IsAutorangingType(p.type);
      if (p.autoranging) autorangeMask_ |= 1u << c;
    }
    hvModel_ = layout.hvModel;
    typeAIsClass1_ = ctx.description.engineeringUnitsLevel == 1;
    waves_ = ctx.description.waves;
    burstCoefficients_ = &ctx.coefficients.c[1];
    profiling_ = in_.samplingMode == kProfilingMode;
    periodTicks_ = PeriodTicks(in_.samplePeriod);
    runningTicks_ = StartTicks(in_.startTime);
  }

  StampEntry* appendStamp() {
    if (out_.stampCount >= kMaxStamps) {
      report_.stampsSuppressed = true;
      return nullptr;
    }
    StampEntry* e = &out_.stamps[static_cast<size_t>(out_.stampCount++)];
    *e = StampEntry{};
    return e;
  }

  void onStamp(int type, const uint8_t* bcd) {
    ++report_.stampsRead;
    const TimeRecord t = MakeTime(2000 + BcdToInt(bcd[0]), BcdToInt(bcd[1]), BcdToInt(bcd[2]),
                                  BcdToInt(bcd[3]), BcdToInt(bcd[4]), BcdToInt(bcd[5]));
    runningTicks_ = ToTicks(t);
    int burstNumber = 0;
    inBurst_ = false;
    if (type == kStampBurst) {
      burstNumber = ++burstIndex_;
      burstSample_ = 0;
      inBurst_ = waves_;
      if (burstIndex_ < kMaxBursts) out_.burstRecords[static_cast<size_t>(burstIndex_)].start = t;
    }
    if (StampEntry* e = appendStamp()) {
      e->sampleIndex = sample_;
      e->type = type;
      e->burstNumber = burstNumber;
      e->time = t;
    }
  }

  void storeBurstWord(int32_t word) {
    if (burstIndex_ >= kMaxBursts) return;
    if (burstSample_ >= kBurstCapacity) {
      ++report_.burstSamplesDropped;
      return;
    }
    out_.burst(burstIndex_)[burstSample_] =
        static_cast<float>(ConvertPolynomial(word, *burstCoefficients_));
    out_.burstRecords[static_cast<size_t>(burstIndex_)].sampleCount = ++burstSample_;
  }

  float value(const ChannelPlan& p, int32_t word) const {
    if (in_.rawCounts) return static_cast<float>(word / kFullScale);
    int32_t raw = word;
    if ((p.extendedCaps & 1) ? word >= kLowestRolloverWord : (word & 1) != 0)
      raw = CorrectRollover(static_cast<uint32_t>(word), p.type, p.extendedCaps, typeAIsClass1_);
    return static_cast<float>(ConvertRaw(raw, p.type, *p.coefficients, hvModel_));
  }

  // A stamp came in the middle of a record: the channels that got a word
  // keep it, the others get the invalid value.
  void abandonRecord() {
    for (int c = 0; c < channels_; ++c) {
      ChannelPlan& p = plans_[static_cast<size_t>(c)];
      if (c < channel_)
        p.include(p.row[sample_]);
      else
        p.row[sample_] = kInvalidValue;
    }
    ++report_.abandonedRecords;
  }

  void completeRecord() {
    for (int c = 0; c < channels_; ++c) {
      ChannelPlan& p = plans_[static_cast<size_t>(c)];
      p.include(p.row[sample_]);
    }
    if (autorangeMask_ != 0) recordGainChanges();
    if (profiling_) {
      runningTicks_ += kProfilingStepTicks;
      // Six steps of 167 ms make 1.002 s: the 2 ms are dropped so that the
      // clock stays on whole seconds.
      const int64_t ms = runningTicks_ / kTicksPerMillisecond % 1000;
      if (ms < 50) runningTicks_ -= ms * kTicksPerMillisecond;
    } else {
      runningTicks_ += periodTicks_;
    }
  }

  void recordGainChanges() {
    uint32_t mask = 0;
    std::array<int32_t, kMaxChannels> gains{};
    for (int c = 0; c < channels_; ++c) {
      ChannelPlan& p = plans_[static_cast<size_t>(c)];
      if (!p.autoranging) continue;
      if (sample_ == 0 || p.gain != p.previousGain) {
        mask |= 1u << c;
        gains[static_cast<size_t>(c)] = p.gain;
      }
      p.previousGain = p.gain;
    }
    if (mask == 0) return;
    if (StampEntry* e = appendStamp()) {
      e->sampleIndex = sample_;
      e->type = kStampGain;
      e->time = FromTicks(runningTicks_);
      e->gains = gains;
      e->gainMask = mask;
    }
  }

  void decodeWords(const ImageLayout& layout) {
    WordCursor cursor{in_.image, layout.headerLength, layout.headerLength + layout.words * 3, 0};
    bool stampSeen = false;
    auto stamp = [this](int type, const uint8_t* bcd) { onStamp(type, bcd); };
    for (;;) {
      const int32_t word = ReadWord(cursor, stampSeen, stamp);
      if (word == kEndOfWords) break;
      if (inBurst_) {
        storeBurstWord(word);
        continue;
      }
      if (stampSeen && channel_ != 0) {
        abandonRecord();
        channel_ = 0;
        if (++sample_ >= n_) break;
      }
      if (sample_ >= n_) break;
      ChannelPlan& p = plans_[static_cast<size_t>(channel_)];
      if (p.autoranging) p.gain = (word & 6) >> 1;
      p.row[sample_] = value(p, word);
      if (++channel_ == channels_) {
        completeRecord();
        channel_ = 0;
        if (++sample_ >= n_) break;
      }
    }
    report_.burstsDropped = std::max(0, burstIndex_ + 1 - kMaxBursts);
    out_.burstCount = std::min(burstIndex_ + 1, kMaxBursts);
  }

  // The sample count is every record completed or abandoned; the minimum and
  // maximum follow the last sample, the stride stays as laid out.
  void close() {
    out_.sampleCount = sample_;
    const float noMinimum = in_.rawCounts ? 0.0f : 300.0f;
    const float noMaximum = in_.rawCounts ? 1.0f : -300.0f;
    for (int c = 0; c < channels_; ++c) {
      const ChannelPlan& p = plans_[static_cast<size_t>(c)];
      const bool any = p.minimum <= p.maximum;
      p.row[sample_] = any ? p.minimum : noMinimum;
      p.row[sample_ + 1] = any ? p.maximum : noMaximum;
    }
    out_.runningTime = FromTicks(runningTicks_);
    AssignStampMarkers(out_);
  }

  const DecodeInput& in_;
  DataSet& out_;
  DecodeReport report_;
  std::array<ChannelPlan, kMaxChannels> plans_{};
  int channels_ = 1;
  int n_ = 0;
  int channel_ = 0;
  int sample_ = 0;
  uint32_t autorangeMask_ = 0;
  bool hvModel_ = false;
  bool typeAIsClass1_ = false;
  bool waves_ = false;
  bool profiling_ = false;
  const Coefficients* burstCoefficients_ = nullptr;
  int64_t periodTicks_ = 0;
  int64_t runningTicks_ = 0;
  bool inBurst_ = false;
  int burstIndex_ = -1;
  int burstSample_ = 0;
};

}  // namespace

DecodeReport DecodeSamples(const DecodeInput& in, DataSet& out) {
  DecodeInput checked = in;
  if (checked.image == nullptr || checked.length < 0) checked.length = 0;
  DecodeContext fallback;
  if (checked.context == nullptr) checked.context = &fallback;
  return SampleDecoder(checked, out).run();
}

void AssignStampMarkers(DataSet& data) {
  int remembered = 0;
  int rememberedSample = -1;
  for (int i = 0; i < data.stampCount; ++i) {
    StampEntry& e = data.stamps[static_cast<size_t>(i)];
    const int channelsInMask = std::popcount(e.gainMask);
    if (e.type == kStampRtc || e.type == kStampRecovery) {
      e.marker = remembered = 9;
      rememberedSample = e.sampleIndex;
    } else if (e.type == kStampBurst) {
      e.marker = 10;
      remembered = -1;
      rememberedSample = e.sampleIndex;
    } else if (e.type == kStampGain && channelsInMask > 0) {
      e.marker = remembered = channelsInMask > 1 ? 12 : std::countr_zero(e.gainMask);
      rememberedSample = e.sampleIndex;
    } else {
      e.marker = e.sampleIndex != rememberedSample ? 8 : remembered;
    }
  }
}

TimeRecord SampleTime(const DataSet& data, int sample) {
  sample = std::max(sample, 0);
  const StampEntry* first = data.stamps.get();
  const StampEntry* last = first + std::clamp(data.stampCount, 0, kMaxStamps);
  const StampEntry* after = std::upper_bound(
      first, last, sample, [](int i, const StampEntry& e) { return i < e.sampleIndex; });
  TimeRecord base = data.startTime;
  int64_t periods = sample;
  if (after != first) {
    base = (after - 1)->time;
    periods = int64_t{sample} - (after - 1)->sampleIndex;
  }
  periods = std::clamp<int64_t>(periods, -kRowStoreFloats, kRowStoreFloats);
  const int64_t offset = data.samplingMode == kProfilingMode
                             ? periods * kTicksPerSecond / 6
                             : periods * PeriodTicks(data.samplePeriod);
  return FromTicks(StartTicks(base) + offset);
}

}  // namespace kts
