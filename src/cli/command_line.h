// What the sub-commands share beyond the context: reading their own
// arguments (with --help and usage errors handled the same way everywhere),
// and a connection to the logger that is closed again when the command ends.
#pragma once

#include <string>

#include "cli/arguments.h"
#include "cli/cli_context.h"

namespace kts::cli {

// Reads a sub-command's arguments (the common options are added to `spec`).
// Returns -1 when the command should run; otherwise the exit status to
// return at once: 0 after printing `usage` for --help, 2 after a usage
// error (the message and the usage on stderr). More positional arguments
// than `maxPositional` are a usage error.
int ReadCommandArguments(int argc, char** argv, const char* command, const char* usage,
                         OptionSpec spec, Arguments& args, size_t maxPositional = 0);

// Opens the logger port (the --port COM number or device path, else the
// port of the settings file) and runs the connection sequence. On failure
// the reason is on stderr, in the system's words, and the port is closed.
bool ConnectLogger(CliContext& context, const char* command);

// Prints a message of the system on stderr as "kts COMMAND: TEXT", each
// further line indented, unless the terminal already showed it.
void ReportFailure(CliContext& context, const char* command, const std::string& text);

}  // namespace kts::cli
