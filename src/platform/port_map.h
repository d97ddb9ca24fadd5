// Users know their ports as COM1 … COM16; each number stands for a device.
//
// Defaults: COM1–COM4 are /dev/ttyS0–3 (built-in ports), COM5–COM12 are
// /dev/ttyUSB0–7 (USB serial adapters), COM13–COM16 are /dev/ttyACM0–3
// (USB modem-class devices). Where /dev/serial/by-id holds a stable name for
// one of these devices, that name is used, so an adapter keeps its number
// when it is plugged in elsewhere. A mapping chosen by the user is kept in
// "ktsports.ini" beside the other settings.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kts {

constexpr int kMaxComPort = 16;

struct PortMap {
  // Index 1..16; an empty entry uses the default.
  std::array<std::string, kMaxComPort + 1> device{};

  // The device that COM n stands for (n in 1..16), or "" outside that range.
  std::string deviceFor(int n) const;
};

// The default device of COM n, before the by-id preference.
std::string DefaultComDevice(int n);
// The stable /dev/serial/by-id name of a device, or the device itself.
std::string PreferStableName(const std::string& device, std::string_view byIdDirectory = "/dev/serial/by-id");

// Reads "COM%d=path" lines; unknown lines are ignored. Returns false when
// the file cannot be read (the defaults then stand).
bool ReadPortMap(const std::string& path, PortMap& map);
bool WritePortMap(const std::string& path, const PortMap& map);

// "3", "COM3" or "com3" → 3; 0 when the text is not a COM number.
int ParseComNumber(std::string_view text);

}  // namespace kts
