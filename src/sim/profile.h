// A simulated logger described as data: identity, line, channels, tables,
// calibration and the deployment its memory holds. Profiles are small text
// files of "key = value" lines; the built-in ones are compiled in.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "core/time_record.h"

namespace kts::sim {

inline constexpr int kMaxSimChannels = 24;
inline constexpr int kCapabilityWords = 24;

struct ProfileChannel {
  uint8_t letter = 'T';  // channel type letter as the configuration table lists it
  uint8_t address = 0;   // front-end address byte
};

using Coefficients = std::array<double, 4>;

// Tables 04 and 05 of a logger without range switching: first byte 1, the
// channel bytes 0xFF.
constexpr std::array<uint8_t, 25> NoRangeSwitchingTable() {
  std::array<uint8_t, 25> t{};
  t[0] = 1;
  for (size_t i = 1; i < t.size(); ++i) t[i] = 0xFF;
  return t;
}

// Where the logger keeps its calibration: numbered history records reached
// by table commands, an append-only flash area read by memory reads, or a
// single set behind "Z"/"Y".
enum class CalibrationKind { None, History, Flash, Single };

// Which stamps the generated memory image carries.
enum class StampPlan { None, Time, All };

// Where the logger clock starts: just before the next record of the
// generated data, at the host's local time, or at a fixed time.
enum class ClockStart { Data, Host, Fixed };

struct Standardization {
  bool present = false;
  bool valid = true;
  double standard1 = 1.0;  // Vstandard(1)
  double sample1 = 1.0;    // Vsample(1)
  double k15 = 1.0;
  std::string batch = "P000";
};

struct Profile {
  std::string name;

  // Identity: "KTS <model> <firmware> <serial>".
  std::string model = "QZ-740";
  int firmware = 651;  // hundredths: 6.51
  int serial = 1;

  // Line.
  int baud = 19200;         // the rate the logger answers at when it starts
  int defaultBaud = 19200;  // table 03

  // Configuration.
  std::vector<ProfileChannel> channels{ProfileChannel{}};
  int latencyMs = 300;
  int readingTimeMs = 200;
  int memoryType = 1;
  int headerLength = -1;  // −1: capability word 3, else the model's rule
  std::bitset<kCapabilityWords> hasWord;
  std::array<uint32_t, kCapabilityWords> words{};
  std::string minSoftware = "5.00";
  int battery = 0xB4;
  std::bitset<256> tables;  // tables that answer "R"; the others have length 00
  uint8_t rsAdvanced = 0x04;
  std::array<uint8_t, 25> extendedCaps = NoRangeSwitchingTable();
  std::array<uint8_t, 25> rangeSwitching = NoRangeSwitchingTable();
  Standardization standardization;

  // Calibration.
  CalibrationKind calibration = CalibrationKind::History;
  int calibrationRecords = 2;  // history or flash records present at start
  int historyCapacity = 16;    // upload refused with F1 when full
  std::vector<std::pair<int, Coefficients>> coefficients;  // explicit (channel from 1)

  // The deployment the memory holds.
  int status = 4;
  TimeRecord start = MakeTime(2026, 11, 30, 0, 0, 0);
  TimeRecord end = MakeTime(2027, 3, 1, 0, 0, 0);
  int periodSeconds = 10;
  int records = 1000;
  ClockStart clockStart = ClockStart::Data;
  TimeRecord clock;
  StampPlan stamps = StampPlan::Time;
  int timeStampEvery = 360;
  bool clockFrozen = false;  // the logger clock stands still (tests that need exact seconds)
  uint8_t startByte = 0;                 // "!1" start byte
  uint32_t oemFlags = 0;                 // "!1" option bytes
  uint16_t averaging = 1;                // "W" length
  uint8_t realTimeCode = 0;              // "!B"
  std::array<uint8_t, 8> threshold{};    // "!A" bytes
  std::array<uint8_t, 3> checkPeriod{};  // "!K" as BCD hh mm ss
  uint16_t hysteresis = 0;               // "!H"

  // Waves (tide-and-wave loggers).
  int burstRate = 4;
  int burstLength = 0;  // 0: no bursts
  int burstPeriodSeconds = 3600;
  double loggerHeight = 0.0;
  double waveHeight = 0.5;  // metres, of the simulated sea
  double wavePeriod = 8.0;  // seconds

  // Behaviour.
  int eraseMs = 3000;
};

// Feature rules taken from the identity and the capability words.
bool IsExtended(const Profile& p);           // firmware above 4.99
bool IsQzFamily(const Profile& p);           // model contains "QZ"
bool IsHvModel(const Profile& p);            // model contains "HV"
bool IsLvModel(const Profile& p);            // model contains "LV"
bool SendsCheckByte(const Profile& p);       // all but HV models below firmware 1.50
bool HasFeature(const Profile& p, int bit);  // word 0 bit (only with capability words)
uint32_t Word(const Profile& p, int n);
int HeaderLength(const Profile& p);
int EngineeringUnitsLevel(const Profile& p);
bool HasStartCharacteristic(const Profile& p);
bool HasWaves(const Profile& p);
bool FetchTakesCode(const Profile& p);  // "F00"/"F%02X" rather than "F"
uint32_t MemoryBase(const Profile& p);  // 0 extended, 0x20000 older
uint32_t MemoryCapacityEnd(const Profile& p);

enum class SpeedCommand { None, Code, HvLv };
SpeedCommand SpeedCommandOf(const Profile& p);

// Parses profile text. A first key "base = NAME" starts from that built-in
// profile. False with a message naming the line on any error.
bool ParseProfile(const std::string& text, Profile& out, std::string* error);
// Applies further "key = value" lines to a profile.
bool ApplyProfileLines(const std::string& text, Profile& p, std::string* error);
bool LoadProfileFile(const std::string& path, Profile& out, std::string* error);
bool LoadBuiltinProfile(const std::string& name, Profile& out, std::string* error);

// The built-in profiles, embedded at build time.
std::vector<std::string> BuiltinProfileNames();
const char* BuiltinProfileText(const std::string& name);  // nullptr when unknown

}  // namespace kts::sim
