#include <windows.h>

#include "tune/file_io.h"
#include "tune/file_platform.h"

uint32_t ProcessNumber()
{
    return uint32_t(GetCurrentProcessId());
}

bool FinalPathOf(const char* path, std::string* out)
{
    // ReplaceFileA keeps the replaced file's own properties; nothing to follow here.
    *out = path;
    return true;
}

// The attributes a new file takes over from the one it replaces. Read-only is not among
// them: the new file has to be written, and a read-only file is not replaced anyway.
static DWORD AttributesToKeep(const char* like)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD attributes = GetFileAttributesA(like);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kept) == 0)
        return FILE_ATTRIBUTE_NORMAL;
    return attributes & kept;
}

NewFileResult WriteNewFile(const char* path, const char* like, const void* bytes, uint32_t count)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, AttributesToKeep(like), nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS ? kNewFileNameTaken
                                                                                              : kNewFileFailed;
    DWORD written = 0;
    bool ok = (count == 0 || WriteFile(file, bytes, count, &written, nullptr)) && written == count &&
              FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(path);
        return kNewFileFailed;
    }
    return kNewFileWritten;
}

static bool SystemReplaceFile(const char* replaced, const char* replacement)
{
    return ReplaceFileA(replaced, replacement, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
}

bool (*g_replaceFile)(const char* replaced, const char* replacement) = SystemReplaceFile;

static bool MoveIntoPlace(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool ReplaceFileWith(const char* from, const char* to)
{
    // ReplaceFileA keeps the old file's attributes and security; a new file is simply moved
    // into place. A folder is never replaced (some ReplaceFileA versions would move it aside).
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (FileMissing(to))
        return MoveIntoPlace(from, to);
    if (g_replaceFile(to, from))
        return true;
    // These two leave the old file gone from its place (1176: deleted, 1177: under another
    // name) and the new bytes only in the temporary file, which still has to go there.
    DWORD error = GetLastError();
    return (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) &&
           MoveIntoPlace(from, to);
}

bool FileMissing(const char* path)
{
    if (path == nullptr || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int64_t FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path == nullptr || !GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
