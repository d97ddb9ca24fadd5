// The sub-commands of `kts`.
#pragma once

namespace kts::cli {

struct SubCommand {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);  // argv[0] is the sub-command's name
};

int RunPorts(int argc, char** argv);
int RunInfo(int argc, char** argv);
int RunClock(int argc, char** argv);
int RunStop(int argc, char** argv);
int RunResume(int argc, char** argv);
int RunRetrieve(int argc, char** argv);
int RunConvert(int argc, char** argv);
int RunCalibration(int argc, char** argv);
int RunSetup(int argc, char** argv);
int RunSetBaud(int argc, char** argv);
int RunSetLatency(int argc, char** argv);
int RunOutputFormat(int argc, char** argv);

}  // namespace kts::cli
