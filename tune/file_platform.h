// What replacing a file needs from the system; file_io.cpp builds the whole-file write on
// these, and each platform has its own file.
#pragma once
#include <cstdint>
#include <string>

uint32_t ProcessNumber();

// The file a write to path ends up in: path itself, or the file its links lead to (which
// need not exist yet). False when the links cannot be followed.
bool FinalPathOf(const char* path, std::string* out);

enum NewFileResult {
    kNewFileWritten,    // created, all bytes written and on disk, closed
    kNewFileNameTaken,  // a file of that name exists; it is left alone
    kNewFileFailed,     // nothing was left behind
};

// Creates path, which must not exist, with the permissions of `like` when that file exists,
// and stores the bytes in it.
NewFileResult WriteNewFile(const char* path, const char* like, const void* bytes, uint32_t count);

// Puts `from` in the place of `to`. An existing `to` keeps what it has of its own beside
// its bytes (permissions, attributes, security).
bool ReplaceFileWith(const char* from, const char* to);
