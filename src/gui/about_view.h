#pragma once

class QWidget;

namespace kts {
struct Session;
}

namespace kts::gui {

// The about box: the version, the maker's notice and the MATLAB library notice.
int RunAboutBox(Session& s, QWidget* parent);

}  // namespace kts::gui
