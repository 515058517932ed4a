#include "app/edit_file_info.h"

#include <windows.h>

#include <cstring>

#include "app/app_state.h"
#include "app/grid_rows.h"
#include "app/info_boxes.h"
#include "app/main_title.h"
#include "app/main_window.h"
#include "app/position_paths.h"
#include "controls/grid_control.h"
#include "resources/resource.h"
#include "tune/metadata_editor.h"

void EditFileInfo()
{
    int row = int(SendMessageA(MainControl(IDC_POSITION_GRID), GCM_GETCURROW, 0, 0));
    if (row < 1 || row > g_app.positionCount)
        return;
    char old[kPathFieldSize];
    CopyPositionPath(row - 1, old);
    char path[kPathFieldSize];
    memcpy(path, old, sizeof path);
    if (RunMetadataEditor(static_cast<HWND>(g_app.mainWindow), path) != 1)
        return;
    // A job may be reading the table meanwhile; the store takes its lock.
    StorePositionPath(row - 1, path);
    FillFileSelectionRows(row, row);
    ShowFileMetadata(row);
    // Saved elsewhere, the layout now names another file: like a browse, it is a change
    // the layout file does not have yet.
    if (strcmp(old, path) != 0) {
        g_app.layoutModified = 1;
        UpdateTitle();
    }
}
