#include "convert/tide_wave_channels.h"

#include <algorithm>
#include <cmath>

#include "convert/channel_range.h"
#include "data/data_set.h"

namespace kts {

namespace {

void FillSignificantWaveHeight(DataSet& d, int channel) {
  float* row = d.row(channel);
  const int n = d.sampleCount;
  const int stamps = std::clamp(d.stampCount, 0, kMaxStamps);
  const int bursts = std::clamp(d.burstCount, 0, kMaxBursts);
  ChannelRange range;
  float height = 0.0f;
  int next = 0;
  for (int i = 0; i < n; ++i) {
    for (; next < stamps && d.stamps[static_cast<size_t>(next)].sampleIndex <= i; ++next) {
      const StampEntry& stamp = d.stamps[static_cast<size_t>(next)];
      if (stamp.type != kStampBurst) continue;
      const int b = stamp.burstNumber;
      height = (b >= 0 && b < bursts)
                   ? StoredValue(d.burstRecords[static_cast<size_t>(b)].significantHeight)
                   : 0.0f;
    }
    row[i] = height;
    range.add(height);
  }
  range.store(row, n);
}

void FillTidalSlope(DataSet& d, int channel, int depthChannel) {
  // The tide analysis computes the slope per sample from the depth channel;
  // until it does, the slope is 0.
  (void)depthChannel;
  float* row = d.row(channel);
  const int n = d.sampleCount;
  ChannelRange range;
  for (int i = 0; i < n; ++i) {
    row[i] = 0.0f;
    range.add(row[i]);
  }
  if (range.empty()) {
    range.store(row, n);
    return;
  }
  const float m = std::max(std::fabs(range.minimum), std::fabs(range.maximum));
  row[n] = m > 0.0f ? -m : 0.0f;
  row[n + 1] = m;
}

}  // namespace

void FillTideAndWaveChannels(DataSet& d, int heightChannel, int slopeChannel, int depthChannel) {
  if (heightChannel >= 0) FillSignificantWaveHeight(d, heightChannel);
  if (slopeChannel >= 0) FillTidalSlope(d, slopeChannel, depthChannel);
}

}  // namespace kts
