// Assessing a setup without a logger: the user picks a logger type and the
// setup screen opens on its defaults; nothing is sent anywhere and the
// logger cannot be enabled.
#pragma once

#include <array>

namespace kts {

struct Session;

inline constexpr const char* kSimulationPrompt =
    "No logger is connected. \nYou may assess a setup in simulation.\nChoose a logger type.";

enum class SimulatedModel { Hlv4070, Hnv4070, Hkv4070, Hv3070, Qz740, Qz760, Hnv3070Qh };
inline constexpr std::array<SimulatedModel, 7> kSimulatedModels{
    SimulatedModel::Hlv4070, SimulatedModel::Hnv4070, SimulatedModel::Hkv4070,
    SimulatedModel::Hv3070,  SimulatedModel::Qz740,   SimulatedModel::Qz760,
    SimulatedModel::Hnv3070Qh};
const char* SimulatedModelName(SimulatedModel m);
// "HLV-4070" …; false for a name not in the list.
bool SimulatedModelFromName(const char* name, SimulatedModel* out);

// The sensors of a simulated QZ logger.
struct QzSensors {
  bool conductivity = false, temperature = false, pressure = false, oxygen = false;
  bool turbidity = false, fluorometry = false, par = false, ph = false, transmissometer = false;
  int thermistorString = 0;  // 0, 8, 16 or 24 elements
  bool any() const {
    return conductivity || temperature || pressure || oxygen || turbidity || fluorometry || par ||
           ph || transmissometer || thermistorString > 0;
  }
};

// Opens the setup screen in simulation. The QZ types need their sensors;
// an empty choice is refused ("QZ logger simulation") and 0 returned.
int OpenSetupSimulation(Session& s, SimulatedModel model, const QzSensors& sensors = {});

}  // namespace kts
