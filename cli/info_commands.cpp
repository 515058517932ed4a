// Commands that describe: the device (probe, metadata) and tune files (info).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/session.h"
#include "device/chip.h"
#include "device/reply_time.h"
#include "tune/file_io.h"
#include "tune/metadata.h"
#include "tune/tune_image.h"

namespace {

// The info boxes join lines with CR LF; a console wants plain line ends.
void PrintBoxText(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p)
        if (*p != '\r')
            fputc(*p, stdout);
    fputc('\n', stdout);
}

std::string DescribeBankOrder(BankOrder order)
{
    std::string text;
    for (int place = 0; place < 4; ++place) {
        uint8_t bank = uint8_t(order >> (8 * place));
        char part[24];
        if (bank == kNoBank)
            snprintf(part, sizeof part, "-");
        else if (bank == kBankBlank)
            snprintf(part, sizeof part, "blank");
        else
            snprintf(part, sizeof part, "bank %u", bank);
        text += (place ? ", " : "") + std::string(part);
    }
    char hex[16];
    snprintf(hex, sizeof hex, "0x%08X", order);
    return std::string(hex) + " (quarters: " + text + ")";
}

} // namespace

int RunProbe(const CliOptions& options)
{
    if (!options.args.empty())
        return UsageError(options, "probe takes no arguments");
    Session session;
    int status = Connect(options, &session);
    if (status != kExitOk)
        return status;
    DeviceChannel& channel = session.channel;
    printf("%s\n", session.name);
    printf("port: %s\n", session.portPath.c_str());
    printf("line: %u baud (USB baud index %u)\n", channel.port.lineSettings().baudRate, channel.usbBaudIndex);
    printf("capabilities: %s\n", DescribeCapabilities(channel.capabilities).c_str());
    // The device is there and named: a reply time that cannot be measured is only said.
    char text[80];
    const char* hint = nullptr;
    DescribeReplyTime(channel, text, sizeof text, &hint);
    printf("%s\n", text);
    if (hint != nullptr)
        printf("%s\n", hint);
    return kExitOk;
}

int RunInfo(const CliOptions& options)
{
    if (options.args.size() != 1)
        return UsageError(options, "info needs one FILE");
    const char* path = options.args[0].c_str();
    std::vector<uint8_t> file(kTuneImageSize + 1);
    int64_t size = ReadFileStart(path, file.data(), uint32_t(file.size()));
    if (size < 0) {
        fprintf(stderr, "t6tool: cannot read %s\n", path);
        return kExitFailed;
    }
    // Only the first bytes are read: enough to recognise a tune file.
    int64_t fullSize = FileSize(path);
    printf("file: %s\n", path);
    printf("size: %lld bytes\n", static_cast<long long>(fullSize >= 0 ? fullSize : size));
    std::vector<uint8_t> image(kTuneImageSize);
    BankOrder order = kBankOrderUnknown;
    bool recognised = RecogniseTuneFile(file.data(), uint32_t(size), image.data(), kTuneImageSize, &order) == 1;
    bool wholeImage = size == kTuneImageSize;
    printf("recognised: %s\n", recognised ? "yes, a split calibration file" : wholeImage ? "yes, a whole 256 KB image" : "no");
    if (recognised && order != kBankOrderUnknown)
        printf("bank order: %s\n", DescribeBankOrder(order).c_str());
    else if (recognised)
        printf("bank order: none recorded for a file of this size\n");

    char text[kInfoTextSize];
    printf("\nfile info:\n");
    BuildFileInfoText(path, text, sizeof text);
    PrintBoxText(text);
    if (recognised || wholeImage) {
        // The record as the device would show it once the image is in a position.
        std::vector<TuneMetadata> table(16);
        memcpy(&table[0], image.data() + kMetadataOffset, sizeof(TuneMetadata));
        ClearPathWithoutLetter(&table[0]);
        printf("\ndevice tune info, once written:\n");
        BuildDeviceInfoText(table.data(), 1, text, sizeof text);
        PrintBoxText(text);
    }
    return kExitOk;
}

int RunMetadata(const CliOptions& options)
{
    int only = -1;
    if (options.args.size() > 1 || (options.args.size() == 1 && (only = ParsePosition(options.args[0])) < 0))
        return UsageError(options, "metadata takes at most one POS, 0 to 15");
    Session session;
    int status = Connect(options, &session);
    if (status == kExitOk)
        status = RequireChipProgramming(session);
    if (status != kExitOk)
        return status;
    std::vector<TuneMetadata> table(16);
    for (int p = 0; p < 16; ++p) {
        if (only >= 0 && p != only)
            continue;
        DeviceResult result = ReadChip(session.channel, reinterpret_cast<uint8_t*>(&table[p]), kChipT6ViaOrrery,
                                       uint32_t(p) * kTuneImageSize + kMetadataOffset, sizeof(TuneMetadata), nullptr);
        if (result < 0)
            return ReportFailure("reading the record of position " + std::to_string(p), result);
        ClearPathWithoutLetter(&table[p]);
        char text[kInfoTextSize];
        BuildDeviceInfoText(table.data(), p + 1, text, sizeof text);
        printf("%sPosition %X:\n", p == (only >= 0 ? only : 0) ? "" : "\n", p);
        PrintBoxText(text);
    }
    return kExitOk;
}
