// Fixed pixel geometry of the plot and the main-window places around it.
#pragma once

#include <array>
#include <cstdint>

namespace kts {

inline constexpr int kPlotHeight = 250;
inline constexpr int kDivisionPixels = 10;
inline constexpr int kPlotCentreY = 125;
inline constexpr int kPlotOriginX = 160;  // main-window coordinates of the plot
inline constexpr int kPlotOriginY = 20;
inline constexpr int kYClamp = 1000;  // mapped values never leave ±1000
inline constexpr int kMinPlotWidth = 103;
inline constexpr int kMaxPlotWidth = 4003;
inline constexpr int kChannelButtons = 24;
inline constexpr int kDepthGroup = 12;
inline constexpr int kWaveHeightGroup = 15;
inline constexpr int kSalinityGroup = 13;

// The plot width for a screen: W is the screen width capped at 1000.
inline int PlotWidthForScreen(int screenWidth) {
  int w = screenWidth < 1000 ? screenWidth : 1000;
  if (w < 163 + 100) w = 163 + 100;
  return ((w - 163) / 50) * 50 + 3;
}

// Channel colours as 0xRRGGBB (channel i uses entry i mod 8).
inline constexpr std::array<uint32_t, 8> kChannelColours{
    0xFFFF00, 0xFF0000, 0x0000FF, 0x00FFFF, 0xC08000, 0x800000, 0x800080, 0x000000,
};
inline constexpr uint32_t kGridLight = 0xC0C0C0;
inline constexpr uint32_t kGridDark = 0x808080;
inline constexpr uint32_t kLabelBackground = 0x808080;

// Button text is white except on the light colours 0, 1 and 3.
inline bool WhiteTextOnColour(int colour) {
  return colour != 0 && colour != 1 && colour != 3;
}

// The 1-pixel pen, or 3 pixels for depth and significant wave height.
inline int TracePenWidth(int group) {
  return group == kDepthGroup || group == kWaveHeightGroup ? 3 : 1;
}

}  // namespace kts
