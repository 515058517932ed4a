// Shared by the fuzz targets: a scratch file in memory-backed storage, and a check that
// stops the run the way a sanitizer report does.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#define FUZZ_CHECK(condition)                                                   \
    do {                                                                        \
        if (!(condition)) {                                                     \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            abort();                                                            \
        }                                                                       \
    } while (0)

// A path unique to this process and name; /dev/shm keeps the many writes off the disk.
inline std::string ScratchPath(const char* name)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/t6fuzz-" + std::to_string(getpid()) + "-" + name;
}

// Removed when the run ends.
struct ScratchFile {
    explicit ScratchFile(const char* name) : path(ScratchPath(name)) {}
    ~ScratchFile() { remove(path.c_str()); }
    std::string path;
};

inline bool WriteScratch(const std::string& path, const void* bytes, size_t count)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = fwrite(bytes, 1, count, file) == count;
    return fclose(file) == 0 && ok;
}
