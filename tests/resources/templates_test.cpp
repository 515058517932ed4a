// The dialog templates, the main menu and the shortcut table, as the windows made from
// them see them: created from the real resources and read back through the window system.
// (The shortcuts as the message loop meets them: main_window_tests.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/register_controls.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"

// ACCEL lives in the global namespace, where the comparisons of vectors look for these.
bool operator==(const ACCEL& a, const ACCEL& b)
{
    return a.fVirt == b.fVirt && a.key == b.key && a.cmd == b.cmd;
}

void PrintTo(const ACCEL& a, std::ostream* out)
{
    *out << "{0x" << std::hex << int(a.fVirt) << ", 0x" << a.key << std::dec << ", " << a.cmd << "}";
}

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A dialog made from one template of this program, destroyed with the object.
struct Dialog {
    explicit Dialog(int id)
    {
        HINSTANCE module = GetModuleHandleA(nullptr);
        RegisterControlClasses(module);
        window = CreateDialogParamA(module, MAKEINTRESOURCEA(id), nullptr, PlainProc, 0);
    }
    ~Dialog() { DestroyWindow(window); }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    HWND window = nullptr;
};

// The style bits that make a control behave as it must: shown (the selector and its label
// start hidden), reachable by Tab, read-only, multi-line, the default button.
const DWORD kButton = WS_VISIBLE | WS_TABSTOP;
const DWORD kDefaultButton = kButton | BS_DEFPUSHBUTTON;
const DWORD kLabel = WS_VISIBLE;
const DWORD kCustom = WS_VISIBLE | WS_TABSTOP;
const DWORD kInfoBox = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
const DWORD kLineEdit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD kTextEdit = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;

struct Box {
    int x, y, width, height;  // dialog units; all zero: not checked
};

struct Control {
    int id;
    const char* className;
    const char* text;  // nullptr: our own wording, not checked
    DWORD style;       // bits that must be set
    Box box;
};

struct Template {
    int id;
    const char* caption;
    int width, height;  // of the client area, in dialog units
    DWORD frame;        // besides a fixed size
    std::vector<Control> controls;  // in tab order
};

const DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU;

const std::vector<Template> kTemplates = {
    {IDD_MAIN, "T6/Orrery Programming Utility", 507, 315, kFrame | DS_CENTER,
     {
         {IDC_POSITION_GRID, "KVGRIDCONTROL", "Local PC", kCustom, {7, 7, 493, 104}},
         {IDC_BROWSE, "Button", "Browse for Selection...", kButton, {70, 116, 85, 14}},
         {IDC_MOVE_UP, "Button", "Move Selection Up", kButton, {70, 133, 85, 14}},
         {IDC_MOVE_DOWN, "Button", "Move Selection Down", kButton, {70, 150, 85, 14}},
         {IDC_QUERY_DEVICE, "Button", "Query Device", kDefaultButton, {211, 116, 85, 14}},
         {IDC_WRITE_SELECTION, "Button", "Write Selection", kButton, {211, 133, 85, 14}},
         {IDC_WRITE_ALL, "Button", "Write All", kButton, {211, 150, 85, 14}},
         {IDC_VERIFY_SELECTION, "Button", "Verify Selection", kButton, {358, 116, 85, 14}},
         {IDC_ERASE_SELECTION, "Button", "Erase Selection", kButton, {358, 133, 85, 14}},
         {IDC_ERASE_ALL, "Button", "Erase All", kButton, {358, 150, 85, 14}},
         {IDC_PROGRESS, "KVTEXTPROGRESS", "", kCustom, {7, 168, 493, 10}},
         {-1, "Static", "File Info:", kLabel, {7, 182, 30, 8}},
         {-1, "Static", "Status:", kLabel, {185, 182, 24, 8}},
         {-1, "Static", "Device Tune info:", kLabel, {330, 182, 57, 8}},
         {IDC_FILE_INFO_BOX, "Edit", "", kInfoBox, {7, 193, 172, 97}},
         {IDC_STATUS_BOX, "Edit", "", kInfoBox, {183, 193, 144, 97}},
         {IDC_DEVICE_INFO_BOX, "Edit", "", kInfoBox, {332, 193, 168, 97}},
         {IDC_EDIT_FILE_INFO, "Button", "Edit File Info", kButton, {81, 294, 58, 14}},
         {IDCANCEL, "Button", "Close", kButton, {228, 294, 50, 14}},
         {IDC_POSITION_SELECTOR_LABEL, "Static", "Software Position:", 0, {316, 299, 60, 9}},
         {IDC_POSITION_SELECTOR, "ComboBox", "", WS_TABSTOP | CBS_DROPDOWNLIST, {378, 296, 48, 193}},
     }},
    {IDD_ABOUT, "About", 230, 90, kFrame,
     {
         {-1, "Static", "T6/Orrery Device Utility", kLabel | SS_CENTER, {}},
         {IDOK, "Button", "Close", kDefaultButton, {}},
         {-1, "Static", "Support:", kLabel, {}},
         {IDC_SUPPORT_LINK, "Static", nullptr, kLabel, {}},
         {-1, "Static", nullptr, kLabel | SS_CENTER, {}},
         {-1, "Static", nullptr, kLabel | SS_CENTER, {}},
     }},
    {IDD_METADATA_EDITOR, "Tune File Metadata Editor", 316, 139, kFrame,
     {
         {IDC_EDITOR_VERSION, "Edit", "", kLineEdit, {}},
         {IDC_EDITOR_SUMMARY, "Edit", "", kLineEdit, {}},
         {IDC_EDITOR_DESCRIPTION, "Edit", "", kTextEdit, {}},
         {IDOK, "Button", "Save", kDefaultButton, {}},
         {IDCANCEL, "Button", "Cancel", kButton, {}},
         {-1, "Static", "Tune Version", kLabel | SS_RIGHT, {}},
         {-1, "Static", "Summary", kLabel | SS_RIGHT, {}},
         {-1, "Static", "Detailed Description", kLabel | SS_RIGHT, {}},
     }},
    {IDD_UPDATE, "Check For Updates", 229, 46, kFrame,
     {
         {IDC_UPDATE_STATUS, "Static", "", kLabel | WS_BORDER | SS_CENTER, {}},
         {IDC_UPDATE_CHECK, "Button", "Check For Updates", kButton, {}},
         {IDCANCEL, "Button", "Close", kButton, {}},
     }},
};

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string Corners(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Like the dialog manager, scale the size apart from the position: their roundings add.
RECT ToPixels(HWND dialog, int left, int top, int width, int height)
{
    RECT rect = {left, top, width, height};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

// The control's rectangle in the dialog's client area, in pixels. A combo box is as tall
// as its closed box: the table's height is that of its list, which common controls 6
// sizes to the entries anyway; only its top, left and width are the table's.
RECT PlacedRect(HWND dialog, HWND control, const RECT& expected)
{
    RECT placed;
    GetWindowRect(control, &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    if (ClassOf(control) == "ComboBox")
        placed.bottom = expected.bottom;
    return placed;
}

// The style as the template gave it: a bordered control trades WS_BORDER for a sunken
// client edge when it is created.
::testing::AssertionResult HasStyle(DWORD must, HWND window)
{
    DWORD actual = DWORD(GetWindowLongA(window, GWL_STYLE));
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        actual |= WS_BORDER;
    if ((actual & must) == must)
        return ::testing::AssertionSuccess();
    char text[64];
    snprintf(text, sizeof text, "style %#lx lacks %#lx", static_cast<unsigned long>(actual),
             static_cast<unsigned long>(must & ~actual));
    return ::testing::AssertionFailure() << text;
}

TEST(Templates, EachDialogHasItsFrameAndItsControlsInTabOrder)
{
    for (const Template& t : kTemplates) {
        SCOPED_TRACE("template " + std::to_string(t.id));
        Dialog dialog(t.id);
        ASSERT_NE(dialog.window, nullptr);
        HWND window = dialog.window;

        EXPECT_EQ(t.caption, WindowText(window));
        EXPECT_TRUE(HasStyle(t.frame, window));
        EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(Corners(ToPixels(window, 0, 0, t.width, t.height)), Corners(client));
        LOGFONTA font = {};
        GetObjectA(HFONT(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(0, strncmp(font.lfFaceName, "MS Shell Dlg", 12)) << font.lfFaceName;

        // The children in creation order are the controls in tab order.
        size_t index = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT), ++index) {
            ASSERT_LT(index, t.controls.size()) << "an extra control, id " << GetDlgCtrlID(child);
            const Control& c = t.controls[index];
            SCOPED_TRACE("control " + std::to_string(index) + ", id " + std::to_string(c.id));
            EXPECT_EQ(c.id, short(GetDlgCtrlID(child)));
            EXPECT_EQ(c.className, ClassOf(child));
            if (c.text != nullptr) {
                EXPECT_EQ(c.text, WindowText(child));
            }
            EXPECT_TRUE(HasStyle(c.style, child));
            EXPECT_TRUE(IsWindowEnabled(child));  // the window disables what it must itself
            if (c.box.width != 0) {
                RECT expected = ToPixels(window, c.box.x, c.box.y, c.box.width, c.box.height);
                EXPECT_EQ(Corners(expected), Corners(PlacedRect(window, child, expected)));
            }
        }
        EXPECT_EQ(t.controls.size(), index);
    }
}

// One line a menu item: its path of popup texts, then its text and id ("-" a separator).
void Flatten(HMENU menu, const std::string& path, std::vector<std::string>& lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof(text);
        GetMenuItemInfoA(menu, UINT(i), TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            lines.push_back(path + "-");
        } else if (item.hSubMenu != nullptr) {
            Flatten(item.hSubMenu, path + text + ">", lines);
        } else {
            // Every command starts enabled and unchecked; the window sets them as it goes.
            EXPECT_EQ(0u, item.fState & (MFS_DISABLED | MFS_CHECKED)) << path << text;
            lines.push_back(path + text + " " + std::to_string(item.wID));
        }
    }
}

TEST(Templates, MainMenuBar)
{
    Dialog main(IDD_MAIN);
    std::vector<std::string> lines;
    Flatten(GetMenu(main.window), "", lines);
    const std::vector<std::string> expected = {
        "&File>Browse for Tune for Selected Bank...\tCtrl + B 32804",
        "&File>-",
        "&File>Load Layout...\tCtrl + L 32789",
        "&File>Save Layout\tCtrl + S 32790",
        "&File>Save Layout As...\tCtrl + Shift + S 32801",
        "&File>Clear Layout 32824",
        "&File>-",
        "&File>E&xit 105",
        "&Action>Query Device\tCtrl + Q 32779",
        "&Action>-",
        "&Action>Write Selection\tCtrl + W 32780",
        "&Action>Write-At-Once\tCtrl + U 32781",
        "&Action>-",
        "&Action>Verify Selection\tCtrl + T 32782",
        "&Action>Verify All\tCtrl + Shift + T 32849",
        "&Action>-",
        "&Action>Move Selection Up\tCtrl + = 32798",
        "&Action>Move Selection Down\tCtrl + - 32799",
        "&Action>-",
        "&Action>Erase Selection\tCtrl + E 32783",
        "&Action>Erase Device\tCtrl + Delete 32784",
        "&Action>-",
        "&Action>Advanced>View Extended Positions 32827",
        "&Action>Advanced>Allow Software Position Selection 32846",
        "&Help>Check Internet for Update... 32813",
        "&Help>-",
        "&Help>About/Contact... 104",
    };
    EXPECT_EQ(expected, lines);
}

const BYTE kCtrl = FVIRTKEY | FCONTROL | FNOINVERT;

TEST(Templates, ShortcutTable)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(size_t(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), int(entries.size()));
    const std::vector<ACCEL> expected = {
        {kCtrl, 'Q', IDM_QUERY_DEVICE},
        {kCtrl, 'W', IDM_WRITE_SELECTION},
        {kCtrl, 'U', IDM_WRITE_ALL},
        {kCtrl, 'T', IDM_VERIFY_SELECTION},
        {kCtrl | FSHIFT, 'T', IDM_VERIFY_ALL},
        {kCtrl, 'E', IDM_ERASE_SELECTION},
        {kCtrl, VK_DELETE, IDM_ERASE_DEVICE},
        {kCtrl, 'B', IDM_BROWSE},
        {kCtrl, 'L', IDM_LOAD_LAYOUT},
        {kCtrl, 'S', IDM_SAVE_LAYOUT},
        {kCtrl | FSHIFT, 'S', IDM_SAVE_LAYOUT_AS},
        {kCtrl, VK_OEM_MINUS, IDM_MOVE_DOWN},
        {FVIRTKEY | FNOINVERT, VK_INSERT, IDM_MOVE_DOWN},
        {kCtrl, VK_OEM_PLUS, IDM_MOVE_UP},
        {FNOINVERT, '+', IDM_MOVE_UP},
        {FALT | FNOINVERT, '/', IDM_ABOUT},
        {FALT | FNOINVERT, '?', IDM_ABOUT},
    };
    EXPECT_EQ(expected, entries);
    DestroyAcceleratorTable(table);
}

}  // namespace
