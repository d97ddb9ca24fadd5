// The two channels of the tide-and-wave logger: significant wave height
// (0x81) and tidal slope (0x82). They take their values from the wave and
// tide analysis; this is where that analysis plugs into the derived channels.
#pragma once

namespace kts {

struct DataSet;

// Fills the significant-wave-height channel from the burst results (the
// latest "BST" stamp at or before each sample names the burst; 0 before the
// first burst), and the tidal-slope channel, which stays 0 until the tide
// analysis computes it from the depth channel, with its range made
// symmetric about 0. A channel index of −1 means the channel is absent.
// The data set's layout must already have been checked for the channels.
void FillTideAndWaveChannels(DataSet& d, int heightChannel, int slopeChannel, int depthChannel);

}  // namespace kts
