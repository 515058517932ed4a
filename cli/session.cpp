#include "cli/session.h"

#include <cctype>
#include <cstdio>

#include "cli/console.h"

namespace {

// "COM7" is "\\.\COM7" to Windows; every other spelling is a path as it stands.
std::string PortPathOfArgument(const std::string& port)
{
#if defined(_WIN32)
    if (port.size() > 3 && toupper(static_cast<unsigned char>(port[0])) == 'C' &&
        toupper(static_cast<unsigned char>(port[1])) == 'O' && toupper(static_cast<unsigned char>(port[2])) == 'M')
        return "\\\\.\\" + port;
#endif
    return port;
}

} // namespace

int Connect(const CliOptions& options, Session* session)
{
    return ConnectChannel(options, session->channel, session);
}

int ConnectChannel(const CliOptions& options, DeviceChannel& channel, Session* session)
{
    if (options.log)
        channel.SetLogTarget(ConsoleLogSink());
    uint32_t scanOptions = 0;
    if (!options.port.empty()) {
        // One candidate: the search's speed changes still apply, on that port alone.
        session->portArgument = PortPathOfArgument(options.port);
        session->candidate = session->portArgument.c_str();
        channel.portCandidates = &session->candidate;
        channel.portCandidateCount = 1;
        scanOptions = 1;
    }
    uint8_t version[3] = {};
    DeviceCaps caps = channel.FindHardware(version, scanOptions, session->name, sizeof session->name);
    if (caps == 0) {
        if (options.port.empty())
            fprintf(stderr, "t6tool: no device found on any port\n");
        else
            fprintf(stderr, "t6tool: no device found on %s\n", options.port.c_str());
        return kExitNoDevice;
    }
    session->portPath = channel.port.portName();
    return kExitOk;
}

int RequireChipProgramming(const Session& session)
{
    if (session.channel.capabilities & kCapsChipProgramming)
        return kExitOk;
    fprintf(stderr, "t6tool: %s cannot program positions\n", session.name);
    return kExitFailed;
}

int Confirm(const CliOptions& options, const std::string& question)
{
    if (options.yes)
        return kExitOk;
    if (!StandardInputIsTerminal()) {
        fprintf(stderr, "t6tool: %s: this changes the device; add --yes to go ahead\n", options.command.c_str());
        return kExitUsage;
    }
    fprintf(stderr, "%s [y/N] ", question.c_str());
    fflush(stderr);
    char answer[16] = "";
    if (fgets(answer, sizeof answer, stdin) == nullptr || (answer[0] != 'y' && answer[0] != 'Y')) {
        fprintf(stderr, "t6tool: nothing changed\n");
        return kExitUsage;
    }
    return kExitOk;
}

int ReportFailure(const std::string& what, DeviceResult result)
{
    ProgressDone();
    fprintf(stderr, "t6tool: %s failed: %s\n", what.c_str(), DeviceResultName(result));
    return kExitFailed;
}

std::string DescribeCapabilities(DeviceCaps caps)
{
    static const struct {
        DeviceCaps bit;
        const char* name;
    } kFlags[] = {
        {kCapsExtendedProtocol, "extended protocol"},
        {kCapsMirraII, "Mirra II"},
        {kCapsMirraI, "Mirra I"},
        {kCapsRelayPlus, "Relay Plus"},
        {kCapsChipwise, "Chipwise"},
        {kCapsSparkEtch, "Spark & Etch"},
        {kCapsHeron, "Heron"},
        {kCapsHeronII, "Heron II"},
        {kCapsSwiftlet, "Swiftlet"},
        {kCapsGryph, "Gryph"},
        {kCapsT5, "T5"},
        {kCapsPalomar, "Palomar"},
        {kCapsKestrel, "Kestrel"},
        {kCapsOrrery, "Orrery Programmer"},
        {kCapsInterfaceU, "interface U"},
        {kCapsInterfaceS, "interface S"},
        {kCapsInterfaceB, "interface B"},
        {kCapsChipProgramming, "chip programming"},
        {kCapsBanks, "banks"},
        {kCapsBulk, "bulk transfers"},
    };
    char hex[16];
    snprintf(hex, sizeof hex, "0x%08X", caps);
    std::string text = hex;
    std::string names;
    for (const auto& f : kFlags)
        if (caps & f.bit)
            names += (names.empty() ? "" : ", ") + std::string(f.name);
    return names.empty() ? text : text + " (" + names + ")";
}
