#include "tune/metadata.h"

#include <cstring>
#include <memory>
#include <new>

#include "tune/clock.h"
#include "tune/file_io.h"

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
    // One byte more than the largest form tells a too-long file from a whole image.
    const uint32_t capacity = kTuneImageSize + 1;
    std::unique_ptr<uint8_t[]> file(new (std::nothrow) uint8_t[capacity]);
    std::unique_ptr<TuneImage> image(new (std::nothrow) TuneImage);
    if (!file || !image)
        return 0;
    int64_t size = ReadFileStart(path, file.get(), capacity);
    if (size < 0)
        return 0;
    if (size == 0 || size > kTuneImageSize)
        return 1;
    BankOrder order = kBankOrderUnknown;
    int recognised = RecogniseTuneFile(file.get(), uint32_t(size), image->bytes, kTuneImageSize, &order);
    if (!recognised && size != kTuneImageSize)
        return 1;
    TuneMetadata record;
    memcpy(&record, image->bytes + kMetadataOffset, sizeof record);
    if (HasMetadataMagic(record))
        *recordOut = record;
    return 1;
}
