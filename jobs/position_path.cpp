#include "jobs/position_path.h"

#include <cstdio>

void CopyPositionPath(int position, char (&out)[kPathFieldSize])
{
    out[0] = '\0';
    if (position < 0 || position >= kPositionCount)
        return;
    // A stored path may fill its whole field without a NUL.
    const char* stored = g_settings.layout.positionPaths[position].path;
    snprintf(out, sizeof out, "%.*s", int(sizeof out - 1), stored);
}

bool PositionHasFile(int position)
{
    char path[kPathFieldSize];
    CopyPositionPath(position, path);
    return path[0] != '\0';
}
