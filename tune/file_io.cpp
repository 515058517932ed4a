#include "tune/file_io.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

enum { kPathSize = 260 };

int64_t ReadFileStart(const char* path, void* buffer, uint32_t capacity)
{
    if (path == nullptr || path[0] == '\0' || (buffer == nullptr && capacity != 0))
        return -1;
    FILE* file = fopen(path, "rb");
    if (file == nullptr)
        return -1;
    size_t total = 0;
    while (total < capacity) {
        size_t got = fread(static_cast<uint8_t*>(buffer) + total, 1, capacity - total, file);
        if (got == 0)
            break;
        total += got;
    }
    bool failed = ferror(file) != 0;
    fclose(file);
    return failed ? -1 : int64_t(total);
}

bool CreateFileIfMissing(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return false;
    FILE* file = fopen(path, "ab");
    if (file == nullptr)
        return false;
    fclose(file);
    return true;
}

static uint32_t ProcessId()
{
#if defined(_WIN32)
    return uint32_t(GetCurrentProcessId());
#else
    return uint32_t(getpid());
#endif
}

// A name beside the target: its folder, then "~t6" and eight hex digits. False when the
// name would not fit a 260-character path.
static bool TemporaryNameBeside(const char* path, char* out, size_t outSize)
{
    static std::atomic<uint32_t> counter{0};
    size_t folderLength = 0;
    for (size_t i = 0; path[i] != '\0'; ++i)
        if (path[i] == '\\' || path[i] == '/')
            folderLength = i + 1;
    uint32_t unique = (ProcessId() << 12) ^ counter.fetch_add(1);
    int written = snprintf(out, outSize, "%.*s~t6%08X.tmp", int(folderLength), path, unsigned(unique));
    return written > 0 && size_t(written) < outSize && size_t(written) < kPathSize;
}

static bool FlushToDisk(FILE* file)
{
    if (fflush(file) != 0)
        return false;
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

static bool MoveOver(const char* from, const char* to)
{
#if defined(_WIN32)
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return rename(from, to) == 0;
#endif
}

bool WriteFileReplacing(const char* path, const void* bytes, uint32_t count)
{
    if (path == nullptr || path[0] == '\0' || strlen(path) >= kPathSize || (bytes == nullptr && count != 0))
        return false;
    char temporary[kPathSize];
    if (!TemporaryNameBeside(path, temporary, sizeof temporary))
        return false;
    FILE* file = fopen(temporary, "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(bytes, 1, count, file) == count;
    written = FlushToDisk(file) && written;
    written = fclose(file) == 0 && written;
    if (!written || !MoveOver(temporary, path)) {
        remove(temporary);
        return false;
    }
    return true;
}
