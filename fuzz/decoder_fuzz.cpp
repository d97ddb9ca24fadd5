// The decoder against arbitrary memory images, for each kind of logger the
// first bytes choose: model, firmware, channels and their types, the
// capability flags that change how an image is read.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/session.h"
#include "data/decode_image.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

namespace {

constexpr const char* kModels[] = {"QZ-740", "HV-3070", "LV-3070", "HKV-4070", "HLV-4070", "YP-930"};
constexpr uint8_t kTypes[] = {'T', 'P', 'C', 'D', 'N', 'M', 'V', 'Y', 'y', 'R', 'H', 'F',
                              'f', 'G', 'g', 'I', 'i', 'E', 'A', 'L', 'K', 'J', 'B', 'Z'};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  constexpr size_t kSetup = 8;
  if (size < kSetup) return 0;
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);

  s.link = LinkState{};
  s.description = LoggerDescription{};
  s.link.identity.model = kModels[data[0] % (sizeof kModels / sizeof kModels[0])];
  s.link.identity.firmware = static_cast<float>(data[1]) / 20.0f;
  s.description.channelCount = 1 + data[2] % kMaxChannels;
  for (int c = 0; c < kMaxChannels; ++c)
    s.description.channelTypes[static_cast<size_t>(c)] = kTypes[(data[3] + c * data[4]) % sizeof kTypes];
  s.description.capabilityWordsRead = data[5] & 1;
  s.description.parameterBlockLength = (data[5] >> 1) % 64;
  s.description.waves = data[5] & 0x80;
  s.description.engineeringUnitsLevel = data[6] & 1;
  s.description.extendedChannelCaps[1 + data[6] % kMaxChannels] = data[7];
  for (auto& c : s.coefficients.c) c = {0.0, 1.0, 0.001, 0.0};
  s.settings.derived.depthOn = data[6] & 2;
  s.settings.derived.salinityOn = data[6] & 4;
  s.settings.derived.soundSpeedOn = data[6] & 8;
  s.settings.derived.oxygenOn = data[6] & 16;

  s.data.startTime = MakeTime(2026, 1, 1);
  s.data.samplePeriod = MakePeriod(0, 0, data[7] % 4);
  s.data.samplingMode = (data[6] & 32) ? 64 : 0;
  const size_t length = std::min(size - kSetup, static_cast<size_t>(MemoryImage::kCapacity));
  std::copy_n(data + kSetup, length, s.image.bytes.get());
  s.image.length = static_cast<int>(length);
  DecodeImage(s, true);
  RedecodeImage(s, true);
  return 0;
}
