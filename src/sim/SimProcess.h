#pragma once

#include "SimOptions.h"

// Runs the simulator as the whole process: prints the device path as the
// first line of standard output, serves until SIGTERM or SIGINT (or until a
// hang-up fault ends the line) and returns the process exit code.
int RunSimulator(SimOptions options);
