// The program's version as the update check compares it.
#pragma once
#include <cstddef>

// "major.minor(2 digits).build(4 digits).00" from the file version resource of the file
// at path (1.0.0.1 gives "1.00.0000.00"; the fourth number is never compared). Returns 0,
// writing nothing, when the file has no version resource.
int ProgramVersionText(const char* path, char* out, size_t outSize);
