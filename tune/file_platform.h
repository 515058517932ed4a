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

// Where the replacing write takes the number in its temporary file's name; a test makes it
// name a file that is there already.
extern uint32_t (*g_temporaryNumber)();

#if defined(_WIN32)
// ReplaceFileA without a backup name, its error left for GetLastError; a test fails it the
// ways the system can.
extern bool (*g_replaceFile)(const char* replaced, const char* replacement);
#endif
