// Commands that move or change what the device holds: backup, restore, erase, select.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/session.h"
#include "device/chip.h"
#include "tune/file_io.h"
#include "tune/tune_image.h"

namespace {

const uint32_t kDeviceSize = 16 * kTuneImageSize;

// A position, or the whole device for "all".
struct Span {
    bool all;
    uint32_t position;
    uint32_t start() const { return all ? 0 : position * kTuneImageSize; }
    uint32_t size() const { return all ? kDeviceSize : kTuneImageSize; }
    std::string name() const
    {
        char text[24];
        snprintf(text, sizeof text, "position %X", position);
        return all ? "the whole device" : text;
    }
};

bool ParseSpan(const std::string& text, Span* out)
{
    if (text == "all") {
        *out = {true, 0};
        return true;
    }
    int position = ParsePosition(text);
    *out = {false, uint32_t(position)};
    return position >= 0;
}

// Connects and checks the device can program positions.
int ConnectForPositions(const CliOptions& options, Session* session)
{
    int status = Connect(options, session);
    return status == kExitOk ? RequireChipProgramming(*session) : status;
}

// Asks first: the device is not even searched for until the user agreed.
int ConfirmAndConnect(const CliOptions& options, const std::string& question, Session* session)
{
    int status = Confirm(options, question);
    return status == kExitOk ? ConnectForPositions(options, session) : status;
}

DeviceResult EraseSpan(DeviceChannel& channel, const Span& span)
{
    ProgressPhase("erasing", 0);
    if (span.all)
        return EraseChip(channel, ConsoleProgress, kChipT6ViaOrrery, kEraseWholeChip, 0, 0);
    return EraseChip(channel, ConsoleProgress, kChipT6ViaOrrery, kEraseBlocks, span.position, 1);
}

} // namespace

int RunBackup(const CliOptions& options)
{
    Span span;
    if (options.args.size() != 2 || !ParseSpan(options.args[0], &span))
        return UsageError(options, "backup needs POS (0 to 15) or all, and OUT");
    Session session;
    int status = ConnectForPositions(options, &session);
    if (status != kExitOk)
        return status;
    std::vector<uint8_t> data(span.size());
    ProgressPhase("reading", 256);
    DeviceResult result = ReadChip(session.channel, data.data(), kChipT6ViaOrrery, span.start(), span.size(),
                                   ConsoleProgress);
    ProgressDone();
    if (result < 0)
        return ReportFailure("reading " + span.name(), result);
    if (!WriteFileReplacing(options.args[1].c_str(), data.data(), uint32_t(data.size()))) {
        fprintf(stderr, "t6tool: cannot write %s\n", options.args[1].c_str());
        return kExitFailed;
    }
    printf("%s: %u bytes read into %s\n", span.name().c_str(), span.size(), options.args[1].c_str());
    return kExitOk;
}

int RunRestore(const CliOptions& options)
{
    Span span;
    if (options.args.size() != 2 || !ParseSpan(options.args[0], &span))
        return UsageError(options, "restore needs POS (0 to 15) or all, and IN");
    const char* path = options.args[1].c_str();
    std::vector<uint8_t> data(span.size() + 1);
    int64_t size = ReadFileStart(path, data.data(), uint32_t(data.size()));
    if (size < 0) {
        fprintf(stderr, "t6tool: cannot read %s\n", path);
        return kExitFailed;
    }
    if (uint64_t(size) != span.size()) {
        fprintf(stderr, "t6tool: %s holds %lld bytes; %s takes exactly %u\n", path, static_cast<long long>(size),
                span.name().c_str(), span.size());
        return kExitUsage;
    }
    data.resize(span.size());
    Session session;
    int status = ConfirmAndConnect(options, "Erase and rewrite " + span.name() + " from " + path + "?", &session);
    if (status != kExitOk)
        return status;

    DeviceChannel& channel = session.channel;
    DeviceResult result = EraseSpan(channel, span);
    if (result < 0)
        return ReportFailure("erasing " + span.name(), result);
    ProgressPhase("writing", 256);
    result = WriteChip(channel, data.data(), kChipT6ViaOrrery, span.start(), span.size(), ConsoleProgress);
    if (result < 0)
        return ReportFailure("writing " + span.name(), result);
    ProgressPhase("verifying", 256);
    result = VerifyChip(channel, data.data(), kChipT6ViaOrrery, span.start(), span.size(), ConsoleProgress);
    ProgressDone();
    if (result < 0)
        return ReportFailure("verifying " + span.name(), result);
    if (result == 0) {
        fprintf(stderr, "t6tool: verifying %s failed: the device holds other bytes than %s\n", span.name().c_str(),
                path);
        return kExitFailed;
    }
    printf("%s: written from %s and verified\n", span.name().c_str(), path);
    return kExitOk;
}

int RunErase(const CliOptions& options)
{
    Span span;
    if (options.args.size() != 1 || !ParseSpan(options.args[0], &span))
        return UsageError(options, "erase needs POS (0 to 15) or all");
    Session session;
    int status = ConfirmAndConnect(options, "Erase " + span.name() + "?", &session);
    if (status != kExitOk)
        return status;
    DeviceResult result = EraseSpan(session.channel, span);
    ProgressDone();
    if (result < 0)
        return ReportFailure("erasing " + span.name(), result);
    printf("%s erased\n", span.name().c_str());
    return kExitOk;
}

int RunSelect(const CliOptions& options)
{
    int position = -1;
    if (options.args.size() != 1 || (options.args[0] != "off" && (position = ParsePosition(options.args[0])) < 0))
        return UsageError(options, "select needs POS (0 to 15) or off");
    Session session;
    int status = Connect(options, &session);
    if (status != kExitOk)
        return status;
    DeviceChannel& channel = session.channel;
    if (position < 0) {
        DeviceResult result = SetChipEnabled(channel, false);
        if (result < 0)
            return ReportFailure("switching the chip off", result);
        printf("Chip Off selected\n");
        return kExitOk;
    }
    DeviceResult result = channel.SetBank(uint8_t(position), kBankEmulation, false, 0);
    if (result < 0)
        return ReportFailure("selecting the position", result);
    result = SetChipEnabled(channel, true);
    if (result < 0)
        return ReportFailure("switching the chip on", result);
    printf("Position %.1X selected\n", position);
    return kExitOk;
}
