#include "app/update_check.h"

#include <cstring>

void UpdateWorkFolder(char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    out[0] = '\0';
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || length >= outSize)
        return;
    memcpy(out, folder, length + 1);
}
