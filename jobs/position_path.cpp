#include "jobs/position_path.h"

bool PositionHasFile(int position)
{
    char path[kPathFieldSize];
    CopyPositionPath(position, path);
    return path[0] != '\0';
}
