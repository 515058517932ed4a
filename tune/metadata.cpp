#include "tune/metadata.h"

#include <cstring>
#include <memory>
#include <new>

#include "tune/clock.h"
#include "tune/tune_file.h"

static const uint8_t kMagicBytes[4] = {0x36, 0x54, 0x56, 0x4B};

bool HasMetadataMagic(const TuneMetadata& record)
{
    return memcmp(record.magic, kMagicBytes, sizeof kMagicBytes) == 0;
}

bool RecordTextPresent(const char* field)
{
    uint8_t first = uint8_t(field[0]);
    return first != 0x00 && first != 0xFF;
}

bool UploadTimePresent(const FileTime& time)
{
    bool allZero = time.lowDateTime == 0 && time.highDateTime == 0;
    bool allOnes = time.lowDateTime == 0xFFFFFFFF && time.highDateTime == 0xFFFFFFFF;
    return !allZero && !allOnes;
}

size_t FieldLength(const char* field, size_t fieldSize)
{
    size_t length = 0;
    while (length + 1 < fieldSize && field[length] != '\0')
        ++length;
    return length;
}

void ClearPathWithoutLetter(TuneMetadata* record)
{
    if (record == nullptr)
        return;
    char first = record->originalPath[0];
    bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    if (!letter)
        record->originalPath[0] = '\0';
}

int StampMetadata(TuneMetadata* record, const char* path, uint32_t originalSize, BankOrder bankOrder)
{
    if (record == nullptr)
        return 0;
    memcpy(record->magic, kMagicBytes, sizeof kMagicBytes);
    record->originalSize = originalSize;
    record->bankOrder = bankOrder;
    memset(record->originalPath, 0, sizeof record->originalPath);
    if (path != nullptr)
        memcpy(record->originalPath, path, FieldLength(path, sizeof record->originalPath));
    uint64_t now = CurrentFileTimeTicks();
    record->uploadTime.lowDateTime = uint32_t(now);
    record->uploadTime.highDateTime = uint32_t(now >> 32);
    return 1;
}

int LoadTuneMetadataFromFile(const char* path, TuneMetadata* recordOut)
{
    if (recordOut == nullptr)
        return 0;
    std::unique_ptr<TuneFileImage> tune(new (std::nothrow) TuneFileImage);
    if (!tune || ReadTuneFileImage(path, tune.get()) != kTuneFileRead)
        return 0;
    if (!HoldsTuneImage(*tune))
        return 1;
    TuneMetadata record;
    memcpy(&record, tune->image.bytes + kMetadataOffset, sizeof record);
    if (HasMetadataMagic(record))
        *recordOut = record;
    return 1;
}
