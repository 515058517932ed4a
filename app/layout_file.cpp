#include "app/layout_file.h"

#include <cstring>

#include "tune/file_io.h"

void EndPathInField(char* field, size_t fieldSize)
{
    if (fieldSize != 0 && memchr(field, '\0', fieldSize) == nullptr)
        field[fieldSize - 1] = '\0';
}

void EndPathsInTheirFields(LayoutBlock* block)
{
    for (PositionEntry& entry : block->positionPaths)
        EndPathInField(entry.path, sizeof entry.path);
}

LayoutReadResult ReadLayoutFile(const char* path, LayoutBlock* block)
{
    if (block == nullptr)
        return kLayoutUnreadable;
    LayoutBlock read;
    if (ReadFileStart(path, &read, sizeof read) != int64_t(sizeof read))
        return kLayoutUnreadable;
    if (read.layoutVersion > kLayoutVersion)
        return kLayoutTooNew;
    EndPathsInTheirFields(&read);
    *block = read;
    return kLayoutRead;
}

int WriteLayoutFile(const char* path, const LayoutBlock* block)
{
    if (path == nullptr || path[0] == '\0' || block == nullptr)
        return 0;
    return WriteFileReplacing(path, block, sizeof *block) ? 1 : 0;
}
