#include "sim/sim_command_line.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "core/text.h"

namespace kts::sim {
namespace {

bool ToInteger(const std::string& text, long long min, long long max, long long* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

bool ToRate(const std::string& text, double* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !(v >= 0.0 && v <= 1.0)) return false;
  *out = v;
  return true;
}

}  // namespace

std::string UsageText() {
  return "Usage: kts-sim [options]\n"
         "A simulated KTS data logger on a pseudo-terminal. Prints the device path\n"
         "and answers the logger command language until interrupted.\n\n"
         "  --profile NAME        built-in profile (default extended; see --list-profiles)\n"
         "  --profile-file PATH   a profile file of 'key = value' lines\n"
         "  --set KEY=VALUE       change one profile key (repeatable)\n"
         "  --hex FILE            replay the memory image of a saved .hex file\n"
         "  --link PATH           publish the device as a symlink (removed on exit)\n"
         "  --seed N              seed of the generated data and of the faults (default 1)\n"
         "  --pace                replies no faster than the line rate (10 bits a byte)\n"
         "  --log FILE            append every command and reply, with timestamps\n"
         "  --list-profiles       list the built-in profiles\n\n"
         "Faults (ordinals count commands or memory reads from 1):\n"
         "  --bad-check N[,N...]  wrong check byte on these memory reads\n"
         "  --drop N[,N...]       no reply to these commands\n"
         "  --drop-rate P         drop any reply with chance P (0..1)\n"
         "  --noise P             flip a bit of a byte sent with chance P (0..1)\n"
         "  --silent-after N      hear nothing after N commands\n"
         "  --slow MS             every reply MS milliseconds late\n"
         "  --one-rate BAUD       answer at BAUD only, ignore rate changes\n"
         "  --erase-fails N       the next N erases fail (status 7F)\n"
         "  --upload-fault F0|F1|F2  refuse the next calibration upload\n"
         "  --ignore-setting CMD  hear settings starting with CMD (\"K\", \"!1\") but keep the old value\n"
         "  --enable-mode HH      answer \"P\" with \"Logger started in mode HH\" and stay as it is\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error) {
  CommandLine c;
  bool sawProfile = false;
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      c.help = true;
      continue;
    }
    if (a == "--pace") {
      c.sim.pace = true;
      continue;
    }
    if (a == "--list-profiles") {
      c.listProfiles = true;
      continue;
    }
    if (a.rfind("--", 0) != 0) return fail("unexpected argument '" + a + "'");
    if (i + 1 >= args.size()) return fail(a + " needs a value");
    const std::string& v = args[++i];
    long long n = 0;
    double p = 0;
    Faults& f = c.sim.faults;
    if (a == "--profile")
      c.sim.profile = v, sawProfile = true;
    else if (a == "--profile-file")
      c.sim.profileFile = v;
    else if (a == "--set") {
      const size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) return fail("--set takes KEY=VALUE, not '" + v + "'");
      c.sim.settings.push_back(v.substr(0, eq) + " = " + v.substr(eq + 1));
    } else if (a == "--hex")
      c.sim.hexFile = v;
    else if (a == "--link")
      c.link = v;
    else if (a == "--log")
      c.sim.logFile = v;
    else if (a == "--seed") {
      if (!ToInteger(v, 0, 0x7FFFFFFFFFFFFFFFLL, &n)) return fail("--seed takes a whole number");
      c.sim.seed = static_cast<uint64_t>(n);
    } else if (a == "--bad-check" || a == "--drop") {
      if (!ParseOrdinals(v, a == "--drop" ? &f.droppedReplies : &f.badCheckReads))
        return fail(a + " takes ordinals from 1, such as 3,5,9");
    } else if (a == "--drop-rate" || a == "--noise") {
      if (!ToRate(v, &p)) return fail(a + " takes a chance from 0 to 1");
      (a == "--noise" ? f.noiseRate : f.dropRate) = p;
    } else if (a == "--silent-after") {
      if (!ToInteger(v, 0, 100000000, &n)) return fail("--silent-after takes a number of commands");
      f.silentAfter = static_cast<int>(n);
    } else if (a == "--slow") {
      if (!ToInteger(v, 0, 60000, &n)) return fail("--slow takes milliseconds from 0 to 60000");
      f.slowMs = static_cast<int>(n);
    } else if (a == "--one-rate") {
      if (!ToInteger(v, 1, 1000000, &n) ||
          (n != 1200 && n != 2400 && n != 4800 && n != 9600 && n != 19200 && n != 28800 &&
           n != 38400 && n != 57600 && n != 115200))
        return fail("--one-rate takes a baud rate such as 19200");
      f.oneRate = static_cast<int>(n);
    } else if (a == "--erase-fails") {
      if (!ToInteger(v, 0, 1000, &n)) return fail("--erase-fails takes a number of erases");
      f.eraseFailures = static_cast<int>(n);
    } else if (a == "--ignore-setting") {
      if (v.empty() || v.size() > 2) return fail("--ignore-setting takes a command such as K or !1");
      f.ignoredSettings.insert(v);
    } else if (a == "--enable-mode") {
      if (v.size() != 2 || !std::isxdigit(static_cast<unsigned char>(v[0])) ||
          !std::isxdigit(static_cast<unsigned char>(v[1])))
        return fail("--enable-mode takes two hex digits such as 09");
      f.enableMode = static_cast<int>(std::stoi(v, nullptr, 16));
    } else if (a == "--upload-fault") {
      if (v != "F0" && v != "F1" && v != "F2") return fail("--upload-fault takes F0, F1 or F2");
      f.uploadFault = v[1] - '0';
    } else {
      return fail("unknown option '" + a + "'");
    }
  }
  if (sawProfile && !c.sim.profileFile.empty())
    return fail("give either --profile or --profile-file, not both");
  c.sim.faults.seed = c.sim.seed;
  *out = std::move(c);
  return true;
}

}  // namespace kts::sim
