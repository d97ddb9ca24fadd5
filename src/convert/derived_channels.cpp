#include "convert/derived_channels.h"

#include "core/session.h"

namespace kts {

void AppendDerivedChannels(Session& s) { s.data.totalChannels = s.data.measuredChannels; }

}  // namespace kts
