#include "app/position_commands.h"

#include <windows.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/info_boxes.h"
#include "app/main_title.h"
#include "app/main_window.h"
#include "app/prompts.h"
#include "controls/grid_control.h"
#include "resources/resource.h"
#include "tune/metadata.h"

static HWND Grid()
{
    return MainControl(IDC_POSITION_GRID);
}

static void MarkLayoutModified()
{
    g_app.layoutModified = 1;
    UpdateTitle();
}

// Swaps the files of two shown rows, in the grid and in the layout; the device content
// stays where it is, since it shows what the device holds.
static int MoveSelection(int step)
{
    HWND grid = Grid();
    int row = int(SendMessageA(grid, GCM_GETCURROW, 0, 0));
    int target = row + step;
    if (row < 1 || row > g_app.positionCount || target < 1 || target > g_app.positionCount)
        return row;
    char here[kPathFieldSize] = "";
    char there[kPathFieldSize] = "";
    GridGetCellText(here, sizeof here, grid, row, 1);
    GridGetCellText(there, sizeof there, grid, target, 1);
    GridSetCellText(there, sizeof there, grid, row, 1);
    GridSetCellText(here, sizeof here, grid, target, 1);
    PositionEntry* paths = g_settings.layout.positionPaths;
    PositionEntry moved = paths[row - 1];
    paths[row - 1] = paths[target - 1];
    paths[target - 1] = moved;
    SendMessageA(grid, GCM_SETSELECTION, MAKELONG(target, 1), MAKELONG(target, 1));
    MarkLayoutModified();
    return target;
}

int MoveSelectionDown()
{
    return MoveSelection(1);
}

int MoveSelectionUp()
{
    return MoveSelection(-1);
}

void PlaceFileInRow(int row, const char* path)
{
    if (row < 1 || row > kPositionCount)
        return;
    snprintf(g_settings.layout.positionPaths[row - 1].path, kPathFieldSize, "%s", path);
    char shown[kPathFieldSize];
    ShortenPathForDisplay(path, kPathFieldSize, shown, sizeof shown);
    GridSetCellText(shown, sizeof shown, Grid(), row, 1);
    MarkLayoutModified();
    ShowFileMetadata(row);
}

int BrowseForSelection(int row)
{
    // No row is current before the grid has one: there is no position to take the file.
    if (row < 1 || row > kPositionCount)
        return 0;
    char path[kPathFieldSize];
    if (!ChooseFileName(0, "All Files (*.*)\0*.*\0", "bin", path, sizeof path))
        return 0;
    PlaceFileInRow(row, path);
    return 1;
}

void OnBrowse()
{
    BrowseForSelection(int(SendMessageA(Grid(), GCM_GETCURROW, 0, 0)));
}

void OnGridSelectionChanged(int row)
{
    ShowDeviceMetadata(row);
    ShowFileMetadata(row);
}

void OnGridTextSet(int row, int column)
{
    HWND grid = Grid();
    if (row < 1 || row > kPositionCount || column != 1 || !SendMessageA(grid, GCM_GETMODIFIED, 0, 0))
        return;
    GridGetCellText(g_settings.layout.positionPaths[row - 1].path, kPathFieldSize, grid, row, 1);
    SendMessageA(grid, GCM_SETMODIFIED, 0, 0);
    MarkLayoutModified();
}
