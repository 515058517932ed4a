// Splitting a path into its last components and the rest.
#pragma once
#include <cstddef>

// Walks the path back from its end, passing depth separators (backslash or '/'), and
// stops at the next one: tail gets what follows that separator, head the path up to and
// including it. With fewer separators tail is the whole path and head its first
// character; index 0 is never taken as a separator. So depth 0 gives the file name and
// the folder with its trailing separator, and depth 2 the last three components. An
// empty path writes nothing; tail and head may be null, and are cut to their sizes.
void SplitPath(const char* path, char* tail, size_t tailSize, char* head, size_t headSize, int depth);
