#include "app/split_path.h"

#include <cstdio>
#include <cstring>

void SplitPath(const char* path, char* tail, size_t tailSize, char* head, size_t headSize, int depth)
{
    if (path == nullptr || path[0] == '\0')
        return;
    size_t length = strlen(path);
    size_t stop = 0;  // the separator the walk stopped at; 0 when it ran out
    int passed = 0;
    for (size_t i = length - 1; i >= 1; --i) {
        if (path[i] != '\\' && path[i] != '/')
            continue;
        if (passed == depth) {
            stop = i;
            break;
        }
        ++passed;
    }
    if (tail != nullptr && tailSize != 0)
        snprintf(tail, tailSize, "%s", stop != 0 ? path + stop + 1 : path);
    if (head != nullptr && headSize != 0)
        snprintf(head, headSize, "%.*s", int(stop + 1), path);
}
