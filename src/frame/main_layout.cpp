#include "frame/main_layout.h"

#include <algorithm>

namespace kts {

MainLayout ComputeMainLayout(int screenWidth) {
  MainLayout l;
  // A screen too narrow for the frame around the plot still gets one
  // division, so the plot never has a width of zero or less.
  l.width = std::max(std::min(screenWidth, 1000), 213);
  l.plotWidth = ((l.width - 163) / 50) * 50 + 3;
  l.left = screenWidth > 1000 ? (screenWidth - l.width) / 2 : 0;
  return l;
}

}  // namespace kts
