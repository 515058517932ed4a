// Where the program's own files live.
#pragma once
#include <cstddef>

// The folder of the running program, with its trailing separator; "" when unknown, also
// when the program's path does not fit 260 characters (a cut-off path names another folder).
void ModuleDirectory(char* out, size_t outSize);

// The folder part of a program path: everything up to and including the last separator,
// searched from the end without looking at the first character; "" when there is none.
void DirectoryOfPath(const char* path, char* out, size_t outSize);

// Where the program's path comes from, as GetModuleFileNameA gives it: its length, or
// bufferSize when it was cut off, 0 when unknown. The system's, unless a test puts its own
// in place (null brings the system's back).
typedef size_t (*ProgramPathSource)(char* buffer, size_t bufferSize);
void SetProgramPathSource(ProgramPathSource source);
