#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tune/file_io.h"
#include "tune/file_platform.h"

uint32_t ProcessNumber()
{
    return uint32_t(getpid());
}

bool FinalPathOf(const char* path, std::string* out)
{
    *out = path;
    // As the system itself does, give up on a chain of links that goes on too long.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(out->c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char link[PATH_MAX];
        ssize_t length = readlink(out->c_str(), link, sizeof link);
        if (length <= 0 || size_t(length) >= sizeof link)
            return false;
        std::string next(link, size_t(length));
        size_t slash = out->find_last_of('/');
        if (next[0] != '/' && slash != std::string::npos)
            next = out->substr(0, slash + 1) + next;
        *out = next;
    }
    return false;
}

static bool WriteAll(int fd, const void* bytes, uint32_t count)
{
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        ssize_t n = write(fd, p, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        count -= uint32_t(n);
    }
    return true;
}

// Only root, or a user giving a file to a group of their own, may set the owner: otherwise
// the new file simply belongs to whoever wrote it.
static void KeepOwner(int fd, const struct stat& st)
{
    int refused = fchown(fd, st.st_uid, st.st_gid);
    (void)refused;
}

NewFileResult WriteNewFile(const char* path, const char* like, const void* bytes, uint32_t count)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? kNewFileNameTaken : kNewFileFailed;
    // The file it replaces keeps its permissions, and its owner where the system allows.
    struct stat st;
    bool written = true;
    if (stat(like, &st) == 0) {
        written = fchmod(fd, st.st_mode & 07777) == 0;
        KeepOwner(fd, st);
    }
    written = written && WriteAll(fd, bytes, count) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written) {
        unlink(path);
        return kNewFileFailed;
    }
    return kNewFileWritten;
}

bool ReplaceFileWith(const char* from, const char* to)
{
    return rename(from, to) == 0;
}

bool FileMissing(const char* path)
{
    struct stat st;
    return path != nullptr && stat(path, &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

int64_t FileSize(const char* path)
{
    struct stat st;
    if (path == nullptr || stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return int64_t(st.st_size);
}
