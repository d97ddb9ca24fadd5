// Turns a memory image into the data set: one row of values per measured
// channel, the stamp table and the wave bursts.
//
// Two levels:
//  - DecodeSamples is the decode itself over explicit inputs (image bytes,
//    the logger it came from, start time and period). It talks to nobody and
//    reports what the user must be told in a DecodeReport.
//  - DecodeImage and RedecodeImage (decode_image.h) run it over a Session:
//    they choose the inputs, decode the image header settings of a fresh
//    retrieval, show the messages, run the burst analysis and append the
//    derived channels.
#pragma once

#include <cstdint>

#include "core/time_record.h"
#include "data/data_set.h"

namespace kts {

struct DecodeInput {
  const uint8_t* image = nullptr;
  int length = 0;
  const DecodeContext* context = nullptr;  // the logger the image came from
  TimeRecord startTime;
  TimeRecord samplePeriod = MakePeriod(0, 1, 0);
  uint32_t samplingMode = 0;  // 64: six-hertz profiling, 167 ms per sample
  bool rawCounts = false;     // values raw / 2^24, no rollover correction or equation
};

struct DecodeReport {
  int headerLength = 0;
  int words = 0;                  // words after the header, stamps included
  int stampsRead = 0;             // stamps found in the stream (stored or not)
  bool stampsSuppressed = false;  // the table was full: later stamps were not kept
  int abandonedRecords = 0;       // records cut short by a stamp
  int burstsDropped = 0;          // bursts beyond the burst store
  int burstSamplesDropped = 0;    // burst words beyond a burst's room (kept bursts only)
  int rowSamplesDropped = 0;      // samples per channel that did not fit the row store
};

// Replaces the whole data set. Never reads outside [image, image + length)
// and never writes outside the data set's stores.
DecodeReport DecodeSamples(const DecodeInput& in, DataSet& out);

// The plot marker of every stamp, from its type and its neighbours.
void AssignStampMarkers(DataSet& data);

// The time of sample i: the last stamp at or before it plus the periods
// since, or the start time plus i periods (1/6 s each in six-hertz data).
TimeRecord SampleTime(const DataSet& data, int sample);

}  // namespace kts
