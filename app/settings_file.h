// settings.dat beside the program: the raw 4432-byte image of the SettingsBlock, read once
// at start and written at exit and after layout operations.
#pragma once
#include <cstddef>

#include "app/app_state.h"

// ModuleDirectory + "settings.dat". False, with out empty, when the program's folder is
// unknown: a bare "settings.dat" would be whatever one the current folder holds.
bool SettingsFilePath(char* out, size_t outSize);

// Fills *settings from the file: a missing file is created empty, and a file whose version
// is not 2 gives all zeros (a shorter file with version 2 keeps what it holds, zeros after).
// Returns 0, with all zeros, when the file is there but cannot be read, or is missing and
// cannot be created.
int ReadSettingsFile(const char* path, SettingsBlock* settings);

// Sets the version to 2 and stores the block; the old file is replaced only once the new
// one is written whole. Returns 1 on success.
int WriteSettingsFile(const char* path, SettingsBlock* settings);

// The same for g_settings and the program's own settings.dat; loading also shows or
// hides the software position selector. A settings.dat that was there but could not be
// loaded is never saved over (SaveSettings returns 0) until a later load succeeds. Without
// a known program folder neither reads nor writes anything and both return 0.
int LoadSettings();
int SaveSettings();
