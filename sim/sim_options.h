// Command-line options of the standalone simulator.
#pragma once
#include <string>
#include <vector>

#include "sim/sim_device.h"

struct SimOptions {
    SimConfig config;
    std::vector<SimFault> faults;
    std::string linkPath;
    std::string tracePath;
    std::string memoryPath;
};

// False with a message in *error for anything it cannot use.
bool ParseSimOptions(int argc, char** argv, SimOptions* out, std::string* error);
extern const char kSimUsage[];
