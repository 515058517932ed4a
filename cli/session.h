// Finding the device for a command, and the questions and messages around device work.
#pragma once
#include <string>

#include "cli/cli_options.h"
#include "device/channel.h"

struct Session {
    // Leaves the device at 115200 baud for whoever comes next.
    ~Session()
    {
        if (channel.IsPortOpen())
            channel.ClosePort();
    }

    DeviceChannel channel;
    std::string portPath;   // the port the device answered on
    char name[100] = "";    // as the program shows it, "Orrery Programmer v1.5.Z"
    std::string portArgument;
    const char* candidate = nullptr;
};

// Finds the device (on the given port only, or by the scan) and identifies it. Prints why
// not on failure and returns kExitNoDevice; kExitOk when found.
int Connect(const CliOptions& options, Session* session);
// The same on a channel of the caller's (the jobs talk through g_app.channel); the session
// keeps the name and port. The caller closes that channel.
int ConnectChannel(const CliOptions& options, DeviceChannel& channel, Session* session);

// Position commands need the chip layer; kExitFailed with a message when the device lacks it.
int RequireChipProgramming(const Session& session);

// Asks on the terminal unless --yes; refuses (kExitUsage) without a terminal.
int Confirm(const CliOptions& options, const std::string& question);

// "t6tool: <what> failed: <DeviceResult name>", and kExitFailed.
int ReportFailure(const std::string& what, DeviceResult result);

// The capability flags by name, for probe.
std::string DescribeCapabilities(DeviceCaps caps);
