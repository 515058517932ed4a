#include "app/version_text.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

void ReadVersionText(const char* path, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    snprintf(out, outSize, "0.0.0");
    DWORD handle = 0;
    DWORD size = path != nullptr ? GetFileVersionInfoSizeA(path, &handle) : 0;
    if (size == 0)
        return;
    void* block = malloc(size);
    if (block == nullptr)
        return;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", reinterpret_cast<void**>(&info), &infoSize) && info != nullptr &&
        infoSize >= sizeof(VS_FIXEDFILEINFO))
        snprintf(out, outSize, "%i.%i.%i", int(HIWORD(info->dwFileVersionMS)), int(LOWORD(info->dwFileVersionMS)),
                 int(HIWORD(info->dwFileVersionLS)));
    free(block);
}
