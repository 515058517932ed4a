// The program's version as the title shows it.
#pragma once
#include <cstddef>

// "major.minor.build" from the file version resource of the program file at path;
// "0.0.0" when it has none.
void ReadVersionText(const char* path, char* out, size_t outSize);
