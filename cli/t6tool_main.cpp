// t6tool: the device and tune files from the command line.
#include <cstdio>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "t6_version.h"

int UsageError(const CliOptions& options, const char* problem)
{
    fprintf(stderr, "t6tool: %s\n", problem);
    const char* help = CommandHelp(options.command);
    fputs(help != nullptr ? help : kCliUsage, stderr);
    return kExitUsage;
}

int main(int argc, char** argv)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "t6tool: %s\n%s", error.c_str(), kCliUsage);
        return kExitUsage;
    }
    if (options.version) {
        puts("t6tool " T6_VERSION_TEXT);
        return kExitOk;
    }
    if (options.command.empty()) {
        fputs(kCliUsage, options.help ? stdout : stderr);
        return options.help ? kExitOk : kExitUsage;
    }
    const char* help = CommandHelp(options.command);
    if (help == nullptr) {
        fprintf(stderr, "t6tool: unknown command %s\n%s", options.command.c_str(), kCliUsage);
        return kExitUsage;
    }
    if (options.help) {
        fputs(help, stdout);
        return kExitOk;
    }
    static const struct {
        const char* name;
        int (*run)(const CliOptions&);
    } kRunners[] = {
        {"probe", RunProbe},     {"info", RunInfo},   {"metadata", RunMetadata}, {"backup", RunBackup},
        {"restore", RunRestore}, {"erase", RunErase}, {"select", RunSelect},    {"write", RunWrite},
        {"verify", RunVerify},
    };
    for (const auto& r : kRunners)
        if (options.command == r.name)
            return r.run(options);
    return kExitUsage;
}
