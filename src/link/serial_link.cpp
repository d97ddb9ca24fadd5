#include "link/serial_link.h"

#include <algorithm>

#include "core/session.h"
#include "core/text.h"
#include "platform/status_line.h"

namespace kts {
namespace {

std::unique_ptr<ByteLink>& PortOf(Session& s, PortRole role) {
  return role == PortRole::Logger ? s.loggerPort : s.gpsPort;
}

CommTimeouts& TimeoutsOf(Session& s, PortRole role) {
  return role == PortRole::Logger ? s.loggerTimeouts : s.gpsTimeouts;
}

const LineSettings& SavedSettingsOf(const Session& s, PortRole role) {
  if (role == PortRole::Logger && !s.ports.loggerDevice.empty()) return s.ports.savedDirect;
  const int n = role == PortRole::Logger ? s.ports.loggerPort : s.ports.gpsPort;
  static const LineSettings kNone{};
  if (n < 1 || n > kMaxComPort) return kNone;
  return s.ports.saved[static_cast<size_t>(n)];
}

}  // namespace

CommTimeouts OpenTimeouts(int baud, int mode) {
  CommTimeouts t;
  const int m = baud > 0 ? (10000 + baud - 1) / baud : 1;
  t.readInterval = 0;
  t.readMultiplier = t.writeMultiplier = std::max(m, 1);
  t.readConstant = mode != 0 ? 100 : 20;
  t.writeConstant = 20;
  return t;
}

CommTimeouts BaudChangeTimeouts(int baud, int rtsMode) {
  CommTimeouts t;
  const int m = baud > 0 ? static_cast<int>(10000.0 / baud + 0.99) : 1;
  t.readInterval = 0;
  t.readMultiplier = t.writeMultiplier = std::max(m, 1);
  t.readConstant = rtsMode != 0 ? 100 : 60;
  t.writeConstant = 20;
  return t;
}

int ReadTimeoutMs(const CommTimeouts& t, int n) { return t.readMultiplier * n + t.readConstant; }
int WriteTimeoutMs(const CommTimeouts& t, int n) { return t.writeMultiplier * n + t.writeConstant; }

void ScanCommPorts(Session& s) {
  for (int n = 1; n <= kMaxComPort; ++n) {
    LineSettings found;
    const std::string device = s.ports.map.deviceFor(n);
    const bool present = !device.empty() && s.opener.probe(device, &found);
    s.ports.present[static_cast<size_t>(n)] = present;
    if (present) s.ports.saved[static_cast<size_t>(n)] = found;
  }
}

bool OpenCommPort(Session& s, PortRole role, int baud, int mode) {
  if (IsPortOpen(s, role)) CloseCommPort(s, role);
  std::string device;
  if (role == PortRole::Logger) {
    device = s.ports.loggerDevicePath();
  } else {
    device = s.ports.map.deviceFor(s.ports.gpsPort);
  }
  OpenFailure why = OpenFailure::Missing;
  if (role == PortRole::Logger && !s.ports.loggerDevice.empty() && !s.ports.savedDirect.valid)
    s.opener.probe(device, &s.ports.savedDirect);
  std::unique_ptr<ByteLink> port =
      device.empty() ? nullptr : s.opener.open(device, baud, mode & 3, &why);
  if (role == PortRole::Logger) s.loggerOpenFailure = port ? OpenFailure::None : why;
  if (!port) return false;
  PortOf(s, role) = std::move(port);
  TimeoutsOf(s, role) = OpenTimeouts(baud, mode);
  return true;
}

bool SetCommBaud(Session& s, int baud) {
  if (!s.loggerPort) return false;
  (void)s.loggerPort->setBaud(baud);  // results of applying settings are ignored
  s.loggerTimeouts = BaudChangeTimeouts(baud, s.loggerPort->rtsMode());
  return true;
}

void CloseCommPort(Session& s, PortRole role) {
  std::unique_ptr<ByteLink>& port = PortOf(s, role);
  if (!port) return;
  port->restore(SavedSettingsOf(s, role));
  port.reset();
}

bool IsPortOpen(const Session& s, PortRole role) {
  return role == PortRole::Logger ? s.loggerPort != nullptr : s.gpsPort != nullptr;
}

int ReadComm(Session& s, PortRole role, uint8_t* buffer, int capacity, int n) {
  if (capacity <= 0) return 0;
  n = std::clamp(n, 0, capacity - 1);
  buffer[0] = 0;
  if (role == PortRole::Logger && s.ports.radioDelayEnabled) DelayMs(s, s.ports.radioDelayMs);
  std::unique_ptr<ByteLink>& port = PortOf(s, role);
  if (!port) return 0;
  const int got = std::clamp(port->read(buffer, n, ReadTimeoutMs(TimeoutsOf(s, role), n)), 0, n);
  buffer[got] = 0;
  return got;
}

int ReadReply(Session& s, int n) {
  const int got = ReadComm(s, PortRole::Logger, s.reply.data(), ReplyBuffer::kCapacity + 1, n);
  s.reply.length = got;
  return got;
}

int WriteBytes(Session& s, PortRole role, const uint8_t* data, int n) {
  std::unique_ptr<ByteLink>& port = PortOf(s, role);
  if (!port || n <= 0) return 0;
  return port->write(data, n, WriteTimeoutMs(TimeoutsOf(s, role), n));
}

int WriteComm(Session& s, PortRole role, std::string_view text) {
  return WriteBytes(s, role, reinterpret_cast<const uint8_t*>(text.data()),
                    static_cast<int>(text.size()));
}

void DiscardInput(Session& s) {
  if (s.loggerPort) s.loggerPort->discardInput();
}

void DelayMs(Session& s, int ms) { s.clock.sleepMs(ms); }

bool OpenGpsPort(Session& s) {
  if (s.ports.gpsPort < 1) return false;
  return OpenCommPort(s, PortRole::Gps, s.ports.gpsBaud, 0);
}

std::string LoggerPortName(const Session& s) {
  if (!s.ports.loggerDevice.empty()) return s.ports.loggerDevice;
  return Format("COM%1d", s.ports.loggerPort);
}

void ReportPortError(Session& s, bool cannotOpen) {
  const std::string port = LoggerPortName(s);
  if (!cannotOpen) {
    ShowStatus(s.ui, Format("Unable to Communicate with Logger on %s", port.c_str()));
  } else if (s.loggerOpenFailure == OpenFailure::Permission) {
    ShowStatus(s.ui, Format("Unable to open %s - permission denied on %s. Add your user to the "
                            "'dialout' group and log in again.",
                            port.c_str(), s.ports.loggerDevicePath().c_str()));
  } else {
    ShowStatus(s.ui, Format("Unable to open %s - bad port setting or another application holds "
                            "the port.",
                            port.c_str()));
  }
  s.link.connected = false;
}

}  // namespace kts
