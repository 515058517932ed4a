// The update-information file on the update server: where it lives, and how its lines
// are read. Line 1 is the latest version, lines 2 and 3 web addresses.
#pragma once
#include <cstddef>
#include <cstdio>

// The folder and the file on the server.
extern const char kUpdateDirectory[];  // "T5UP"
extern const char kUpdateFileName[];   // "T6UD.TXT"

// The server: T6_UPDATE_HOST when it is set and not empty (a mirror, or a test server),
// else our own host name. Cut to outSize.
void UpdateHostName(char* out, size_t outSize);

// Reads the next line of the file into out: at most outSize - 1 characters, its line end
// included when it fits. The rest of a longer line is skipped, so it never passes for the
// next line. False at the end of the file, with out empty.
bool ReadUpdateLine(FILE* file, char* out, size_t outSize);
