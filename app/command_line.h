// The program's command line: only "/log FILE" means anything.
#pragma once
#include <cstddef>

// Finds "/log FILE" (the option in any case; the file name may be quoted) and copies the
// file name. False, with path empty, when the option is missing, has no file name, or the
// name does not fit: a cut name would log to some other file.
bool FindLogFileOption(const char* commandLine, char* path, size_t pathSize);
