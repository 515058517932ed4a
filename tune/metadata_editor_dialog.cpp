#include "tune/metadata_editor.h"

#include <cstdio>
#include <new>

#include "device/log_window.h"
#include "resources/resource.h"

namespace {

EditorState* StateOf(HWND dialog)
{
    return reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR OnInitDialog(HWND dialog, char* callerPath)
{
    CenterWindow(dialog, GetWindow(dialog, GW_OWNER));
    EditorState* state = new (std::nothrow) EditorState();
    if (state == nullptr) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    SetWindowLongPtrA(dialog, DWLP_USER, LONG_PTR(state));
    state->dialog = dialog;
    SendDlgItemMessageA(dialog, IDC_EDITOR_VERSION, EM_SETLIMITTEXT, 11, 0);
    SendDlgItemMessageA(dialog, IDC_EDITOR_SUMMARY, EM_SETLIMITTEXT, 63, 0);
    SendDlgItemMessageA(dialog, IDC_EDITOR_DESCRIPTION, EM_SETLIMITTEXT, 511, 0);
    state->callerPath = callerPath;
    if (callerPath != nullptr)
        snprintf(state->path, sizeof state->path, "%.*s", int(sizeof state->path - 1), callerPath);
    LoadEditorFile(state);
    return TRUE;
}

// Only a save ends the editor: after a failed write it stays open with the texts, so
// they can go to another file.
void OnSave(HWND dialog)
{
    if (SaveEditorFile(StateOf(dialog)) == 1)
        EndDialog(dialog, 1);
}

void OnDestroy(HWND dialog)
{
    delete StateOf(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
}

} // namespace

INT_PTR CALLBACK MetadataEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<char*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnSave(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR RunMetadataEditor(HWND owner, char (&path)[kEditorPathSize])
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_METADATA_EDITOR), owner,
                           MetadataEditorProc, LPARAM(path));
}
