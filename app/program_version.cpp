#include "app/program_version.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

int ProgramVersionText(const char* path, char* out, size_t outSize)
{
    if (path == nullptr || out == nullptr || outSize == 0)
        return 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return 0;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!block || !GetFileVersionInfoA(path, 0, size, block.get()) ||
        !VerQueryValueA(block.get(), "\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return 0;
    snprintf(out, outSize, "%i.%.2i.%.4i.%.2i", int(HIWORD(info->dwFileVersionMS)),
             int(LOWORD(info->dwFileVersionMS)), int(HIWORD(info->dwFileVersionLS)), 0);
    return 1;
}
