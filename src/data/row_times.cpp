#include "data/row_times.h"

#include <cmath>

#include "core/time_math.h"
#include "data/decoder.h"
#include "deploy/deployment_parameters.h"

namespace kts {

double SamplePeriodSeconds(const DataSet& data) {
  if (data.samplingMode == kProfilingMode) return 0.166666666666667;
  const int64_t p = PeriodSeconds(data.samplePeriod);
  return p == 0 ? 86400.0 : static_cast<double>(p);
}

RowTimes::RowTimes(const DataSet& data, int firstSample)
    : data_(data), sample_(firstSample), base_(data.startTime), period_(SamplePeriodSeconds(data)) {
  if (firstSample > 0) {
    // Start from the time of the first row asked for, as a save of a range does.
    base_ = SampleTime(data, firstSample);
    while (stamp_ < data.stampCount && data.stamps[static_cast<size_t>(stamp_)].sampleIndex < firstSample)
      ++stamp_;
  }
}

TimeRecord RowTimes::next() {
  const int count = data_.stampCount < kMaxStamps ? data_.stampCount : kMaxStamps;
  // Stamps are in stream order; any out of order are passed over.
  while (stamp_ < count && data_.stamps[static_cast<size_t>(stamp_)].sampleIndex < sample_) ++stamp_;
  while (stamp_ < count && data_.stamps[static_cast<size_t>(stamp_)].sampleIndex == sample_) {
    base_ = data_.stamps[static_cast<size_t>(stamp_)].time;
    offset_ = 0.0;
    ++stamp_;
  }
  const double whole = std::trunc(offset_);
  const double fraction = offset_ - whole;
  if (fraction <= 0.9 * period_) offset_ = whole;
  else if (fraction > 1.0 - 0.9 * period_) offset_ = whole + 1.0;
  const TimeRecord t = AddSeconds(base_, static_cast<int64_t>(std::trunc(offset_)));
  offset_ += period_;
  ++sample_;
  return t;
}

}  // namespace kts
