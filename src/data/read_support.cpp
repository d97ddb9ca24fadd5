#include "data/read_support.h"

#include <algorithm>

#include "core/session.h"
#include "data/header_parser.h"

namespace kts {

bool ParseCountAfter(std::string_view line, size_t pos, int& out) {
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < line.size() && (line[pos] == '-' || line[pos] == '+')) negative = line[pos++] == '-';
  int digits = 0;
  int64_t v = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 10) {
    v = v * 10 + (line[pos++] - '0');
    ++digits;
  }
  if (digits == 0 || digits > 9) return false;
  out = static_cast<int>(negative ? -v : v);
  return true;
}

void TakeHeader(Session& s, const ParsedHeader& h) {
  DataSet& d = s.data;
  d.context = h.context;
  d.rawCounts = false;
  d.startTime = h.startTime;
  d.runningTime = h.startTime;
  d.samplePeriod = h.samplePeriod;
  d.samplingMode = h.samplingMode;
  d.measuredChannels = std::clamp(h.channels, 1, kMaxChannels);
  d.totalChannels = d.measuredChannels;
  d.types = h.types;
  d.comment = h.comment;
  s.retrieved = h.deployment;
}

void ClearRows(Session& s) {
  DataSet& d = s.data;
  d.sampleCount = 0;
  d.stride = 2;
  d.stampCount = 0;
  d.burstCount = 0;
  d.totalChannels = d.measuredChannels;
  for (int c = 0; c < d.measuredChannels; ++c) {
    d.row(c)[0] = 0.0f;
    d.row(c)[1] = 0.0f;
  }
  s.app.sampleCount = 0;
  s.app.channelCount = d.totalChannels;
}

}  // namespace kts
