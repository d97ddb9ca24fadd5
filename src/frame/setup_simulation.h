// Assessing a setup without a logger: the logger type to simulate, and for
// the QZ loggers the sensors it carries.
#pragma once

#include <array>
#include <string>

namespace kts {

struct Session;

inline constexpr const char* kSetupSimulationTitle = "Setup simulation";
inline constexpr const char* kSetupSimulationPrompt =
    "No logger is connected. \nYou may assess a setup in simulation.\nChoose a logger type.";
inline constexpr std::array<const char*, 7> kSimulatedModels{
    "HLV-4070", "HNV-4070", "HKV-4070", "HV-3070", "QZ-740", "QZ-760", "HNV-3070-QH"};

inline constexpr const char* kQzSimulationTitle = "QZ logger simulation";
// The sensors a simulated QZ logger may carry, with their channel letters;
// the thermistor string adds 8, 16 or 24 temperature channels.
inline constexpr std::array<const char*, 9> kQzSensors{
    "Conductivity", "Temperature", "Pressure", "Dissolved oxygen", "Turbidity",
    "Fluorometry",  "PAR",         "pH",       "Transmissometer"};
inline constexpr std::array<char, 9> kQzSensorLetters{'C', 'T', 'P', 'D', 'Y', 'F', 'R', 'H', 'N'};
inline constexpr std::array<int, 4> kThermistorElements{0, 8, 16, 24};

struct QzSensorChoice {
  std::array<bool, kQzSensors.size()> sensors{};
  int thermistorElements = 0;  // 0, 8, 16 or 24
};

// Whether a model choice asks for the QZ sensors before the setup screen.
bool SimulationNeedsSensors(int choice);
// The tide-and-wave model opens its own setup screen.
bool SimulationIsTideAndWave(int choice);

// Sets the simulated identity and the defaults of a model choice. False for
// a choice out of range, or a QZ choice whose sensors are refused (message
// shown): nothing is then changed.
bool ApplySetupSimulation(Session& s, int choice, const QzSensorChoice& sensors = {});

}  // namespace kts
