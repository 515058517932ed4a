// Per-window state of the grid control and the routines that work on it, shared by the
// message handlers, the layout and painting code and the keyboard and mouse handling.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/grid_control.h"

struct GridCell {
    COLORREF background;  // 24-bit; used with GS_CELLCOLORS
    COLORREF textColor;
    char* text;           // owned, exactly textSize bytes; null reads as ""
    uint32_t textSize;    // length + 1, or 0 without a buffer
    uint32_t flags;       // GRID_CELL_ bits
};

enum : uint32_t {
    GRID_CELL_READONLY = 0x02,
    GRID_CELL_CHANGED = 0x04,
    GRID_CELL_ALIGNBITS = 0x78,  // horizontal code in 0x18, vertical code in 0x60
    GRID_CELL_OWNALIGN = 0x80,
};

// Run-time state bits.
enum : uint32_t {
    GRID_CTRL = 0x00001,
    GRID_SHIFT = 0x00002,
    GRID_EDITING = 0x00004,
    GRID_MOUSEDOWN = 0x00008,
    GRID_FOCUS = 0x00020,
    GRID_COLDRAG = 0x00040,
    GRID_ROWDRAG = 0x00080,
    GRID_VSCROLLSHOWN = 0x00200,
    GRID_HSCROLLSHOWN = 0x00400,
    GRID_ROWSOVERFLOW = 0x00800,
    GRID_COLSOVERFLOW = 0x01000,
    GRID_DISABLED = 0x02000,
    GRID_MODIFIED = 0x04000,
    GRID_COLSELECTDRAG = 0x08000,
    GRID_ROWSELECTDRAG = 0x10000,
    GRID_REDRAWOFF = 0x20000,
};

enum {
    kGridMaxDataRows = 32000,
    kGridMaxDataColumns = 256,
    kGridTitleMax = 300,     // longer titles are refused
    kGridTextBuffer = 305,   // title and edit text buffers
    kGridEditMax = 300,      // an edit text longer than this takes no more characters
    kGridFieldMax = 255,     // characters of one cell in a copy or a paste
    kGridDefaultWidth = 50,
    kGridDefaultHeight = 21,
};

const COLORREF kGridSelection = 0xDBA280;
const COLORREF kGridSelectionNoFocus = 0xB4B4B4;
const COLORREF kGridSelHeaderNoFocus = 0xDCDCDC;
const COLORREF kGridDisabledText = 0x787878;

struct GridState {
    // Rows of cells; a null row holds only fresh cells and is made on its first write,
    // so a grid of 32000 rows costs little until it is filled.
    GridCell** rows;
    uint16_t rowCount;     // header row included
    uint16_t columnCount;  // header column included
    uint32_t style;
    uint32_t state;
    HWND window;
    UINT controlId;
    char title[kGridTextBuffer];
    char editText[kGridTextBuffer];
    HFONT cellFont;
    HFONT headerFont;
    HFONT titleFont;
    // The fonts the grid made itself; only these are ever deleted by it.
    HFONT ownCellFont;
    HFONT ownHeaderFont;
    HFONT ownTitleFont;
    int hoverZone;
    uint32_t savedWholeRows;
    uint16_t clientWidth;
    uint16_t clientHeight;
    uint16_t topRow;
    uint16_t leftColumn;
    uint16_t titleHeight;
    uint16_t caretHeight;
    uint16_t lastVisibleColumn;
    uint16_t lastVisibleRow;
    uint16_t* widths;   // columnCount entries
    uint16_t* heights;  // rowCount entries
    uint16_t dragIndex;
    uint16_t dragStartSize;
    uint16_t dragStartCoordinate;
    COLORREF colors[GCC_COUNT];
    int currentRow;
    int currentColumn;
    int anchorRow;
    int anchorColumn;
    uint16_t markRow1, markColumn1, markRow2, markColumn2;
    UINT_PTR autoScrollTimer;
    int autoScrollTicks;
    bool inLayout;  // scroll bars being shown or hidden: sizes only, no repaint
    bool caretShown;  // hiding a caret counts, so it is hidden only once per showing
};

// State lifetime (grid_model.cpp).
GridState* GridCreateState(HWND window);
void GridDestroyState(GridState* grid);
GridState* GridStateOf(HWND window);

// Cells. GridCellAt gives a fresh empty cell for any address outside the grid, so readers
// never leave the tables; GridMutableCell gives null there (or when memory runs out).
const GridCell& GridCellAt(const GridState& grid, int row, int column);
GridCell* GridMutableCell(GridState& grid, int row, int column);
const char* GridCellText(const GridState& grid, int row, int column);
bool GridCellInside(const GridState& grid, int row, int column);
bool GridStoreText(GridState& grid, int row, int column, const char* text, uint32_t length);
bool GridResize(GridState& grid, unsigned dataRows, unsigned dataColumns);
void GridClearTexts(GridState& grid);

// Classification and alignment (grid_cells.cpp).
enum { GRID_TYPE_TEXT = 1, GRID_TYPE_NUMBER = 2 };
int GridClassifyText(const char* text);
uint32_t GridEncodeAlign(uint32_t alignValues);
uint32_t GridDecodeAlign(uint32_t cellFlags);
// Header text of a column under GS_COLUMNLETTERS: " A" ... " Z", "AA" ... "IV".
void GridColumnLetters(int column, char out[3]);

inline int GridClamp(long long value, int low, int high)
{
    return value < low ? low : value > high ? high : int(value);
}

// Notifications to the parent.
void GridNotify(const GridState& grid, WORD code, LPARAM lParam);
inline LPARAM GridCellWord(int row, int column) { return LPARAM(DWORD(MAKELONG(row, column))); }
inline LPARAM GridCurrentCellWord(const GridState& grid) { return GridCellWord(grid.currentRow, grid.currentColumn); }

// Invalidation helpers: the whole client area without erasing, or with erasing and at once.
void GridRepaint(const GridState& grid);
void GridRedrawNow(const GridState& grid);

// Geometry (grid_geometry.cpp): pure functions of the state.
RECT GridCellRect(const GridState& grid, int row, int column);
int GridColumnAtX(const GridState& grid, int x);
int GridRowAtY(const GridState& grid, int y);
int GridNextShownRow(const GridState& grid, int row, int direction);
int GridNextShownColumn(const GridState& grid, int column, int direction);
int GridRowsPerPage(const GridState& grid, int row, int direction);
int GridColumnsPerPage(const GridState& grid, int column, int direction);
void GridComputeVisibleRanges(GridState& grid);
int GridShownColumnsUpTo(const GridState& grid, int column);
int GridShownDataRows(const GridState& grid);

// Scrolling (grid_scroll.cpp): these touch the window's scroll bars.
void GridReadClientSize(GridState& grid);
void GridUpdateLayout(GridState& grid);
void GridScrollRowIntoView(GridState& grid, int row);
void GridScrollColumnIntoView(GridState& grid, int column);
void GridOnVScroll(GridState& grid, int request, int trackPosition);
void GridOnHScroll(GridState& grid, int request, int trackPosition);
void GridOnMouseWheel(GridState& grid, int wheelDelta);

// Painting (grid_paint.cpp).
void GridPaint(GridState& grid, HDC target);

// In-place editing and the caret (grid_edit.cpp).
bool GridCurrentCellWritable(const GridState& grid);
void GridCreateCaret(GridState& grid);
void GridDestroyCaret(GridState& grid);
void GridPlaceCaret(GridState& grid);
void GridDrawEditBox(const GridState& grid, HDC dc);
void GridRedrawEditBox(GridState& grid);
void GridBeginEdit(GridState& grid);
void GridEditAppend(GridState& grid, char character);
void GridEditBackspace(GridState& grid);
void GridCommitEdit(GridState& grid);
void GridCancelEdit(GridState& grid);

// Keyboard (grid_keys.cpp).
void GridFinishMove(GridState& grid);
void GridOnKeyDown(GridState& grid, WPARAM key);
void GridOnKeyUp(GridState& grid, WPARAM key);
LRESULT GridOnChar(GridState& grid, WPARAM character);

// Mouse (grid_mouse.cpp); x and y are signed client coordinates.
void GridOnButtonDown(GridState& grid, int x, int y);
void GridOnMouseMove(GridState& grid, int x, int y);
void GridOnButtonUp(GridState& grid);
void GridEndMouseDrags(GridState& grid);
void GridOnDoubleClick(GridState& grid, int x, int y);

// Border dragging and the hover zone with its cursor (grid_borders.cpp).
enum { GRID_ZONE_ORDINARY = 1, GRID_ZONE_COLUMNBORDER = 2, GRID_ZONE_ROWBORDER = 3 };
bool GridBorderDragRuns(const GridState& grid);
void GridStartBorderDrag(GridState& grid, int x, int y);
void GridDragBorder(GridState& grid, int x, int y);
void GridEndBorderDrags(GridState& grid);
void GridUpdateHoverZone(GridState& grid, int x, int y, int row, int column);

// Auto-scroll during a drag selection (grid_autoscroll.cpp).
void GridFollowWithAutoScroll(GridState& grid, int x, int y);
void GridStopAutoScroll(GridState& grid);
void GridOnAutoScrollTick(GridState& grid);

// Clipboard (grid_clipboard.cpp).
LRESULT GridCopy(GridState& grid);
LRESULT GridPaste(GridState& grid);
