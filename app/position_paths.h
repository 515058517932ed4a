// The tune file chosen for each device position (g_settings.layout.positionPaths), as the
// jobs, the metadata editor and the layout commands reach it. The editor and the layout
// commands stay available while a job runs and may store into the table the job is
// reading, so all of them go through one lock here.
#pragma once

#include "app/app_state.h"

// Copies the path of position 0 to 15 into out, always ended; "" for none or for a
// position outside the table.
void CopyPositionPath(int position, char (&out)[kPathFieldSize]);

// Every position's path at one moment, each ended as CopyPositionPath ends it.
struct PositionPathSet {
    char path[kPositionCount][kPathFieldSize];
};
// A job over several positions takes them all as it starts: a layout loaded or cleared
// while it runs must not leave the device holding half of each.
void CopyAllPositionPaths(PositionPathSet* out);

// Stores path (cut to kPathFieldSize - 1 characters) as the file of position 0 to 15;
// a position outside the table is left alone.
void StorePositionPath(int position, const char* path);

// Replaces the whole layout (version and every path), as loading or clearing one does.
void StoreLayout(const LayoutBlock& layout);
