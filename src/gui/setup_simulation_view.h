#pragma once

class QWidget;

namespace kts {
struct Session;
}

namespace kts::gui {

// "SetupSimulation" (and for QZ loggers "SetupQZSimulation"): 1 when a
// logger type was chosen and applied, 0 when cancelled.
int RunSetupSimulation(Session& s, QWidget* parent);

}  // namespace kts::gui
