// Derived channels (depth, salinity, specific conductivity, speed of sound,
// oxygen, and the tide-and-wave logger's wave height and tidal slope)
// appended to the data set after the measured channels.
#pragma once

namespace kts {

struct Session;

// Appends the derived channels that the settings ask for and whose inputs
// exist, and computes them for every sample. Runs after every decode, every
// .dat or .mat read, and again when the settings change: the channels
// appended by an earlier run are replaced. A data set has at most 24
// channels and must fit the row store; derived channels that do not fit are
// left out and the status line names them.
void AppendDerivedChannels(Session& s);

}  // namespace kts
