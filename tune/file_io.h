// Whole-file reads and writes for tune files, layouts and settings.
#pragma once
#include <cstdint>

// Reads a file from its start into buffer, up to capacity bytes: returns the count read
// (less than capacity only at the end of the file), or -1 when the file could not be opened
// or read.
int64_t ReadFileStart(const char* path, void* buffer, uint32_t capacity);

// Creates an empty file when there is none; an existing file keeps its bytes. True when
// the file could be opened for writing.
bool CreateFileIfMissing(const char* path);

// Makes the file hold exactly these bytes. They go to a temporary file in the same folder
// first, which then replaces the old file, so a failed or interrupted write leaves the old
// file whole. The file keeps its permissions (Windows: attributes and security), and a
// link is written through to the file it leads to. False when anything fails; then no
// temporary file stays behind, unless the failed replace left no file at the path: the
// temporary file, which holds the bytes, is then all there is and stays.
bool WriteFileReplacing(const char* path, const void* bytes, uint32_t count);

// True only when the system reports there is no such file; a file that is there but cannot
// be read or reached is not missing.
bool FileMissing(const char* path);

// The size of a file, or -1 when it cannot be had.
int64_t FileSize(const char* path);
