// Whether two paths name one file, however each is spelled.
#pragma once

// True when both lead to one file: a relative path, ".\" and "..\", either slash, an 8.3
// name or another letter case all name the same file as its full path does. Decided by
// the volume and file index of the files themselves; when either cannot be opened (one not
// there yet, say), by their full paths, made long as far as they exist.
bool SameFile(const char* a, const char* b);
