#include "app/update_dialog.h"

#include <cstdio>
#include <initializer_list>

#include "app/app_state.h"
#include "app/program_version.h"
#include "app/update_check.h"
#include "app/update_file.h"
#include "app/web_page.h"
#include "device/log_window.h"
#include "resources/resource.h"

namespace {

const UINT kCheckDone = WM_USER + 1;
const UINT kStatusChanged = WM_USER + 2;

UpdateCheck* CheckOf(HWND dialog)
{
    return reinterpret_cast<UpdateCheck*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void FillCheck(UpdateCheck& check, HWND dialog)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    check.dialogWindow = dialog;
    check.statusMessage = kStatusChanged;
    check.doneMessage = kCheckDone;
    UpdateHostName(check.host, sizeof check.host);
    snprintf(check.directory, sizeof check.directory, "%s", kUpdateDirectory);
    snprintf(check.fileName, sizeof check.fileName, "%s", kUpdateFileName);
    ProgramVersionText(program, check.currentVersion, sizeof check.currentVersion);
}

INT_PTR OnInitDialog(HWND dialog)
{
    CenterWindow(dialog, GetParent(dialog));
    UpdateCheck* check = NewUpdateCheck();
    if (check == nullptr) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    FillCheck(*check, dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, LONG_PTR(check));
    return TRUE;
}

// A dialog checks once.
void OnCheckForUpdates(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDC_UPDATE_CHECK);
    if (!IsWindowEnabled(button))
        return;
    StartUpdateCheck(CheckOf(dialog));
    EnableWindow(button, FALSE);
}

void OnClose(HWND dialog)
{
    if (UpdateCheck* check = CheckOf(dialog))
        check->cancelRequested = 1;
    EndDialog(dialog, 0);
}

// The third line's page opens before the second's.
void OfferDownload(HWND dialog, const UpdateCheck& check)
{
    SetDlgItemTextA(dialog, IDC_UPDATE_STATUS, "Update Available");
    if (MessageBoxA(dialog, "Update Is Available! Download?", "Update Available", MB_YESNO | MB_ICONEXCLAMATION) !=
        IDYES)
        return;
    char folder[MAX_PATH + 1];
    UpdateWorkFolder(folder, sizeof folder);
    for (const char* url : {check.downloadUrl2, check.downloadUrl1}) {
        if (url[0] != '\0')
            LaunchWebPage(url, folder, dialog);
    }
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// Only this dialog's own worker reports here; a late message meant for an earlier dialog
// carries a record that may be gone.
UpdateCheck* ReportingCheck(HWND dialog, LPARAM record)
{
    UpdateCheck* check = CheckOf(dialog);
    return check != nullptr && LPARAM(check) == record ? check : nullptr;
}

void ShowCheckStatus(HWND dialog, UpdateCheck& check)
{
    char text[sizeof check.statusText];
    GetUpdateStatus(check, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_UPDATE_STATUS, text);
}

void OnStatusChanged(HWND dialog, LPARAM record)
{
    if (UpdateCheck* check = ReportingCheck(dialog, record))
        ShowCheckStatus(dialog, *check);
}

void OnCheckDone(HWND dialog, LPARAM record)
{
    UpdateCheck* check = ReportingCheck(dialog, record);
    if (check == nullptr)
        return;
    EnableWindow(GetDlgItem(dialog, IDC_UPDATE_CHECK), FALSE);
    if (check->failed)
        ShowCheckStatus(dialog, *check);
    else if (check->updateAvailable)
        OfferDownload(dialog, *check);
    else
        SetDlgItemTextA(dialog, IDC_UPDATE_STATUS, "This version is the latest.");
}

void OnDestroy(HWND dialog)
{
    UpdateCheck* check = CheckOf(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    if (check != nullptr) {
        check->cancelRequested = 1;
        ReleaseUpdateCheck(check);
    }
}

} // namespace

INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_UPDATE_CHECK)
            OnCheckForUpdates(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            OnClose(dialog);
        return TRUE;
    case kStatusChanged:
        OnStatusChanged(dialog, lParam);
        return TRUE;
    case kCheckDone:
        OnCheckDone(dialog, lParam);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void ShowUpdateDialog()
{
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UPDATE), static_cast<HWND>(g_app.mainWindow),
                    UpdateDialogProc, 0);
}
