#include "tune/tune_file.h"

#include <cstdio>
#include <memory>
#include <new>

#include "tune/file_io.h"

TuneFileStatus ReadTuneFileImage(const char* path, TuneFileImage* out)
{
    if (out == nullptr || path == nullptr || path[0] == '\0')
        return kTuneFileNotOpened;
    // ReadFileStart does not tell a file that cannot be opened from one that cannot be
    // read, and the upload reports only the first.
    FILE* probe = fopen(path, "rb");
    if (probe == nullptr)
        return kTuneFileNotOpened;
    fclose(probe);

    const uint32_t capacity = kTuneImageSize + 1;
    std::unique_ptr<uint8_t[]> file(new (std::nothrow) uint8_t[capacity]);
    if (!file)
        return kTuneFileNotRead;
    int64_t size = ReadFileStart(path, file.get(), capacity);
    if (size < 0)
        return kTuneFileNotRead;
    out->fileSize = uint32_t(size);
    out->order = kBankOrderUnknown;
    out->recognised = RecogniseTuneFile(file.get(), out->fileSize, out->image.bytes, kTuneImageSize, &out->order);
    return kTuneFileRead;
}

bool HoldsTuneImage(const TuneFileImage& tune)
{
    return tune.recognised == 1 || tune.fileSize == kTuneImageSize;
}
