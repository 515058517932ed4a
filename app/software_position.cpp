#include "app/software_position.h"

#include <windows.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/info_boxes.h"
#include "app/layout_commands.h"
#include "app/main_window.h"
#include "app/position_selector.h"
#include "controls/grid_control.h"
#include "device/chip.h"
#include "device/log_window.h"
#include "resources/resource.h"

static void AppendStatusLine(const char* text)
{
    AppendStatusText(MainControl(IDC_STATUS_BOX), text, 1, 0);
}

// The bank first: when it cannot be set the chip is left as it is, rather than enabled
// on whatever bank the device still shows.
static void SelectPosition(int position)
{
    DeviceResult result = g_app.channel.SetBank(uint8_t(position), kBankEmulation, false, 0);
    if (result >= 0)
        result = SetChipEnabled(g_app.channel, true);
    char line[50];
    snprintf(line, sizeof line, result >= 0 ? "Position %.1X selected" : "Position %.1X could not be selected.",
             unsigned(position));
    AppendStatusLine(line);
    SendMessageA(MainControl(IDC_POSITION_GRID), GCM_SELECTCELL, WPARAM(position + 1), 2);
    ShowDeviceMetadata(position + 1);
    ShowFileMetadata(position + 1);
}

void SelectSoftwarePosition()
{
    HWND selector = MainControl(IDC_POSITION_SELECTOR);
    if (SendMessageA(selector, CB_GETCURSEL, 0, 0) == CB_ERR)
        return;
    int data = SelectorCurrentData(selector);
    if (data >= 0 && data < kPositionCount) {
        SelectPosition(data);
    } else if (data == kSelectorChipOff) {
        bool off = SetChipEnabled(g_app.channel, false) >= 0;
        AppendStatusLine(off ? "Chip Off selected" : "Chip Off could not be selected.");
    }
}

void ToggleSoftwarePositionOption()
{
    g_settings.allowSoftwarePositionSelection = g_settings.allowSoftwarePositionSelection ? 0 : 1;
    ShowSoftwarePositionSelector(g_settings.allowSoftwarePositionSelection);
}
