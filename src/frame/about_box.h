// The texts of the about box.
#pragma once

#include <string>

#include "core/session.h"

namespace kts {

inline constexpr const char* kAboutTitle = "About KTS Data Loggers";

inline std::string AboutVersionText() { return std::string("Version: ") + kSoftwareVersion; }

inline constexpr const char* kAboutNotice =
    "KTS Logger - bench software for KTS oceanographic data loggers.\n"
    "Connects to a logger, programs deployments, retrieves and converts\n"
    "its data, and saves them as HEX, DAT and MATLAB files.";

inline constexpr const char* kAboutMatlabNotice =
    "MATLAB files are written and read with the matio library.\n"
    "MATLAB is a registered trademark of The MathWorks, Inc.";

}  // namespace kts
