#include "app/drop_files.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/command_state.h"
#include "app/layout_commands.h"
#include "app/main_window.h"
#include "app/position_commands.h"
#include "controls/grid_control.h"
#include "device/log_window.h"
#include "resources/resource.h"

namespace {

// What a drop holds, read before anything is done with it, since loading a layout may
// ask the user first.
struct DroppedFiles {
    char layout[kPathFieldSize];  // the first layout file, "" for none
    int fileCount;
    char tunes[kPositionCount][kPathFieldSize];  // in Explorer's order, as many as the rows take
    int tuneCount;
    int tunesLeftOver;  // tune files beyond the last row
};

void AppendStatusLine(const char* text)
{
    AppendStatusText(MainControl(IDC_STATUS_BOX), text, 1, 0);
}

// The data row under a point of the grid's client area, 0 for none. Rows scrolled off the
// top report the top row's place, so the search runs upward from the last row.
int GridRowAt(HWND grid, POINT point)
{
    RECT client;
    if (!GetClientRect(grid, &client) || !PtInRect(&client, point))
        return 0;
    for (int row = g_app.positionCount; row >= 1; --row) {
        RECT cell = {};
        SendMessageA(grid, GCM_GETCELLRECT, MAKELONG(row, 1), reinterpret_cast<LPARAM>(&cell));
        if (point.y >= cell.top && point.y < cell.bottom)
            return row;
    }
    return 0;
}

int DropRow(HWND receiver, HDROP drop)
{
    HWND grid = MainControl(IDC_POSITION_GRID);
    POINT point;
    int row = 0;
    // A drop on the window frame has its point in screen coordinates and is on no row.
    if (DragQueryPoint(drop, &point)) {
        MapWindowPoints(receiver, grid, &point, 1);
        row = GridRowAt(grid, point);
    }
    if (row == 0)
        row = int(SendMessageA(grid, GCM_GETCURROW, 0, 0));
    return row >= 1 && row <= g_app.positionCount ? row : 1;
}

// A path the layout cannot hold is left out whole rather than cut to another file's name.
void ReportLongPath(HDROP drop, UINT index, UINT length)
{
    char* path = static_cast<char*>(malloc(size_t(length) + 1));
    const char* name = "a dropped file";
    if (path != nullptr && DragQueryFileA(drop, index, path, length + 1) != 0) {
        name = path;
        for (const char* p = path; *p != '\0'; ++p)
            if (*p == '\\' || *p == '/')
                name = p + 1;
    }
    char line[400];
    snprintf(line, sizeof line, "The path of %s is longer than %d characters; the file was left out.", name,
             kPathFieldSize - 1);
    AppendStatusLine(line);
    free(path);
}

void ReadDrop(HDROP drop, int rowsFree, DroppedFiles* files)
{
    files->fileCount = int(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
    for (int i = 0; i < files->fileCount; ++i) {
        UINT length = DragQueryFileA(drop, UINT(i), nullptr, 0);
        if (length >= UINT(kPathFieldSize)) {
            ReportLongPath(drop, UINT(i), length);
            continue;
        }
        char path[kPathFieldSize];
        if (DragQueryFileA(drop, UINT(i), path, sizeof path) == 0)
            continue;
        if (IsLayoutFileName(path)) {
            if (files->layout[0] == '\0')
                snprintf(files->layout, sizeof files->layout, "%s", path);
        } else if (files->tuneCount < rowsFree && files->tuneCount < kPositionCount) {
            snprintf(files->tunes[files->tuneCount++], kPathFieldSize, "%s", path);
        } else {
            ++files->tunesLeftOver;
        }
    }
}

void OpenDroppedLayout(const DroppedFiles& files)
{
    int loaded = LoadLayout(files.layout);
    int others = files.fileCount - 1;
    if (others == 0)
        return;
    char line[100];
    snprintf(line, sizeof line, "%s; %d other file%s not placed.",
             loaded ? "Only the layout was loaded" : "The layout was not loaded", others,
             others == 1 ? " was" : "s were");
    AppendStatusLine(line);
}

// As Browse for each row, then the first row is the current one, with its info boxes.
void PlaceDroppedTunes(int row, const DroppedFiles& files)
{
    // The grid and Browse are disabled while a job runs; a drop is no way around that.
    if (IsJobRunning()) {
        AppendStatusLine("Files cannot be placed while a device operation runs.");
        return;
    }
    for (int i = 0; i < files.tuneCount; ++i)
        PlaceFileInRow(row + i, files.tunes[i]);
    SendMessageA(MainControl(IDC_POSITION_GRID), GCM_SELECTCELL, WPARAM(row), 1);
    OnGridSelectionChanged(row);
    if (files.tunesLeftOver > 0) {
        char line[80];
        snprintf(line, sizeof line, "%d file%s not placed: no more rows.", files.tunesLeftOver,
                 files.tunesLeftOver == 1 ? " was" : "s were");
        AppendStatusLine(line);
    }
}

LRESULT CALLBACK GridDropProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_DROPFILES) {
        OnDropFiles(grid, reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(grid, GridDropProc, id);
    return DefSubclassProc(grid, message, wParam, lParam);
}

} // namespace

void AcceptDroppedFiles(HWND mainWindow, HWND grid)
{
    DragAcceptFiles(mainWindow, TRUE);
    // The grid is a window of its own, so a drop on it is its message, not the main window's.
    if (grid != nullptr && SetWindowSubclass(grid, GridDropProc, 1, 0))
        DragAcceptFiles(grid, TRUE);
}

void OnDropFiles(HWND receiver, HDROP drop)
{
    int row = DropRow(receiver, drop);
    DroppedFiles files = {};
    ReadDrop(drop, g_app.positionCount - row + 1, &files);
    DragFinish(drop);
    if (files.layout[0] != '\0')
        OpenDroppedLayout(files);
    else if (files.tuneCount + files.tunesLeftOver > 0)
        PlaceDroppedTunes(row, files);
}
