// The main window's geometry: the window width W (the screen width, at most
// 1000), the plot width P = ((W − 163) div 50) × 50 + 3 and the window's
// start position.
#pragma once

namespace kts {

inline constexpr int kMainWindowHeight = 485;
inline constexpr int kMainWindowTop = 10;

struct MainLayout {
  int width = 0;      // W
  int plotWidth = 0;  // P
  int left = 0;
};

MainLayout ComputeMainLayout(int screenWidth);

}  // namespace kts
