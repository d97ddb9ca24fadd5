#include "link/connection.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "core/session.h"
#include "core/text.h"
#include "link/serial_link.h"

namespace kts {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsPrintable(char c) {
  return c > ' ' && c < 0x7F;
}

// Splits off the next whitespace-separated word; empty at the end.
std::string_view NextWord(std::string_view& rest) {
  size_t start = 0;
  while (start < rest.size() && IsBlank(rest[start])) ++start;
  size_t end = start;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  const std::string_view word = rest.substr(start, end - start);
  rest.remove_prefix(end);
  return word;
}

bool AllPrintable(std::string_view word) {
  return std::all_of(word.begin(), word.end(), IsPrintable);
}

// Two tries of "A"; true with the identity when a readable one came back.
bool AskIdentity(Session& s, LoggerIdentity* found) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    DiscardInput(s);
    WriteComm(s, PortRole::Logger, "A");
    if (ReadReply(s, 120) < 1) continue;
    if (ParseIdentityReply(s.reply.text(), found)) return true;
  }
  return false;
}

int RateIndex(int index) {
  return std::clamp(index, 0, static_cast<int>(kStandardRates.size()) - 1);
}

enum class Outcome { Failed, Connected, ConnectAgain };

// What happens when another logger answers than the one last connected.
// Returns ConnectAgain when the user went back to save the data first.
Outcome HandleLoggerChange(Session& s, const LoggerIdentity& found) {
  LinkState& link = s.link;
  const int previous = link.previousSerial;
  if (previous >= 0 && previous == found.serial) return Outcome::Connected;
  if (previous >= 0 && s.app.retrievedDataPresent && !s.app.retrievedDataSaved) {
    const Answer answer = s.ui.message(
        {Format("Logger has changed from %06d to %06d.\nRetrieved data from %06d has not been "
                "saved.\nDo you wish to return to save the data now?",
                previous, found.serial, previous),
         "Connecting Logger", Icon::Warning, Buttons::YesNo, Answer::No});
    if (answer == Answer::Yes) {
      // The data belong to the previous logger: save them under its identity.
      link.identity.model = link.previousModel;
      link.identity.firmware = link.previousFirmware;
      link.identity.serial = previous;
      link.identity.extended = FirmwareAbove(link.identity, 4.99);
      if (s.linkHooks.redrawRetrievedData) s.linkHooks.redrawRetrievedData(s);
      if (s.linkHooks.saveRetrievedData) s.linkHooks.saveRetrievedData(s);
      return Outcome::ConnectAgain;
    }
    if (s.linkHooks.hideDataDisplay) s.linkHooks.hideDataDisplay(s);
    EnableMenus(s, MenuGroup::SaveItems, false);
    s.app.retrievedDataPresent = false;
    s.app.retrievedDataSaved = false;
  }
  // A new logger (or the first one): its tables must be read.
  link.reread = RereadFlags{};
  return Outcome::Connected;
}

Outcome ConnectOnce(Session& s) {
  PortConfig& ports = s.ports;
  LinkState& link = s.link;
  int search = RateIndex(ports.defaultRateIndex);
  link.identity = LoggerIdentity{};
  LoggerIdentity found;
  int failedPasses = 0;
  bool answered = false;
  do {
    // Only a port that answered is reused; every other pass reopens the
    // port at the rate being tried.
    if (!link.connected || !IsPortOpen(s, PortRole::Logger)) {
      link.connected = false;
      ShowLinkState(s, true);
      if (!OpenCommPort(s, PortRole::Logger, ports.currentBaud, 0)) {
        if (failedPasses > 0) ports.currentBaud = kStandardRates[RateIndex(ports.defaultRateIndex)];
        ReportPortError(s, true);
        ShowLinkState(s, false);
        return Outcome::Failed;
      }
    }
    answered = AskIdentity(s, &found);
    link.connected = answered;
    if (!answered) {
      search = (search + 1) % static_cast<int>(kStandardRates.size());
      ports.currentBaud = kStandardRates[static_cast<size_t>(search)];
      ++failedPasses;
    }
  } while (!answered && failedPasses <= 5);

  ShowLinkState(s, false);
  if (!answered) {
    ReportPortError(s, false);
    ports.currentBaud = kStandardRates[RateIndex(ports.defaultRateIndex)];
    return Outcome::Failed;
  }
  ports.defaultRateIndex = search;

  const Outcome change = HandleLoggerChange(s, found);
  if (change != Outcome::Connected) return change;
  found.extended = FirmwareAbove(found, 4.99);
  link.identity = found;
  link.previousSerial = found.serial;
  link.previousFirmware = found.firmware;
  link.previousModel = found.model;
  return Outcome::Connected;
}

}  // namespace

bool ParseIdentityReply(std::string_view reply, LoggerIdentity* out) {
  const size_t at = reply.find("KTS");
  if (at == std::string_view::npos) return false;
  std::string_view rest = reply.substr(at);
  const std::string_view maker = NextWord(rest);
  const std::string_view model = NextWord(rest);
  const std::string_view version = NextWord(rest);
  const std::string_view serial = NextWord(rest);
  if (!AllPrintable(maker) || model.empty() || model.size() > kMaxModelLength ||
      !AllPrintable(model) || version.empty() || serial.empty())
    return false;

  float firmware = 0.0f;
  const auto v = std::from_chars(version.data(), version.data() + version.size(), firmware);
  if (v.ec != std::errc() || v.ptr != version.data() + version.size() || !std::isfinite(firmware) ||
      firmware < 0.0f || firmware >= 100.0f)
    return false;

  int number = 0;
  const auto n = std::from_chars(serial.data(), serial.data() + serial.size(), number);
  if (n.ec != std::errc() || n.ptr != serial.data() + serial.size() || number < 0) return false;

  out->model.assign(model);
  out->firmware = firmware;
  out->serial = number;
  out->extended = FirmwareAbove(*out, 4.99);
  return true;
}

bool Connect(Session& s) {
  Outcome outcome;
  do {
    outcome = ConnectOnce(s);
  } while (outcome == Outcome::ConnectAgain);
  return outcome == Outcome::Connected;
}

bool Reconnect(Session& s) {
  if (s.linkHooks.reconnect) {
    s.linkHooks.reconnect(s);
    return s.link.connected;
  }
  CloseCommPort(s, PortRole::Logger);
  s.link.connected = false;
  return Connect(s);
}

std::string IdentityText(const LoggerIdentity& id) {
  return Format("KTS %s %5.2f %06d", id.model.c_str(), static_cast<double>(id.firmware), id.serial);
}

void ShowLinkState(Session& s, bool trying) {
  if (trying)
    s.ui.setConnectionState(Format("Trying: %d", s.ports.currentBaud));
  else if (s.link.connected)
    s.ui.setConnectionState(Format("%d baud", s.ports.currentBaud));
  else
    s.ui.setConnectionState("Not connected");
}

}  // namespace kts
