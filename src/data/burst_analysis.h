// The one call point of the wave analysis: the decoder calls it once per
// wave burst, after the burst's samples and start time are in the data set
// and before the derived channels are appended.
#pragma once

namespace kts {

struct Session;

// Analyses burst `burst` (0-based, below s.data.burstCount) into its record,
// s.data.burstRecords[burst].
void AnalyseBurst(Session& s, int burst);

// Burst `burst` after the surface correction of the analysis: `count`
// values into `out`. False while the analysis cannot give it.
bool SurfaceCorrectedBurst(Session& s, int burst, float* out, int count);

}  // namespace kts
