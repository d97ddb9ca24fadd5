#include "deploy/setup_simulation.h"

#include <cstring>

#include "core/session.h"
#include "core/time_math.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_texts.h"
#include "deploy/validation.h"

namespace kts {
namespace {

void AddChannel(LoggerDescription& d, uint8_t letter) {
  if (d.channelCount >= kMaxChannels) return;
  d.channelTypes[static_cast<size_t>(d.channelCount++)] = letter;
}

void QzChannels(LoggerDescription& d, const QzSensors& q) {
  d.channelCount = 0;
  if (q.conductivity) AddChannel(d, 'C');
  if (q.temperature) AddChannel(d, 'T');
  if (q.pressure) AddChannel(d, 'P');
  if (q.oxygen) AddChannel(d, 'D');
  if (q.turbidity) AddChannel(d, 'Y');
  if (q.fluorometry) AddChannel(d, 'F');
  if (q.par) AddChannel(d, 'R');
  if (q.ph) AddChannel(d, 'H');
  if (q.transmissometer) AddChannel(d, 'N');
  for (int i = 0; i < q.thermistorString; ++i) AddChannel(d, 'T');
}

}  // namespace

const char* SimulatedModelName(SimulatedModel m) {
  switch (m) {
    case SimulatedModel::Hlv4070: return "HLV-4070";
    case SimulatedModel::Hnv4070: return "HNV-4070";
    case SimulatedModel::Hkv4070: return "HKV-4070";
    case SimulatedModel::Hv3070: return "HV-3070";
    case SimulatedModel::Qz740: return "QZ-740";
    case SimulatedModel::Qz760: return "QZ-760";
    case SimulatedModel::Hnv3070Qh: return "HNV-3070-QH";
  }
  return "";
}

bool SimulatedModelFromName(const char* name, SimulatedModel* out) {
  for (SimulatedModel m : kSimulatedModels) {
    if (std::strcmp(name, SimulatedModelName(m)) == 0) {
      *out = m;
      return true;
    }
  }
  return false;
}

int OpenSetupSimulation(Session& s, SimulatedModel model, const QzSensors& sensors) {
  const bool qz = model == SimulatedModel::Qz740 || model == SimulatedModel::Qz760;
  if (qz && !sensors.any()) {
    s.ui.message({"You have not selected a set of sensors for your QZ logger.\nA logger with no "
                  "sensors cannot be simulated.",
                  "QZ logger simulation", Icon::Warning, Buttons::Ok, Answer::Ok});
    return 0;
  }
  LoggerIdentity& id = s.link.identity;
  id = LoggerIdentity{};
  id.model = SimulatedModelName(model);
  id.firmware = 6.0f;
  id.extended = true;
  LoggerDescription& caps = s.description;
  caps = LoggerDescription{};
  caps.capabilityWordsRead = true;
  caps.configFlags = 1;
  caps.averaging = true;
  caps.parameterBlockLength = 48;
  s.link.status = 0;

  DeploymentParameters& d = s.deployment;
  d = DeploymentParameters{};
  TimeRecord now = s.clock.localNow();
  now.millisecond = 0;
  d.hostTime = d.loggerTime = now;
  TimeRecord day = AddSeconds(now, 86'400);
  day.hour = day.minute = day.second = 0;
  d.startTime = day;
  d.endTime = AddSeconds(day, 7'776'000);

  switch (model) {
    case SimulatedModel::Hv3070:
      caps.channelCount = 1;
      caps.channelTypes[0] = 'T';
      break;
    case SimulatedModel::Hnv3070Qh:
      caps.channelCount = 1;
      caps.channelTypes[0] = 'P';
      break;
    case SimulatedModel::Hkv4070:
      caps.channelCount = 2;
      caps.channelTypes[0] = 'T';
      caps.channelTypes[1] = 'P';
      caps.waves = true;
      caps.highRate = true;
      d.burstEnabled = true;
      d.burstRate = 4;
      d.burstLength = 512;
      d.samplingPeriod = MakePeriod(0, 30, 0);
      break;
    case SimulatedModel::Qz740:
    case SimulatedModel::Qz760:
      QzChannels(caps, sensors);
      caps.conventionalThresholding = true;
      caps.powerSaveThresholding = true;
      caps.hysteresis = true;
      caps.profiling6Hz = model == SimulatedModel::Qz760;
      break;
    default:
      caps.channelCount = 2;
      caps.channelTypes[0] = 'T';
      caps.channelTypes[1] = 'P';
      break;
  }

  SetupScreen& screen = s.setup;
  const auto prepare = std::move(screen.prepareRealTimeFiles);
  screen = SetupScreen{};
  screen.prepareRealTimeFiles = prepare;
  screen.open = true;
  screen.simulation = true;
  s.app.simulation = true;
  s.app.activeDialogCommand = kSetupCommandId;
  screen.texts.loggerName = id.model;
  screen.averagingControlsShown = true;
  screen.thresholdButtonShown = qz;
  screen.backup = d.block;
  ShowSetupTexts(s);
  validateDeployment(s, &screen, true);
  // Assessed only: there is no logger to enable.
  screen.enableLoggingEnabled = false;
  return 1;
}

}  // namespace kts
