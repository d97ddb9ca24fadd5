#include "frame/setup_simulation.h"

#include "core/session.h"
#include "core/time_math.h"
#include "link/logger_status.h"

namespace kts {
namespace {

constexpr int kHv3070 = 3;
constexpr int kHkv4070 = 2;
constexpr int kQz740 = 4;
constexpr int kQz760 = 5;
constexpr int kHnv3070Qh = 6;

// The channel letters of the chosen sensors, or an empty text after a
// refusal.
std::string QzChannels(Session& s, const QzSensorChoice& c) {
  std::string letters;
  for (size_t i = 0; i < kQzSensors.size(); ++i)
    if (c.sensors[i]) letters += kQzSensorLetters[i];
  bool elementsKnown = false;
  for (int n : kThermistorElements) elementsKnown = elementsKnown || n == c.thermistorElements;
  if (elementsKnown) letters.append(static_cast<size_t>(c.thermistorElements), 'T');
  if (letters.empty()) {
    s.ui.message({"You have not selected a set of sensors for your QZ logger.\nA logger with no "
                  "sensors cannot be simulated.",
                  kQzSimulationTitle, Icon::Warning, Buttons::Ok, Answer::Ok});
    return {};
  }
  if (letters.size() > static_cast<size_t>(kMaxChannels)) {
    s.ui.message({"A QZ logger has at most 24 channels.\nChoose fewer sensors or a shorter "
                  "thermistor string.",
                  kQzSimulationTitle, Icon::Warning, Buttons::Ok, Answer::Ok});
    return {};
  }
  return letters;
}

}  // namespace

bool SimulationNeedsSensors(int choice) { return choice == kQz740 || choice == kQz760; }
bool SimulationIsTideAndWave(int choice) { return choice == kHkv4070; }

bool ApplySetupSimulation(Session& s, int choice, const QzSensorChoice& sensors) {
  if (choice < 0 || choice >= static_cast<int>(kSimulatedModels.size())) return false;
  std::string letters;
  if (SimulationNeedsSensors(choice)) {
    letters = QzChannels(s, sensors);
    if (letters.empty()) return false;
  } else {
    letters = (choice == kHv3070 || choice == kHnv3070Qh) ? "T" : "TP";
  }

  LoggerIdentity& id = s.link.identity;
  // The HV-3070 is simulated as the one-channel form of its successor.
  id.model = choice == kHv3070 ? "HLV-4070" : kSimulatedModels[static_cast<size_t>(choice)];
  id.firmware = 0.0f;
  id.serial = 0;
  id.extended = false;
  s.app.simulation = true;

  TimeRecord start = AddSeconds(s.clock.localNow(), 86'400);
  start.hour = start.minute = start.second = start.millisecond = 0;
  DeploymentParameters& d = s.deployment;
  d.startTime = start;
  d.endTime = AddSeconds(start, 7'776'000);
  s.link.status = kNotEnabled;
  s.link.reread.configuration = false;  // the simulated configuration stands

  LoggerDescription& desc = s.description;
  desc.channelCount = static_cast<int>(letters.size());
  desc.channelTypes.fill(0);
  for (size_t i = 0; i < letters.size(); ++i)
    desc.channelTypes[i] = static_cast<uint8_t>(letters[i]);
  desc.waves = SimulationIsTideAndWave(choice);
  if (desc.waves) {
    d.burstEnabled = true;
    d.burstRate = 4;
    d.burstLength = 512;
    d.samplingPeriod = MakePeriod(0, 30, 0);
  }
  return true;
}

}  // namespace kts
