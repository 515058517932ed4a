#include "app/grid_rows.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "controls/grid_control.h"
#include "resources/resource.h"
#include "tune/metadata.h"

static void SetCell(int row, int column, const char* text)
{
    GridSetCellText(text, kPathFieldSize, MainControl(IDC_POSITION_GRID), row, column);
}

void FillDeviceContentRows(int first, int last)
{
    for (int row = first; row <= last && row <= kPositionCount; ++row) {
        const TuneMetadata& record = g_app.deviceMetadata[row - 1];
        char text[kPathFieldSize] = "";
        if (HasMetadataMagic(record))
            ShortenPathForDisplay(record.originalPath, sizeof record.originalPath, text, sizeof text);
        SetCell(row, 2, text);
    }
}

void FillDeviceContentColumn()
{
    FillDeviceContentRows(1, g_app.positionCount);
}

void FillFileSelectionRows(int first, int last)
{
    for (int row = first; row <= last && row <= kPositionCount; ++row) {
        const PositionEntry& entry = g_settings.layout.positionPaths[row - 1];
        char text[kPathFieldSize] = "";
        ShortenPathForDisplay(entry.path, sizeof entry.path, text, sizeof text);
        SetCell(row, 1, text);
    }
}
