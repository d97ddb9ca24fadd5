// The deployment settings that loggers without capability words keep in the
// header of their memory image (the parameter block): start mode, threshold,
// averaging, real-time output, check period and hysteresis.
#pragma once

#include <cstdint>
#include <span>

#include "data/data_set.h"
#include "data/image_layout.h"
#include "deploy/deployment_parameters.h"

namespace kts {

// Decodes `header` (the parameter block as read, fewer bytes than the fields
// need read as 0) into the deployment parameters. Above firmware 2.65 the
// first `layout.headerLength` bytes must sum to 0xA5; when they do not, the
// fields are reset and false is returned.
bool DecodeHeaderSettings(std::span<const uint8_t> header, const ImageLayout& layout,
                          const DecodeContext& context, DeploymentParameters& deployment);

}  // namespace kts
