// The main window's two dialogs: Edit File Info on the current row's file, and Help >
// Check Internet for Update. The dialogs are answered for real from a driver thread.
#include <cstdio>
#include <string>
#include <thread>

#include "tests/app/main_window_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tune/metadata.h"

TEST_F(MainWindowTest, EditFileInfoAndTheUpdateCheckOpenTheirDialogs)
{
    const std::string tune = TuneFile("tune.bin", "C:\\orig.bin");
    const std::string edited = folder_ + "a name long enough to be shortened in the grid, edited.bin";
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    snprintf(settings.layout.positionPaths[1].path, kPathFieldSize, "%s", tune.c_str());
    WriteSettings(settings);
    Open(false);
    SelectRow(2);

    std::string shownVersion;
    std::thread editor([&] {
        HWND dialog = WaitForWindow("Tune File Metadata Editor", IDC_EDITOR_VERSION);
        if (dialog == nullptr)
            return;
        shownVersion = ControlText(dialog, IDC_EDITOR_VERSION);
        SetDlgItemTextA(dialog, IDC_EDITOR_SUMMARY, "edited");
        PressButton(dialog, IDOK);
        HWND save = WaitForWindow("Choose output file...", 1148);
        if (save == nullptr)
            return CloseEveryDialog();
        SendMessageA(GetDlgItem(save, 1148), WM_SETTEXT, 0, LPARAM(edited.c_str()));
        PressButton(save, IDOK);
    });
    Command(IDC_EDIT_FILE_INFO);
    editor.join();
    EXPECT_EQ(shownVersion, "v7");
    EXPECT_EQ(std::string(g_settings.layout.positionPaths[1].path), edited);
    char shortened[kPathFieldSize];
    ShortenPathForDisplay(edited.c_str(), edited.size() + 1, shortened, sizeof shortened);
    EXPECT_EQ(Cell(2, 1), shortened);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).rfind("Version: v7\r\n\r\nSummary: edited\r\n", 0), 0u)
        << Text(IDC_FILE_INFO_BOX);
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Title().back(), '*');

    HWND owner = nullptr;
    std::thread update([&] {
        HWND dialog = WaitForWindow("Check For Updates", IDC_UPDATE_STATUS);
        if (dialog == nullptr)
            return;
        owner = GetWindow(dialog, GW_OWNER);
        PressButton(dialog, IDCANCEL);
    });
    Command(IDM_CHECK_UPDATE);
    update.join();
    EXPECT_EQ(owner, static_cast<HWND>(g_app.mainWindow));
}
