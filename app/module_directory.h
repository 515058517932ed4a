// Where the program's own files live.
#pragma once
#include <cstddef>

// The folder of the running program, with its trailing separator; "" when unknown.
void ModuleDirectory(char* out, size_t outSize);

// The folder part of a program path: everything up to and including the last separator,
// searched from the end without looking at the first character; "" when there is none.
void DirectoryOfPath(const char* path, char* out, size_t outSize);
