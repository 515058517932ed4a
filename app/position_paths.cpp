#include "app/position_paths.h"

#include <cstdio>
#include <mutex>

// A job copies a path while the editor or a layout command stores one: neither may see
// half of the other's.
static std::mutex g_positionPathLock;

// Under the lock.
static void CopyStoredPath(int position, char (&out)[kPathFieldSize])
{
    // A stored path may fill its whole field without a NUL.
    const char* stored = g_settings.layout.positionPaths[position].path;
    snprintf(out, sizeof out, "%.*s", int(sizeof out - 1), stored);
}

void CopyPositionPath(int position, char (&out)[kPathFieldSize])
{
    out[0] = '\0';
    if (position < 0 || position >= kPositionCount)
        return;
    std::lock_guard<std::mutex> hold(g_positionPathLock);
    CopyStoredPath(position, out);
}

void CopyAllPositionPaths(PositionPathSet* out)
{
    if (out == nullptr)
        return;
    std::lock_guard<std::mutex> hold(g_positionPathLock);
    for (int p = 0; p < kPositionCount; ++p)
        CopyStoredPath(p, out->path[p]);
}

void StorePositionPath(int position, const char* path)
{
    if (position < 0 || position >= kPositionCount || path == nullptr)
        return;
    std::lock_guard<std::mutex> hold(g_positionPathLock);
    char* stored = g_settings.layout.positionPaths[position].path;
    snprintf(stored, kPathFieldSize, "%.*s", int(kPathFieldSize - 1), path);
}

void StoreLayout(const LayoutBlock& layout)
{
    std::lock_guard<std::mutex> hold(g_positionPathLock);
    g_settings.layout = layout;
}
