#include "data/main_settings.h"

#include <algorithm>

#include "core/text.h"
#include "data/text_numbers.h"

namespace kts {
namespace {

const char* OnOff(bool on) {
  return on ? "ON" : "OFF";
}

const char* OxygenUnitKey(OxygenUnit unit) {
  switch (unit) {
    case OxygenUnit::MicroMolPerL:
      return "uMol";
    case OxygenUnit::MgPerL:
      return "mg/l";
    case OxygenUnit::MlPerL:
      break;
  }
  return "ml/l";
}

const char* SoundSpeedKey(SoundSpeedEquation e) {
  switch (e) {
    case SoundSpeedEquation::Wilson:
      return "Wilson";
    case SoundSpeedEquation::DelGrosso:
      return "delGrosso";
    case SoundSpeedEquation::Unesco:
      break;
  }
  return "UNESCO";
}

// The numbers of a line, read from a fixed position or after a marker. The
// line is short (bounded by the reader), so a copy with its end is cheap.
class LineValues {
 public:
  explicit LineValues(std::string_view line) : text_(line) {}

  bool intAt(size_t offset, int& out) const {
    return offset <= text_.size() && ParseInt(text_.c_str() + offset, out);
  }
  bool doubleAt(size_t offset, double& out) const {
    return offset <= text_.size() && ParseFiniteDouble(text_.c_str() + offset, out);
  }
  // "%d %f": whole degrees and minutes.
  bool intDoubleAt(size_t offset, int& i, double& x) const {
    const char* rest = nullptr;
    return offset <= text_.size() && ParseInt(text_.c_str() + offset, i, &rest) &&
           ParseFiniteDouble(rest, x);
  }
  size_t after(std::string_view marker) const {
    const size_t at = text_.find(marker);
    return at == std::string::npos ? std::string::npos : at + marker.size();
  }
  bool contains(std::string_view what) const { return Contains(text_, what); }

 private:
  std::string text_;
};

bool InRange(double v, double low, double high) {
  return v >= low && v <= high;
}

void ApplyFloat(const LineValues& v, size_t offset, float& target, double low, double high) {
  double x;
  if (v.doubleAt(offset, x) && InRange(x, low, high)) target = static_cast<float>(x);
}

void ApplyDouble(const LineValues& v, size_t offset, double& target) {
  double x;
  if (v.doubleAt(offset, x)) target = x;
}

bool IsStandardRate(int rate) {
  return std::find(kStandardRates.begin(), kStandardRates.end(), rate) != kStandardRates.end();
}

// The six online-calibration keys, each a reference value after the "=".
bool ApplyOnlineCalibration(const LineValues& v, Settings& s) {
  struct Key {
    const char* text;
    double Settings::*field;
  };
  static constexpr Key kKeys[] = {
      {"Online calibration lower depth", &Settings::onlineLowerDepth},
      {"Online calibration upper depth", &Settings::onlineUpperDepth},
      {"Online calibration lower pH", &Settings::onlineLowerPh},
      {"Online calibration upper pH", &Settings::onlineUpperPh},
      {"Online calibration lower O2", &Settings::onlineLowerO2},
      {"Online calibration upper O2", &Settings::onlineUpperO2},
  };
  for (const Key& k : kKeys) {
    if (!v.contains(k.text)) continue;
    ApplyDouble(v, v.after("="), s.*k.field);
    return true;
  }
  return false;
}

}  // namespace

void ResetMainSettings(Settings& s, PortConfig& ports) {
  const Settings defaults;
  ports.loggerPort = 1;
  ports.gpsPort = 0;
  ports.gpsBaud = 4800;
  ports.radioDelayEnabled = false;
  ports.radioDelayMs = 0;
  s.timeColumns = defaults.timeColumns;
  s.derived = defaults.derived;
  s.languageSupport = defaults.languageSupport;
  s.microSalinometerAverage = defaults.microSalinometerAverage;
  s.matlabFrequency = defaults.matlabFrequency;
  s.matlabFormat = defaults.matlabFormat;
  s.showRangeChanges = defaults.showRangeChanges;
  s.onlineLowerDepth = defaults.onlineLowerDepth;
  s.onlineUpperDepth = defaults.onlineUpperDepth;
  s.onlineLowerPh = defaults.onlineLowerPh;
  s.onlineUpperPh = defaults.onlineUpperPh;
  s.onlineLowerO2 = defaults.onlineLowerO2;
  s.onlineUpperO2 = defaults.onlineUpperO2;
}

std::string FormatMainSettings(const Settings& s, const PortConfig& ports) {
  const DerivedUnits& d = s.derived;
  std::string out = Format("Port=COM%1d\n", ports.loggerPort);
  if (ports.gpsPort > 0) {
    out += Format("GPSComm=COM%1d\n", ports.gpsPort);
    out += Format("GPS baudrate=%d\n", ports.gpsBaud);
  } else {
    out += "GPSComm=NOT USED\n";
  }
  out += Format("Format=%d\n", s.timeColumns);
  out += Format("Salinity=%s\n", OnOff(d.salinityOn));
  out += Format("Specific conductivity=%s\n", OnOff(d.specificConductivityOn));
  out += Format("Dissolved oxygen: %s=%s\n", OxygenUnitKey(d.oxygenUnit), OnOff(d.oxygenOn));
  out +=
      Format("Dissolved oxygen (Optode concentration): %s=%s\n",
             d.optodeUnit == OxygenUnit::MgPerL ? "mg/l" : "ml/l", OnOff(d.optodeConcentrationOn));
  out += Format("Dissolved oxygen (Optode saturation)=%s\n", OnOff(d.optodeSaturationOn));
  out += Format("Speed of Sound: %s=%s\n", SoundSpeedKey(d.soundSpeed), OnOff(d.soundSpeedOn));
  out += Format("Atmospheric pressure=%f\n", static_cast<double>(d.atmosphericPressure));
  out += Format("Density=%f\n", static_cast<double>(d.density));
  out += Format("Latitude=%d %.3f\n", d.latitudeDegrees, static_cast<double>(d.latitudeMinutes));
  out += Format("DO temperature=%.2f\n", static_cast<double>(d.fixedTemperature));
  out += Format("DO salinity=%.2f\n", static_cast<double>(d.fixedSalinity));
  if (d.depthOn)
    out += d.depthSeawater ? "Depth Seawater=ON\n" : "Depth Simplified=ON\n";
  else
    out += d.depthSeawater ? "Depth Seawater=OFF\n" : "Depth Freshwater=OFF\n";
  if (ports.radioDelayEnabled) out += Format("Radio=%d\n", ports.radioDelayMs);
  if (s.languageSupport) out += "Language Support: Chinese\n";
  out += Format("Micro-Salinometer average=%d\n", s.microSalinometerAverage);
  out += Format("MATLAB frequency: %d format: %d\n", s.matlabFrequency, s.matlabFormat);
  if (!s.showRangeChanges) out += "Gain not required for auto-ranging\n";
  out += Format("Online calibration lower depth=%.2lf\n", s.onlineLowerDepth);
  out += Format("Online calibration upper depth=%.2lf\n", s.onlineUpperDepth);
  out += Format("Online calibration lower pH=%.2lf\n", s.onlineLowerPh);
  out += Format("Online calibration upper pH=%.2lf\n", s.onlineUpperPh);
  out += Format("Online calibration lower O2=%.2lf\n", s.onlineLowerO2);
  out += Format("Online calibration upper O2=%.2lf\n", s.onlineUpperO2);
  return out;
}

void ApplySettingsLine(std::string_view line, Settings& s, PortConfig& ports) {
  if (line.size() > kSettingsLineLength) line = line.substr(0, kSettingsLineLength);
  const LineValues v(line);
  DerivedUnits& d = s.derived;
  const bool on = v.contains("ON");
  int n = 0;

  if (v.contains("GPSComm")) {
    if (v.contains("NOT USED"))
      ports.gpsPort = 0;
    else if (v.intAt(11, n) && n >= 1 && n <= kMaxComPort)
      ports.gpsPort = n;
  } else if (v.contains("GPS baudrate")) {
    if (v.intAt(13, n) && IsStandardRate(n)) ports.gpsBaud = n;
  } else if (v.contains("Port")) {
    if (v.intAt(8, n) && n >= 1 && n <= kMaxComPort) ports.loggerPort = n;
  } else if (v.contains("MATLAB frequency")) {
    int frequency = 0, format = 0;
    if (v.intAt(v.after("frequency:"), frequency) && (frequency == 0 || frequency == 1))
      s.matlabFrequency = frequency;
    if (v.intAt(v.after("format:"), format) && (format == 0 || format == 1))
      s.matlabFormat = format;
  } else if (v.contains("Format")) {
    if (v.intAt(7, n) && n >= 0 && n <= 2) s.timeColumns = n;
  } else if (v.contains("Dissolved oxygen: uMol")) {
    d.oxygenUnit = OxygenUnit::MicroMolPerL;
    d.oxygenOn = on;
  } else if (v.contains("Dissolved oxygen: mg/l")) {
    d.oxygenUnit = OxygenUnit::MgPerL;
    d.oxygenOn = on;
  } else if (v.contains("Dissolved oxygen: ml/l")) {
    d.oxygenUnit = OxygenUnit::MlPerL;
    d.oxygenOn = on;
  } else if (v.contains("Dissolved oxygen (Optode concentration): mg/l")) {
    d.optodeUnit = OxygenUnit::MgPerL;
    d.optodeConcentrationOn = on;
  } else if (v.contains("Dissolved oxygen (Optode concentration): ml/l")) {
    d.optodeUnit = OxygenUnit::MlPerL;
    d.optodeConcentrationOn = on;
  } else if (v.contains("Dissolved oxygen (Optode saturation)")) {
    d.optodeSaturationOn = on;
  } else if (v.contains("Atmospheric pressure")) {
    ApplyFloat(v, 21, d.atmosphericPressure, -1e6, 1e6);
  } else if (v.contains("Density")) {
    ApplyFloat(v, 8, d.density, 1e-6, 1e6);
  } else if (v.contains("DO temperature")) {
    ApplyFloat(v, v.after("="), d.fixedTemperature, -1e6, 1e6);
  } else if (v.contains("DO salinity")) {
    ApplyFloat(v, 12, d.fixedSalinity, -1e6, 1e6);
  } else if (v.contains("Salinity")) {
    d.salinityOn = on;
  } else if (v.contains("Specific conductivity")) {
    d.specificConductivityOn = on;
  } else if (v.contains("Wilson") || v.contains("delGrosso") || v.contains("UNESCO")) {
    d.soundSpeed = v.contains("Wilson")      ? SoundSpeedEquation::Wilson
                   : v.contains("delGrosso") ? SoundSpeedEquation::DelGrosso
                                             : SoundSpeedEquation::Unesco;
    d.soundSpeedOn = on;
  } else if (v.contains("Speed of Sound")) {
    d.soundSpeed = SoundSpeedEquation::Unesco;
    d.soundSpeedOn = !v.contains("OFF");
  } else if (v.contains("Radio")) {
    if (v.intAt(6, n) && n >= 0 && n <= 60000) {
      ports.radioDelayEnabled = true;
      ports.radioDelayMs = n;
    }
  } else if (v.contains("Language Support")) {
    s.languageSupport = true;
  } else if (v.contains("Latitude")) {
    int degrees = 0;
    double minutes = 0.0;
    if (v.intDoubleAt(9, degrees, minutes) && InRange(degrees, -90, 90) &&
        InRange(minutes, 0, 60)) {
      d.latitudeDegrees = degrees;
      d.latitudeMinutes = static_cast<float>(minutes);
    }
  } else if (v.contains("Depth")) {
    d.depthSeawater = !(v.contains("Freshwater") || v.contains("Simplified"));
    d.depthOn = on;
  } else if (ApplyOnlineCalibration(v, s)) {
    // the reference value is in place
  } else if (v.contains("Micro-Salinometer average=")) {
    if (v.intAt(v.after("="), n) && n >= 1 && n <= 60) s.microSalinometerAverage = n;
  } else if (v.contains("Gain not required")) {
    s.showRangeChanges = false;
  }
}

}  // namespace kts
