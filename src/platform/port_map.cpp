#include "platform/port_map.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/text.h"

namespace kts {

std::string DefaultComDevice(int n) {
  if (n >= 1 && n <= 4) return Format("/dev/ttyS%d", n - 1);
  if (n >= 5 && n <= 12) return Format("/dev/ttyUSB%d", n - 5);
  if (n >= 13 && n <= 16) return Format("/dev/ttyACM%d", n - 13);
  return {};
}

std::string PreferStableName(const std::string& device, std::string_view byIdDirectory) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(device, ec);
  if (ec) return device;
  for (const auto& entry : fs::directory_iterator(fs::path(byIdDirectory), ec)) {
    std::error_code ec2;
    if (fs::weakly_canonical(entry.path(), ec2) == target && !ec2) return entry.path().string();
  }
  return device;
}

std::string PortMap::deviceFor(int n) const {
  if (n < 1 || n > kMaxComPort) return {};
  if (!device[static_cast<size_t>(n)].empty()) return device[static_cast<size_t>(n)];
  return PreferStableName(DefaultComDevice(n));
}

bool ReadPortMap(const std::string& path, PortMap& map) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > 300) continue;
    const int n = ParseComNumber(line.substr(0, line.find('=')));
    const size_t eq = line.find('=');
    if (n == 0 || eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    map.device[static_cast<size_t>(n)] = value;
  }
  return true;
}

bool WritePortMap(const std::string& path, const PortMap& map) {
  std::ofstream out(path, std::ios::trunc);
  if (!out) return false;
  for (int n = 1; n <= kMaxComPort; ++n)
    if (!map.device[static_cast<size_t>(n)].empty())
      out << "COM" << n << "=" << map.device[static_cast<size_t>(n)] << "\n";
  return static_cast<bool>(out);
}

int ParseComNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() >= 3 && (text[0] == 'C' || text[0] == 'c') && (text[1] == 'O' || text[1] == 'o') &&
      (text[2] == 'M' || text[2] == 'm'))
    text.remove_prefix(3);
  if (text.empty() || text.size() > 2) return 0;
  int n = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return 0;
    n = n * 10 + (ch - '0');
  }
  return (n >= 1 && n <= kMaxComPort) ? n : 0;
}

}  // namespace kts
