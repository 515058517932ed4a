// The dialog templates, the main menu and the shortcut table, read back through the window
// system. What the windows do with them is the window tests' part; here is what those
// cannot see: the class and style behind each id the code uses, the fonts and frames, and
// menu items that the tests reach only by sending their ids.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/register_controls.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HWND MakeDialog(int id)
{
    RegisterControlClasses(GetModuleHandleA(nullptr));
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PlainProc, 0);
}

// The style bits a control needs: info boxes that show several lines and cannot be typed
// into, a selector that offers only its list, the default button that Enter presses.
const DWORD kInfoBox = WS_VSCROLL | ES_MULTILINE | ES_READONLY;
const DWORD kButton = WS_TABSTOP;
const DWORD kDefault = WS_TABSTOP | BS_DEFPUSHBUTTON;

const struct {
    int dialog, id;
    const char* className;
    DWORD style;
} kControls[] = {
    {IDD_MAIN, IDC_POSITION_GRID, "KVGRIDCONTROL", WS_TABSTOP},
    {IDD_MAIN, IDC_PROGRESS, "KVTEXTPROGRESS", 0},
    {IDD_MAIN, IDC_QUERY_DEVICE, "Button", kDefault},
    {IDD_MAIN, IDC_BROWSE, "Button", kButton},
    {IDD_MAIN, IDC_MOVE_UP, "Button", kButton},
    {IDD_MAIN, IDC_MOVE_DOWN, "Button", kButton},
    {IDD_MAIN, IDC_WRITE_SELECTION, "Button", kButton},
    {IDD_MAIN, IDC_WRITE_ALL, "Button", kButton},
    {IDD_MAIN, IDC_VERIFY_SELECTION, "Button", kButton},
    {IDD_MAIN, IDC_ERASE_SELECTION, "Button", kButton},
    {IDD_MAIN, IDC_ERASE_ALL, "Button", kButton},
    {IDD_MAIN, IDC_EDIT_FILE_INFO, "Button", kButton},
    {IDD_MAIN, IDCANCEL, "Button", kButton},
    {IDD_MAIN, IDC_FILE_INFO_BOX, "Edit", kInfoBox},
    {IDD_MAIN, IDC_STATUS_BOX, "Edit", kInfoBox},
    {IDD_MAIN, IDC_DEVICE_INFO_BOX, "Edit", kInfoBox},
    {IDD_MAIN, IDC_POSITION_SELECTOR, "ComboBox", WS_TABSTOP | CBS_DROPDOWNLIST},
    {IDD_MAIN, IDC_POSITION_SELECTOR_LABEL, "Static", 0},
    {IDD_ABOUT, IDOK, "Button", kDefault},
    {IDD_ABOUT, IDC_SUPPORT_LINK, "Static", WS_VISIBLE},
    {IDD_METADATA_EDITOR, IDC_EDITOR_VERSION, "Edit", WS_TABSTOP | ES_AUTOHSCROLL},
    {IDD_METADATA_EDITOR, IDC_EDITOR_SUMMARY, "Edit", WS_TABSTOP | ES_AUTOHSCROLL},
    {IDD_METADATA_EDITOR, IDC_EDITOR_DESCRIPTION, "Edit", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN},
    {IDD_METADATA_EDITOR, IDOK, "Button", kDefault},
    {IDD_METADATA_EDITOR, IDCANCEL, "Button", kButton},
    {IDD_UPDATE, IDC_UPDATE_STATUS, "Static", WS_VISIBLE},
    {IDD_UPDATE, IDC_UPDATE_CHECK, "Button", kButton},
    {IDD_UPDATE, IDCANCEL, "Button", kButton},
};

TEST(Templates, EveryIdTheCodeUsesHasItsClassAndStyleAndEachDialogItsFont)
{
    std::map<int, HWND> dialogs;
    for (int id : {IDD_MAIN, IDD_ABOUT, IDD_METADATA_EDITOR, IDD_UPDATE}) {
        HWND dialog = dialogs[id] = MakeDialog(id);
        ASSERT_NE(dialog, nullptr) << id;
        // A fixed size: the controls are placed for it.
        EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << id;
        LOGFONTA font = {};
        GetObjectA(HFONT(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << id;
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(strncmp(font.lfFaceName, "MS Shell Dlg", 12), 0) << id << " " << font.lfFaceName;
    }
    for (const auto& c : kControls) {
        HWND control = GetDlgItem(dialogs[c.dialog], c.id);
        char className[64] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, c.className) << c.dialog << "/" << c.id;
        const DWORD style = DWORD(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style) << c.dialog << "/" << c.id;
    }
    for (const auto& dialog : dialogs)
        DestroyWindow(dialog.second);
}

// Each shortcut's command has a menu item that names the shortcut, and each named shortcut
// is in the table: a key, a command or an entry gone wrong shows as a mismatch. The items
// without a shortcut are checked by name, since the tests reach them only by id.
TEST(Templates, MenuItemsNameTheShortcutsTheTableHolds)
{
    HWND main = MakeDialog(IDD_MAIN);
    std::map<int, std::string> items;  // command id -> text
    std::vector<HMENU> menus = {GetMenu(main)};
    while (!menus.empty()) {
        HMENU menu = menus.back();
        menus.pop_back();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            MENUITEMINFOA item = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
            item.dwTypeData = text;
            item.cch = sizeof text;
            GetMenuItemInfoA(menu, UINT(i), TRUE, &item);
            if (item.hSubMenu != nullptr) {
                menus.push_back(item.hSubMenu);
            } else if (!(item.fType & MFT_SEPARATOR)) {
                items[int(item.wID)] = text;
                // The window enables and checks items itself as it goes.
                EXPECT_EQ(item.fState & (MFS_DISABLED | MFS_CHECKED), 0u) << text;
            }
        }
    }
    DestroyWindow(main);

    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(size_t(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), int(entries.size()));
    DestroyAcceleratorTable(table);
    size_t named = 0;
    std::vector<std::string> unnamed;  // shortcuts no item names, as "FLAGS KEY COMMAND"
    for (const ACCEL& entry : entries) {
        if (!(entry.fVirt & FCONTROL)) {
            unnamed.push_back(std::to_string(entry.fVirt) + " " + std::to_string(entry.key) + " " +
                              std::to_string(entry.cmd));
            continue;
        }
        ++named;
        const std::map<WORD, std::string> keys = {{VK_DELETE, "Delete"}, {VK_OEM_MINUS, "-"}, {VK_OEM_PLUS, "="}};
        std::string hint = std::string("\tCtrl + ") + (entry.fVirt & FSHIFT ? "Shift + " : "") +
                           (keys.count(entry.key) ? keys.at(entry.key) : std::string(1, char(entry.key)));
        const auto found = items.find(entry.cmd);
        const std::string text = found != items.end() ? found->second : "";
        EXPECT_TRUE(text.size() > hint.size() && text.compare(text.size() - hint.size(), hint.size(), hint) == 0)
            << entry.cmd << ": \"" << text << "\" for" << hint.substr(1);
    }
    size_t hinted = 0;
    for (const auto& item : items)
        hinted += item.second.find('\t') != std::string::npos;
    EXPECT_EQ(hinted, named);
    EXPECT_EQ(items.size(), hinted + 6);
    const auto Entry = [](int flags, int key, int command) {
        return std::to_string(flags | FNOINVERT) + " " + std::to_string(key) + " " + std::to_string(command);
    };
    EXPECT_EQ(unnamed, (std::vector<std::string>{Entry(FVIRTKEY, VK_INSERT, IDM_MOVE_DOWN), Entry(0, '+', IDM_MOVE_UP),
                                                 Entry(FALT, '/', IDM_ABOUT), Entry(FALT, '?', IDM_ABOUT)}));
    EXPECT_EQ(items[IDM_CLEAR_LAYOUT], "Clear Layout");
    EXPECT_EQ(items[IDM_EXIT], "E&xit");
    EXPECT_EQ(items[IDM_VIEW_EXTENDED], "View Extended Positions");
    EXPECT_EQ(items[IDM_ALLOW_SOFTWARE_POSITION], "Allow Software Position Selection");
    EXPECT_EQ(items[IDM_CHECK_UPDATE], "Check Internet for Update...");
    EXPECT_EQ(items[IDM_ABOUT], "About/Contact...");
}

}  // namespace
