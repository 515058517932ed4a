// The program's command line: "/log FILE" and the layout file to open at start.
#pragma once
#include <cstddef>

// Finds "/log FILE" (the option in any case; the file name may be quoted) and copies the
// file name. False, with path empty, when the option is missing, has no file name, or the
// name does not fit: a cut name would log to some other file.
bool FindLogFileOption(const char* commandLine, char* path, size_t pathSize);

// Finds the first word that names a layout file, as Explorer passes one it opens with the
// program (quoted or not); "/log" and its file name are never it. False, with path empty,
// when there is none; a name that does not fit is no name, as above.
bool FindLayoutFileArgument(const char* commandLine, char* path, size_t pathSize);

// Whether a file name ends in ".t6layout", in any case: what opens as a layout.
bool IsLayoutFileName(const char* name);
