#pragma once

#include "SimOptions.h"

// Runs the simulator as the whole process: prints the device path as the
// first line of standard output, serves until SIGTERM or SIGINT (or until a
// hang-up fault ends the line) and returns the process exit code: 0, or 1
// when the pseudo-terminal could not be opened (said on standard error).
int RunSimulator(SimOptions options, const char *programName = "kelm-sim");
