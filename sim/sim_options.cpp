#include "sim/sim_options.h"

#include <cstdlib>
#include <cstring>

const char kSimUsage[] =
    "usage: t6sim [options]\n"
    "  --link PATH          make PATH a symbolic link to the simulated port\n"
    "                       (for Wine: $WINEPREFIX/dosdevices/com7)\n"
    "  --trace FILE         write every frame and reply to FILE as it happens\n"
    "  --model C            model id character (default Z)\n"
    "  --firmware M.m       firmware version (default 1.5)\n"
    "  --hwinfo HEX         the 7-byte hardware-information block, 14 hex digits\n"
    "  --usb-baud-index N   USB baud index the device starts at (0, 1, 3 or 7; default 7)\n"
    "  --memory FILE        keep the 4 MB chip image in FILE: loaded at start when it\n"
    "                       exists, saved when the simulator stops\n"
    "  --line-rate BAUD     bytes cross the line no faster than BAUD (10 bits a byte)\n"
    "  --turnaround-us N    each reply starts N microseconds after its command\n"
    "  --fault C:N:KIND[:P] misbehave on the N-th frame starting with C, one or two characters\n"
    "                       (N 0: every one);\n"
    "                       KIND is silence, short, question, wrongack, badsum, stale, delay\n"
    "                       or disconnect; P is its parameter\n"
    "The simulator serves until it is interrupted or terminated; SIGUSR1 saves the\n"
    "--memory FILE at once and prints \"t6sim: memory saved\".\n";

namespace {

bool ParseNumber(const char* text, unsigned long limit, unsigned long* out)
{
    char* end = nullptr;
    errno = 0;
    unsigned long value = strtoul(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value > limit)
        return false;
    *out = value;
    return true;
}

bool ParseHexBlock(const char* text, uint8_t* out, size_t count)
{
    if (strlen(text) != count * 2)
        return false;
    for (size_t i = 0; i < count; ++i) {
        char pair[3] = {text[2 * i], text[2 * i + 1], '\0'};
        char* end = nullptr;
        unsigned long v = strtoul(pair, &end, 16);
        if (*end != '\0')
            return false;
        out[i] = uint8_t(v);
    }
    return true;
}

bool ParseFaultKind(const std::string& name, SimFaultKind* out)
{
    static const struct {
        const char* name;
        SimFaultKind kind;
    } kKinds[] = {
        {"silence", SimFaultKind::kSilence},       {"short", SimFaultKind::kShortReply},
        {"question", SimFaultKind::kQuestion},     {"wrongack", SimFaultKind::kWrongAck},
        {"badsum", SimFaultKind::kBadChecksum},    {"stale", SimFaultKind::kStaleByte},
        {"delay", SimFaultKind::kDelay},           {"disconnect", SimFaultKind::kDisconnect},
    };
    for (const auto& k : kKinds)
        if (name == k.name) {
            *out = k.kind;
            return true;
        }
    return false;
}

bool ParseFault(const std::string& text, SimFault* out)
{
    // C:N:KIND[:P], C one or two characters
    size_t first = text.find(':', 1);
    if (first == std::string::npos || first > 2)
        return false;
    size_t second = text.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    size_t third = text.find(':', second + 1);
    unsigned long occurrence = 0, param = 0;
    std::string kind = text.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
    if (!ParseNumber(text.substr(first + 1, second - first - 1).c_str(), 0xFFFFFFFFul, &occurrence) ||
        !ParseFaultKind(kind, &out->kind))
        return false;
    if (third != std::string::npos && !ParseNumber(text.substr(third + 1).c_str(), 0xFFFFFFFFul, &param))
        return false;
    out->command = uint8_t(text[0]);
    out->second = first == 2 ? uint8_t(text[1]) : 0;
    out->occurrence = uint32_t(occurrence);
    out->param = uint32_t(param);
    return true;
}

} // namespace

bool ParseSimOptions(int argc, char** argv, SimOptions* out, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) {
            *error = "missing value after " + option;
            return false;
        }
        const char* value = argv[++i];
        unsigned long number = 0;
        if (option == "--link") {
            out->linkPath = value;
        } else if (option == "--trace") {
            out->tracePath = value;
        } else if (option == "--model" && strlen(value) == 1) {
            out->config.modelId = value[0];
        } else if (option == "--firmware") {
            unsigned major = 0, minor = 0;
            char tail = 0;
            if (sscanf(value, "%u.%u%c", &major, &minor, &tail) != 2 || major > 255 || minor > 255) {
                *error = std::string("bad firmware version: ") + value;
                return false;
            }
            out->config.firmwareMajor = uint8_t(major);
            out->config.firmwareMinor = uint8_t(minor);
        } else if (option == "--hwinfo") {
            if (!ParseHexBlock(value, out->config.hardwareInfo, sizeof out->config.hardwareInfo)) {
                *error = std::string("bad hardware block (14 hex digits): ") + value;
                return false;
            }
        } else if (option == "--usb-baud-index" && ParseNumber(value, 7, &number) &&
                   (number == 0 || number == 1 || number == 3 || number == 7)) {
            out->config.usbBaudIndex = uint32_t(number);
        } else if (option == "--memory") {
            out->memoryPath = value;
        } else if (option == "--line-rate" && ParseNumber(value, 4000000, &number)) {
            out->config.lineRateBaud = uint32_t(number);
        } else if (option == "--turnaround-us" && ParseNumber(value, 10000000, &number)) {
            out->config.turnaroundUs = uint32_t(number);
        } else if (option == "--fault") {
            SimFault fault;
            if (!ParseFault(value, &fault)) {
                *error = std::string("bad fault: ") + value;
                return false;
            }
            out->faults.push_back(fault);
        } else {
            *error = "unknown option or bad value: " + option + " " + value;
            return false;
        }
    }
    return true;
}
