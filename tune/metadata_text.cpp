// The read-only views of a record: grid-cell paths and the texts of the two info boxes.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "tune/clock.h"
#include "tune/metadata.h"

int ShortenPathForDisplay(const char* path, size_t pathSize, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return 0;
    out[0] = '\0';
    if (path == nullptr)
        return 0;
    size_t length = FieldLength(path, pathSize);
    bool shorten = length > kShortPathLength;
    const char* tail = shorten ? path + length - (kShortPathLength - 3) : path;
    size_t tailLength = shorten ? kShortPathLength - 3 : length;
    snprintf(out, outSize, "%s%.*s", shorten ? "..." : "", int(tailLength), tail);
    return shorten ? 1 : 0;
}

namespace {
// An edit box being filled: line breaks go before a text only when the box holds text.
struct InfoBox {
    char* text;
    size_t size;
    size_t length;
};

InfoBox StartBox(char* out, size_t outSize)
{
    if (out != nullptr && outSize != 0)
        out[0] = '\0';
    return {out, out != nullptr ? outSize : 0, 0};
}

void AppendToBox(InfoBox& box, const char* text, int lineBreaks)
{
    if (box.size == 0)
        return;
    if (box.length != 0)
        for (int i = 0; i < lineBreaks; ++i)
            AppendToBox(box, "\r\n", 0);
    int written = snprintf(box.text + box.length, box.size - box.length, "%s", text);
    if (written > 0)
        box.length += strlen(box.text + box.length);
}

// Formats one line the way the box's owner does: into a 1024-character buffer.
void AppendLine(InfoBox& box, int lineBreaks, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

void AppendLine(InfoBox& box, int lineBreaks, const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    AppendToBox(box, line, lineBreaks);
}

#define FIELD(record, name) int(FieldLength((record).name, sizeof (record).name)), (record).name

void BankOrderText(const TuneMetadata& record, char* out, size_t outSize)
{
    if (record.originalSize == 65536 || record.originalSize == kTuneImageSize) {
        snprintf(out, outSize, "N/A");
        return;
    }
    out[0] = '\0';
    for (int place = 0; place < 4; ++place) {
        uint8_t bank = uint8_t(record.bankOrder >> (8 * place));
        const char* piece = "";
        switch (bank) {
        case 0: piece = "0 "; break;
        case 1: piece = "1 "; break;
        case 8: piece = "8 "; break;
        case 9: piece = "9 "; break;
        case kBankBlank: piece = "? "; break;
        }
        size_t used = strlen(out);
        snprintf(out + used, outSize - used, "%s", piece);
    }
}

// A present text, or what the box says instead.
void AppendOptionalText(InfoBox& box, const char* label, const char* field, size_t fieldSize,
                        const char* missing)
{
    if (RecordTextPresent(field))
        AppendLine(box, 2, "%s: %.*s", label, int(FieldLength(field, fieldSize)), field);
    else
        AppendLine(box, 2, "%s: %s", label, missing);
}
}

void BuildDeviceInfoText(const TuneMetadata deviceMetadata[16], int row, char* out, size_t outSize)
{
    InfoBox box = StartBox(out, outSize);
    if (deviceMetadata == nullptr || row < 1 || row > 16)
        return;
    const TuneMetadata& record = deviceMetadata[row - 1];
    if (!HasMetadataMagic(record)) {
        AppendToBox(box, "<Unrecognized metadata>", 0);
        return;
    }
    CalendarTime local;
    uint64_t ticks = (uint64_t(record.uploadTime.highDateTime) << 32) | record.uploadTime.lowDateTime;
    if (UploadTimePresent(record.uploadTime) && FileTimeToLocalCalendar(ticks, &local))
        AppendLine(box, 1, "Upload Time: %i/%i/%.4i %.2i:%.2i:%.2i", local.month, local.day, local.year,
                   local.hour, local.minute, local.second);
    AppendLine(box, 1, "Original Filepath: %.*s", FIELD(record, originalPath));
    char order[25];
    BankOrderText(record, order, sizeof order);
    AppendLine(box, 1, "Original Bank Order: %s", order);
    AppendLine(box, 1, "Original File Size: %i KB", int(record.originalSize / 1024));
    AppendOptionalText(box, "Tune Version", record.version, sizeof record.version, "<No Version Info>");
    AppendOptionalText(box, "Summary", record.summary, sizeof record.summary, "<No Summary Info>");
    AppendOptionalText(box, "Description", record.description, sizeof record.description, "<No Description>");
}

void FormatFileInfoText(int loadResult, const TuneMetadata& record, char* out, size_t outSize)
{
    InfoBox box = StartBox(out, outSize);
    if (!loadResult) {
        AppendToBox(box, "<Error opening file>", 0);
        return;
    }
    if (!HasMetadataMagic(record)) {
        AppendToBox(box, "<no metadata found>", 0);
        return;
    }
    // The file view shows the fields as they are, without the presence test.
    AppendLine(box, 0, "Version: %.*s", FIELD(record, version));
    AppendLine(box, 2, "Summary: %.*s", FIELD(record, summary));
    AppendLine(box, 2, "Description: %.*s", FIELD(record, description));
}

void BuildFileInfoText(const char* path, char* out, size_t outSize)
{
    TuneMetadata record;
    memset(&record, 0, sizeof record);
    int loaded = LoadTuneMetadataFromFile(path, &record);
    FormatFileInfoText(loaded, record, out, outSize);
}
