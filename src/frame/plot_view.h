// The plot view: geometry, scaling, zoom and cursor (pure arithmetic).
#pragma once

#include <array>
#include <cstdint>

namespace kts {

inline constexpr int kAxisGroups = 23;

struct PlotView {
  int plotWidth = 853;  // P
  float readingsPerDivision = 10.0f;
  float pixelsPerReading = 1.0f;
  int scrollOffset = 0;  // negative while a narrow zoom box is centred
  int maxScroll = 0;
  int verticalOffset = 0;
  int verticalRange = 1000;
  uint32_t channelMask = 0xFFFFFF;
  uint32_t currentChannelBit = 1;
  int currentGroup = 0;
  std::array<float, kAxisGroups> groupMax{};
  std::array<float, kAxisGroups> groupMin{};
  std::array<float, kAxisGroups> unitsPerDivision{};
  int cursorSample = 0;
  int cursorX = 0;
  bool cursorActive = false;
  int xChannel = 0;
  bool statisticsMode = false;
  bool rawView = false;
  bool displayPresent = false;  // a data set has been put on display
};

}  // namespace kts
