#include "sim/calibration_store.h"

#include <cstring>

#include "core/bcd.h"
#include "core/time_math.h"
#include "sim/channel_signal.h"

namespace kts::sim {
namespace {

constexpr uint32_t kFlashEntryBytes = 33;  // 32 coefficient bytes and one spare

std::vector<Coefficients> Generation(const Profile& p, uint64_t seed, int generation) {
  std::vector<Coefficients> out;
  for (size_t c = 0; c < p.channels.size(); ++c) {
    const uint8_t letter = p.channels[c].letter;
    out.push_back(SimulatedCoefficients(letter, IsHvModel(p) || letter == 'T', static_cast<int>(c),
                                        generation, seed));
  }
  if (generation == 0)
    for (const auto& [channel, c] : p.coefficients) out[static_cast<size_t>(channel - 1)] = c;
  return out;
}

}  // namespace

void PutCoefficients(const Coefficients& c, uint8_t out[32]) {
  for (size_t k = 0; k < 4; ++k) {
    uint64_t bits;
    std::memcpy(&bits, &c[k], sizeof bits);
    for (size_t b = 0; b < 8; ++b) out[8 * k + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
}

Coefficients GetCoefficients(const uint8_t in[32]) {
  Coefficients c{};
  for (size_t k = 0; k < 4; ++k) {
    uint64_t bits = 0;
    for (size_t b = 0; b < 8; ++b) bits |= uint64_t{in[8 * k + b]} << (8 * b);
    std::memcpy(&c[k], &bits, sizeof bits);
  }
  return c;
}

void CalibrationStore::init(const Profile& p, uint64_t seed, SimMemory& memory) {
  kind_ = p.calibration;
  capacity_ = p.historyCapacity;
  typical_ = Generation(p, seed, 0);
  const int records = p.calibration == CalibrationKind::None ? 0 : p.calibrationRecords;
  // The newest calibration a month before the deployment, older ones a year apart.
  std::vector<CalibrationRecord> newestFirst;
  for (int g = 0; g < records; ++g) {
    CalibrationRecord r;
    r.date = AddSeconds(p.start, -(30 + 365LL * g) * 86400 - 3600LL * (9 + g));
    r.channels = Generation(p, seed, g);
    r.complete = !(g == 2);  // the third-newest was an interrupted upload
    newestFirst.push_back(std::move(r));
  }
  switch (kind_) {
    case CalibrationKind::History:
      history_ = newestFirst;
      break;
    case CalibrationKind::Flash: {
      memory.enableCalibrationArea();
      uint32_t offset = 0;
      for (auto it = newestFirst.rbegin(); it != newestFirst.rend(); ++it) {
        uint8_t header[6];
        PackBcd(it->date, header);
        memory.programCalibration(offset, header, sizeof header);
        offset += 6;
        for (const Coefficients& c : it->channels) {
          uint8_t bytes[32];
          PutCoefficients(c, bytes);
          memory.programCalibration(offset, bytes, sizeof bytes);
          offset += kFlashEntryBytes;
        }
      }
      break;
    }
    case CalibrationKind::Single:
      if (records > 0) {
        PutCoefficients(newestFirst.front().channels.front(), single_.data());
        singleSet_ = true;
      }
      break;
    case CalibrationKind::None:
      break;
  }
}

bool CalibrationStore::calibrated() const {
  switch (kind_) {
    case CalibrationKind::History:
      for (const CalibrationRecord& r : history_)
        if (r.complete) return true;
      return false;
    case CalibrationKind::Single:
      return singleSet_;
    default:
      return false;
  }
}

std::vector<Coefficients> CalibrationStore::current(const SimMemory& memory, int channels) const {
  std::vector<Coefficients> out = typical_;
  out.resize(static_cast<size_t>(channels), Coefficients{0, 1, 0, 0});
  if (kind_ == CalibrationKind::History) {
    for (const CalibrationRecord& r : history_) {
      if (!r.complete) continue;
      for (size_t c = 0; c < out.size() && c < r.channels.size(); ++c) out[c] = r.channels[c];
      break;
    }
  } else if (kind_ == CalibrationKind::Flash) {
    CalibrationRecord r;
    if (NewestFlashRecord(memory, channels, &r))
      for (size_t c = 0; c < out.size() && c < r.channels.size(); ++c) out[c] = r.channels[c];
  } else if (kind_ == CalibrationKind::Single && singleSet_ && !out.empty()) {
    out[0] = GetCoefficients(single_.data());
  }
  return out;
}

int CalibrationStore::openUpload(const TimeRecord& now, int channels, int forcedFault) {
  if (forcedFault >= 0) return forcedFault;
  if (channels < 1) return 2;
  if (static_cast<int>(history_.size()) >= capacity_) return 1;
  uploadOpen_ = true;
  upload_ = CalibrationRecord{};
  upload_.date = now;
  upload_.channels.assign(static_cast<size_t>(channels), Coefficients{});
  uploaded_.assign(static_cast<size_t>(channels), false);
  return -1;
}

int CalibrationStore::writeUploadChannel(int channel, const uint8_t* bytes32) {
  if (!uploadOpen_ || channel < 1 || channel > static_cast<int>(upload_.channels.size())) return 0;
  upload_.channels[static_cast<size_t>(channel - 1)] = GetCoefficients(bytes32);
  uploaded_[static_cast<size_t>(channel - 1)] = true;
  return -1;
}

int CalibrationStore::closeUpload(int forcedFault) {
  if (!uploadOpen_) return 0;
  uploadOpen_ = false;
  bool complete = forcedFault < 0;
  for (bool b : uploaded_) complete = complete && b;
  upload_.complete = complete;
  history_.insert(history_.begin(), upload_);
  if (forcedFault >= 0) return forcedFault;
  return complete ? -1 : 0;
}

void CalibrationStore::setSingle(const uint8_t* bytes32) {
  std::memcpy(single_.data(), bytes32, single_.size());
  singleSet_ = true;
}

bool NewestFlashRecord(const SimMemory& memory, int channels, CalibrationRecord* out) {
  const std::vector<uint8_t>& area = memory.calibrationArea();
  const size_t recordBytes = 6 + kFlashEntryBytes * static_cast<size_t>(channels);
  bool found = false;
  for (size_t at = 0; at + recordBytes <= area.size() && area[at] != 0xFF; at += recordBytes) {
    CalibrationRecord r;
    r.date = MakeTime(2000 + BcdToInt(area[at]), BcdToInt(area[at + 1]), BcdToInt(area[at + 2]),
                      BcdToInt(area[at + 3]), BcdToInt(area[at + 4]), BcdToInt(area[at + 5]));
    for (int c = 0; c < channels; ++c)
      r.channels.push_back(
          GetCoefficients(&area[at + 6 + kFlashEntryBytes * static_cast<size_t>(c)]));
    *out = std::move(r);
    found = true;
  }
  return found;
}

}  // namespace kts::sim
