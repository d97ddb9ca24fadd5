// Derived channels (depth, salinity, specific conductivity, speed of sound,
// oxygen) appended to the data set after the measured channels.
#pragma once

namespace kts {

struct Session;

// Appends the derived channels that the settings ask for and whose inputs
// exist, and computes them for every sample. Runs after every decode, every
// .dat or .mat read, and again when the settings change.
void AppendDerivedChannels(Session& s);

}  // namespace kts
