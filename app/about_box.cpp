#include "app/about_box.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/hyperlink.h"
#include "resources/resource.h"

// The link writes to the address the box shows, so the two never disagree.
static BOOL OnInitAbout(HWND dialog)
{
    char address[200] = "";
    GetDlgItemTextA(dialog, IDC_SUPPORT_LINK, address, sizeof address);
    char url[260];
    snprintf(url, sizeof url, "mailto:%s", address);
    MakeHyperlink(dialog, IDC_SUPPORT_LINK, url, 0xFF0000);
    return TRUE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitAbout(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowAboutBox()
{
    DialogBoxParamA(g_app.instance, MAKEINTRESOURCEA(IDD_ABOUT), g_app.mainWindow, AboutDialogProc, 0);
}
