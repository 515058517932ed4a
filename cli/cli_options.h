// The command line of t6tool: a command, its arguments, and the common options.
#pragma once
#include <string>
#include <vector>

enum CliExit {
    kExitOk = 0,
    kExitFailed = 1,   // the device operation failed
    kExitUsage = 2,
    kExitNoDevice = 3,
};

struct CliOptions {
    std::string command;
    std::vector<std::string> args;
    std::string port; // empty: search
    bool log = false;
    bool yes = false;
    bool help = false;
    bool version = false;
};

// False with a message in *error for an unknown option.
bool ParseCliOptions(int argc, char** argv, CliOptions* out, std::string* error);

// Position arguments: 0 to 15, or the hex digits A to F. -1 for anything else.
int ParsePosition(const std::string& text);

extern const char kCliUsage[];
// The help text of one command, or null when there is no such command.
const char* CommandHelp(const std::string& command);
