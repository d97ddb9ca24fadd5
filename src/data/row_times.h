// The time of each row of a data set as the .dat, .tide and .mat writers
// give it: a running offset from the last stamp, snapped to whole seconds.
#pragma once

#include "core/time_record.h"
#include "data/data_set.h"

namespace kts {

// Seconds per sample: the period, or 1/6 s (0.166666666666667) in
// six-hertz profiling. A period of 00:00:00 counts as one day.
double SamplePeriodSeconds(const DataSet& data);

// Walks the rows in order. For each sample every stamp at that sample sets
// the base time to the stamp's time and the offset to 0; the offset is then
// snapped (fraction ≤ 0.9·p down, > 1 − 0.9·p up) and the row time is the
// base plus its whole seconds; after the row the offset grows by p.
class RowTimes {
 public:
  explicit RowTimes(const DataSet& data, int firstSample = 0);
  // The time of the next row (samples firstSample, firstSample + 1, …).
  TimeRecord next();

 private:
  const DataSet& data_;
  int sample_;
  int stamp_ = 0;
  TimeRecord base_;
  double offset_ = 0.0;
  double period_;
};

}  // namespace kts
