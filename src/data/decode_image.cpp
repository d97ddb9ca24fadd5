#include "data/decode_image.h"

#include <span>
#include <string>

#include "convert/derived_channels.h"
#include "core/session.h"
#include "core/text.h"
#include "data/burst_analysis.h"
#include "data/decoder.h"
#include "data/header_settings.h"
#include "data/image_layout.h"
#include "link/commands.h"
#include "platform/status_line.h"

namespace kts {
namespace {

// The parameter block heads the logger's memory, so the image's first bytes
// stand in for it when the logger cannot be asked.
void DecodeImageHeaderSettings(Session& s) {
  const DecodeContext& ctx = s.data.context;
  if (ctx.description.capabilityWordsRead) return;
  const ImageLayout layout = ComputeImageLayout(ctx.identity, ctx.description, s.image.length);
  if (layout.headerLength == 0) return;  // HV below 1.50 keeps no header
  std::span<const uint8_t> header(s.image.bytes.get(), static_cast<size_t>(s.image.length));
  if (s.link.connected && CommGet(s, 20) == 1)
    header = std::span<const uint8_t>(s.reply.data(), static_cast<size_t>(s.reply.length));
  DecodeHeaderSettings(header, layout, ctx, s.deployment);
}

void ReportDecode(Session& s, const DecodeReport& report) {
  if (report.stampsSuppressed)
    s.ui.message(
        {"Data contains more timestamps than buffer can hold.\nSubsequent timestamps will "
         "be suppressed.",
         "Timestamps", Icon::Warning, Buttons::Ok, Answer::Ok});
  std::string cut;
  if (report.rowSamplesDropped > 0)
    cut = Format("Unable to keep every sample: %d samples per channel did not fit the data store.",
                 report.rowSamplesDropped);
  if (report.burstsDropped > 0 || report.burstSamplesDropped > 0) {
    if (!cut.empty()) cut += ' ';
    cut += Format(
        "Unable to keep every wave burst: %d bursts beyond %d and %d burst samples "
        "beyond %d were left out.",
        report.burstsDropped, kMaxBursts, report.burstSamplesDropped, kBurstCapacity);
  }
  if (!cut.empty()) ShowStatus(s.ui, cut);
}

int Decode(Session& s) {
  const DecodeInput in{s.image.bytes.get(), s.image.length,      &s.data.context, s.data.startTime,
                       s.data.samplePeriod, s.data.samplingMode, s.data.rawCounts};
  const DecodeReport report = DecodeSamples(in, s.data);
  ReportDecode(s, report);
  for (int b = 0; b < s.data.burstCount; ++b) AnalyseBurst(s, b);
  AppendDerivedChannels(s);
  s.app.sampleCount = s.data.sampleCount;
  s.app.channelCount = s.data.totalChannels;
  return 1;
}

}  // namespace

int DecodeImage(Session& s, bool fromFile) {
  s.data.context.identity = s.link.identity;
  s.data.context.description = s.description;
  s.data.context.coefficients = s.coefficients;
  s.data.rawCounts = false;
  if (!fromFile) {
    DecodeImageHeaderSettings(s);
    s.data.startTime = s.deployment.startTime;
    s.data.samplePeriod = s.deployment.samplingPeriod;
    s.data.samplingMode = s.deployment.block.samplingMode;
  }
  return Decode(s);
}

int RedecodeImage(Session& s, bool rawCounts) {
  if (s.image.length <= 0) return 0;
  s.data.rawCounts = rawCounts;
  return Decode(s);
}

}  // namespace kts
