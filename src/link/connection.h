// Finding the logger on its port, learning the rate it answers at, and
// identifying it: model, firmware version and serial number.
#pragma once

#include <string>
#include <string_view>

#include "link/logger_identity.h"

namespace kts {

struct Session;

// Longest model word accepted from an identity reply.
inline constexpr size_t kMaxModelLength = 31;

// Reads "KTS <model> <version> <serial>" from the first "KTS" of a reply.
// False (out untouched) when a field is missing, the model word is empty,
// longer than kMaxModelLength or not printable ASCII, the version is not a
// number from 0 to 99.99, or the serial number is not a whole number.
bool ParseIdentityReply(std::string_view reply, LoggerIdentity* out);

// The connection sequence (CommGet(0)): reuses a port that answered,
// otherwise searches the standard rates from the one above the default,
// reading the identity; asks about unsaved data when another logger answers.
bool Connect(Session& s);

// The main window's reconnect command (a hook), or: close the port, reopen
// it at the current rate, Connect. Returns the connected flag.
bool Reconnect(Session& s);

// "KTS %s %5.2f %06d": model, firmware version, serial number.
std::string IdentityText(const LoggerIdentity& id);

// The connection field of the status bar: "Trying: %d" while searching,
// "%d baud" when connected, else "Not connected".
void ShowLinkState(Session& s, bool trying);

}  // namespace kts
