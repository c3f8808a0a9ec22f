// The orbalis command line: its subcommands, their options and --help.
#pragma once

namespace orbalis::tools {

// Parses the arguments, runs the command they name and returns the exit
// status; bad arguments get one line on standard error and 2.
int RunCommandLine(int argc, const char* const* argv);

}  // namespace orbalis::tools
