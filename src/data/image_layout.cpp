#include "data/image_layout.h"

#include <algorithm>

#include "core/text.h"

namespace kts {

ImageLayout ComputeImageLayout(const LoggerIdentity& identity, const LoggerDescription& description,
                               int imageLength) {
  ImageLayout layout;
  imageLength = std::max(imageLength, 0);
  layout.channels = std::clamp(description.channelCount, 1, kMaxChannels);
  layout.types = description.channelTypes;
  layout.headerLength = description.parameterBlockLength;
  layout.hvModel = Contains(identity.model, "HV");

  // "HLV" models are two-channel loggers of another family: their layout
  // comes from their description, not from the one-channel "LV" rule.
  if (!description.capabilityWordsRead) {
    if (layout.hvModel) {
      layout.types[0] = 'T';
      if (!FirmwareAtLeast(identity, 1.50)) {
        layout.headerLength = 0;
      } else {
        layout.headerLength = FirmwareAtLeast(identity, 2.20) ? 30 : 15;
        layout.channels = 1;
      }
    } else if (Contains(identity.model, "LV") && !Contains(identity.model, "HLV")) {
      layout.types[0] = 'P';
      layout.channels = 1;
      layout.headerLength = 30;
    }
  }
  layout.headerLength = std::clamp(layout.headerLength, 0, imageLength);

  // H/3 words come off the word count; a header that is not a whole number
  // of words must still leave every word inside the image.
  const int words = imageLength / 3 - layout.headerLength / 3;
  layout.words = std::max(0, std::min(words, (imageLength - layout.headerLength) / 3));
  for (int c = layout.channels; c < kMaxChannels; ++c) layout.types[static_cast<size_t>(c)] = 0;
  return layout;
}

}  // namespace kts
