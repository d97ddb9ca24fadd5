// kts-sim: a simulated KTS data logger on a pseudo-terminal.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sim/profile.h"
#include "sim/sim_command_line.h"
#include "sim/simulated_logger.h"

namespace {

// Publishes the device under a stable name. An existing symlink is
// replaced; anything else at that path is left alone.
bool PublishLink(const std::string& link, const std::string& target, std::string* error) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      *error = link + " exists and is not a symbolic link; not replacing it";
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    *error = "cannot create the link " + link + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

// Removes the link only while it still points at our device.
void RemoveLink(const std::string& link, const std::string& target) {
  char buffer[4096];
  const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (n > 0 && std::string(buffer, static_cast<size_t>(n)) == target) unlink(link.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kts::sim;
  std::vector<std::string> args(argv + 1, argv + argc);
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, &line, &error)) {
    std::fprintf(stderr, "kts-sim: %s\n\n%s", error.c_str(), UsageText().c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (line.listProfiles) {
    for (const std::string& name : BuiltinProfileNames()) {
      Profile p;
      LoadBuiltinProfile(name, p, nullptr);
      std::printf("%-12s KTS %s %d.%02d, %zu channel(s), %d baud\n", name.c_str(), p.model.c_str(),
                  p.firmware / 100, p.firmware % 100, p.channels.size(), p.baud);
    }
    return 0;
  }

  // SIGINT and SIGTERM are waited for, not handled: blocked before any
  // thread starts so that every thread inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::unique_ptr<SimulatedLogger> sim = SimulatedLogger::Start(line.sim, &error);
  if (!sim) {
    std::fprintf(stderr, "kts-sim: %s\n", error.c_str());
    return 1;
  }
  if (!line.link.empty() && !PublishLink(line.link, sim->path(), &error)) {
    std::fprintf(stderr, "kts-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", sim->path().c_str());
  std::fflush(stdout);
  const Profile& p = sim->profile();
  std::fprintf(stderr, "kts-sim: KTS %s %d.%02d %06d (%s) at %d baud on %s%s%s\n", p.model.c_str(),
               p.firmware / 100, p.firmware % 100, p.serial, p.name.c_str(), p.baud,
               sim->path().c_str(), line.link.empty() ? "" : ", linked as ", line.link.c_str());

  int signal = 0;
  sigwait(&stopSignals, &signal);
  sim->stop();
  if (!line.link.empty()) RemoveLink(line.link, sim->path());
  return 0;
}
