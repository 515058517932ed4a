#include "tune/same_file.h"

#include <windows.h>

namespace {

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

bool IdentityOf(const char* path, FileIdentity* out)
{
    // Asking for attributes only needs no share with whoever holds the file open.
    HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (known)
        *out = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return known;
}

// The full path, its 8.3 names made long when the file is there.
bool CanonicalPath(const char* path, wchar_t (&out)[MAX_PATH])
{
    char full[MAX_PATH], longer[MAX_PATH];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    length = GetLongPathNameA(full, longer, sizeof longer);
    const char* best = length != 0 && length < sizeof longer ? longer : full;
    return MultiByteToWideChar(CP_ACP, 0, best, -1, out, MAX_PATH) != 0;
}

} // namespace

bool SameFile(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr || a[0] == '\0' || b[0] == '\0')
        return false;
    FileIdentity first, second;
    if (IdentityOf(a, &first) && IdentityOf(b, &second))
        return first.volume == second.volume && first.indexHigh == second.indexHigh &&
               first.indexLow == second.indexLow;
    // Names on a volume differ in letter case alone by the system's ordinal rule, not a
    // language's.
    wchar_t fullA[MAX_PATH], fullB[MAX_PATH];
    return CanonicalPath(a, fullA) && CanonicalPath(b, fullB) &&
           CompareStringOrdinal(fullA, -1, fullB, -1, TRUE) == CSTR_EQUAL;
}
