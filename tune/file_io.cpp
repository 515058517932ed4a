#include "tune/file_io.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "tune/file_platform.h"

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

// The temporary file's name beside `target`: "~t6" and eight hex digits, cut from the front
// where the folder leaves less room, so the temporary path is never longer than the longest
// path the target's own folder can hold (259 characters, or the target's own length).
static bool TemporaryNameBeside(const std::string& target, uint32_t unique, std::string* out)
{
    size_t folderLength = target.find_last_of("\\/");
    folderLength = folderLength == std::string::npos ? 0 : folderLength + 1;
    size_t longest = target.size() > kPathSize - 1 ? target.size() : kPathSize - 1;
    if (folderLength >= target.size())
        return false;
    char name[16];
    snprintf(name, sizeof name, "~t6%08X", unsigned(unique));
    size_t room = longest - folderLength;
    size_t nameLength = strlen(name);
    *out = target.substr(0, folderLength) + (room < nameLength ? name + (nameLength - room) : name);
    return true;
}

// The count is spread over every hex digit, so even a name cut to one digit changes.
static uint32_t NextTemporaryNumber()
{
    static std::atomic<uint32_t> counter{0};
    return (ProcessNumber() << 12) ^ (counter.fetch_add(1) * 0x9E3779B1u);
}

uint32_t (*g_temporaryNumber)() = NextTemporaryNumber;

bool WriteFileReplacing(const char* path, const void* bytes, uint32_t count)
{
    if (path == nullptr || path[0] == '\0' || strlen(path) >= kPathSize || (bytes == nullptr && count != 0))
        return false;
    std::string target;
    if (!FinalPathOf(path, &target))
        return false;
    // A name taken by another file (one a crash left, say) is never overwritten: another one
    // is tried.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string temporary;
        if (!TemporaryNameBeside(target, g_temporaryNumber(), &temporary))
            return false;
        NewFileResult made = WriteNewFile(temporary.c_str(), target.c_str(), bytes, count);
        if (made == kNewFileNameTaken)
            continue;
        if (made != kNewFileWritten)
            return false;
        if (ReplaceFileWith(temporary.c_str(), target.c_str()))
            return true;
        // A replace that failed half-way may have taken the old file away: then the
        // temporary file holds the only copy and stays.
        if (!FileMissing(target.c_str()))
            remove(temporary.c_str());
        return false;
    }
    return false;
}
