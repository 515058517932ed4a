#include "app/info_boxes.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "device/log_window.h"
#include "resources/resource.h"
#include "tune/metadata.h"

static void ShowInBox(int box, const char* text)
{
    AppendStatusText(MainControl(box), text, 0, 1);
}

void ShowDeviceMetadata(int row)
{
    char text[kInfoTextSize];
    BuildDeviceInfoText(g_app.deviceMetadata, row, text, sizeof text);
    ShowInBox(IDC_DEVICE_INFO_BOX, text);
}

void ShowFileMetadata(int row)
{
    char text[kInfoTextSize] = "";
    if (row >= 1 && row <= kPositionCount)
        BuildFileInfoText(g_settings.layout.positionPaths[row - 1].path, text, sizeof text);
    ShowInBox(IDC_FILE_INFO_BOX, text);
}
