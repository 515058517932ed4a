// The grid control "KVGRIDCONTROL": a table of text cells under one header row and
// beside one header column, driven by its owner through window messages and reporting
// to its parent with WM_COMMAND notifications that carry the control id.
//
// Cells are addressed by a cell word MAKELONG(row, column); row 0 is the column-header
// row and column 0 the row-header column, so data cells start at (1, 1).
#pragma once
#include <windows.h>

#include <cstdint>

extern const char kGridControlClass[];  // "KVGRIDCONTROL"

ATOM RegisterGridControlClass(HINSTANCE instance);
LRESULT CALLBACK GridControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Grid messages.
enum : UINT {
    GCM_SETSTYLE = WM_USER + 301,
    GCM_GETSTYLE = WM_USER + 302,
    GCM_CLEARSTYLE = WM_USER + 303,
    GCM_SETCELLTEXT = WM_USER + 304,
    GCM_GETCELLTEXT = WM_USER + 305,
    GCM_RESET = WM_USER + 306,
    GCM_SETSIZE = WM_USER + 307,
    GCM_SELECTCELL = WM_USER + 308,
    GCM_GETCELLTYPE = WM_USER + 309,
    GCM_SETREADONLY = WM_USER + 310,
    GCM_GETREADONLY = WM_USER + 311,
    GCM_GETCELLCHANGED = WM_USER + 312,
    GCM_SETCELLCHANGED = WM_USER + 313,
    GCM_CLEARALLCHANGED = WM_USER + 314,
    GCM_SETCELLBKCOLOR = WM_USER + 315,
    GCM_GETCELLBKCOLOR = WM_USER + 316,
    GCM_SETCELLTEXTCOLOR = WM_USER + 317,
    GCM_GETCELLTEXTCOLOR = WM_USER + 318,
    GCM_GETROWCOUNT = WM_USER + 319,
    GCM_GETCOLCOUNT = WM_USER + 320,
    GCM_GETCURROW = WM_USER + 321,
    GCM_GETCURCOL = WM_USER + 322,
    GCM_GETSELECTION = WM_USER + 323,
    GCM_SETSELECTION = WM_USER + 324,
    GCM_REDRAW = WM_USER + 325,
    GCM_SETCOLWIDTH = WM_USER + 326,
    GCM_GETCOLWIDTH = WM_USER + 327,
    GCM_SETROWHEIGHT = WM_USER + 328,
    GCM_GETROWHEIGHT = WM_USER + 329,
    GCM_SETTITLEHEIGHT = WM_USER + 330,
    GCM_SETTITLEFONT = WM_USER + 331,
    GCM_SETHEADERFONT = WM_USER + 332,
    GCM_COPY = WM_USER + 333,
    GCM_PASTE = WM_USER + 334,
    GCM_GETMODIFIED = WM_USER + 336,
    GCM_SETMODIFIED = WM_USER + 337,
    GCM_SETCELLALIGN = WM_USER + 338,
    GCM_GETCELLALIGN = WM_USER + 339,
    GCM_SETMARKRANGE = WM_USER + 340,
    GCM_SETCOLOR = WM_USER + 341,
    GCM_GETCOLOR = WM_USER + 342,
    GCM_GETCELLTEXTSIZE = WM_USER + 343,
    GCM_GETCELLRECT = WM_USER + 344,
};

// Notification codes (high word of the WM_COMMAND wParam).
enum : WORD {
    GCN_BADCELL = 3,
    GCN_SELCHANGE = 5,
    GCN_DRAGSELECT = 6,
    GCN_BEGINEDIT = 8,
    GCN_DELETEKEY = 9,
    GCN_ENDEDIT = 10,
    GCN_FKEY1 = 11,
    GCN_FKEY12 = 22,
    GCN_SETFOCUS = 23,
    GCN_KILLFOCUS = 24,
    GCN_CLICK = 25,
    GCN_DBLCLK = 26,
    GCN_TEXTSET = 28,
};

// Style bits (GCM_SETSTYLE, GCM_CLEARSTYLE, GCM_GETSTYLE).
enum : uint32_t {
    GS_FILLLASTCOLUMN = 0x000001,
    GS_WHOLEROWS = 0x000002,
    GS_ELLIPSIS = 0x000004,
    GS_AUTOSIZE = 0x000008,
    GS_COLUMNSIZING = 0x000010,
    GS_ROWSIZING = 0x000020,
    GS_TEXTRIGHT = 0x000040,
    GS_NUMBERLEFT = 0x000080,
    GS_SHOWSELECTION = 0x000100,
    GS_ROWHEADERSELECT = 0x000200,
    GS_COLHEADERSELECT = 0x000400,
    GS_EDITABLE = 0x000800,
    GS_MULTISELECT = 0x001000,
    GS_ROWNUMBERS = 0x002000,
    GS_COLUMNLETTERS = 0x004000,
    GS_CELLCOLORS = 0x008000,
    GS_MARKCHANGED = 0x010000,
    GS_BLENDSELECTION = 0x020000,
    GS_NOHSCROLL = 0x040000,
    GS_NOVSCROLL = 0x080000,
    GS_DOUBLEBUFFER = 0x100000,
    GS_DEFAULT = 0x12FF01,
};

// Colour indices (GCM_SETCOLOR, GCM_GETCOLOR).
enum : int {
    GCC_TITLETEXT = 0,
    GCC_READONLYBK = 1,
    GCC_CELLBK = 2,
    GCC_TEXT = 3,
    GCC_FOCUSFRAME = 4,
    GCC_SELHEADERBK = 5,
    GCC_SPARE = 6,
    GCC_GRIDLINE = 7,
    GCC_HEADERBK = 8,
    GCC_CHANGEDTEXT = 9,
    GCC_MARKBK = 10,
    GCC_COUNT = 11,
};

// Cell alignment values (GCM_SETCELLALIGN, GCM_GETCELLALIGN): one vertical and one
// horizontal value ORed.
enum : uint32_t {
    GA_TOP = 0x01,
    GA_MIDDLE = 0x02,
    GA_BOTTOM = 0x04,
    GA_LEFT = 0x08,
    GA_CENTER = 0x10,
    GA_RIGHT = 0x20,
};

// What GCM_SETCELLTEXT and GCM_GETCELLTEXT point to. For setting, size is the most
// characters (terminator included) that may be read; for getting, the buffer size.
struct GridTextRef {
    char* text;
    uint32_t size;
};

// Owner-side wrappers of GCM_GETCELLTEXT and GCM_SETCELLTEXT; they return the message result.
LRESULT GridGetCellText(char* buffer, uint32_t bufferSize, HWND grid, int row, int column);
LRESULT GridSetCellText(const char* text, uint32_t size, HWND grid, int row, int column);
