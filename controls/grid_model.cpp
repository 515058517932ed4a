// The grid's data: state lifetime, the cell table, the width and height lists, resizing.
#include <cstdlib>
#include <cstring>

#include "controls/grid_state.h"

static const GridCell kFreshCell = {0xFFFFFF, 0x000000, nullptr, 0, 0};

static HFONT CreateGridFont(int weight)
{
    return CreateFontA(14, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, 0, 0, 2, 0x32, "Arial");
}

static void SetDefaultColors(GridState& grid)
{
    static const COLORREF defaults[GCC_COUNT] = {
        0x000000, 0xE6E6E6, 0xFFFFFF, 0x000000, 0xFFFFFF, RGB(248, 237, 158),
        0xFFFFFF, 0xDCDCDC, 0,        0x0000FF, 0x00FFFF,
    };
    for (int i = 0; i < GCC_COUNT; ++i)
        grid.colors[i] = defaults[i];
    grid.colors[GCC_HEADERBK] = GetSysColor(COLOR_BTNFACE);
}

GridState* GridCreateState(HWND window)
{
    GridState* grid = static_cast<GridState*>(calloc(1, sizeof(GridState)));
    if (grid == nullptr)
        return nullptr;
    grid->window = window;
    grid->style = GS_DEFAULT;
    grid->topRow = 1;
    grid->leftColumn = 1;
    grid->currentRow = grid->currentColumn = 1;
    grid->anchorRow = grid->anchorColumn = 1;
    SetDefaultColors(*grid);
    if (!GridResize(*grid, 10, 10)) {
        free(grid);
        return nullptr;
    }
    grid->ownCellFont = grid->cellFont = CreateGridFont(100);
    grid->ownHeaderFont = grid->headerFont = CreateGridFont(400);
    grid->ownTitleFont = grid->titleFont = CreateGridFont(600);
    return grid;
}

static void FreeRows(GridCell** rows, int rowCount, int columnCount)
{
    if (rows == nullptr)
        return;
    for (int r = 0; r < rowCount; ++r) {
        if (rows[r] == nullptr)
            continue;
        for (int c = 0; c < columnCount; ++c)
            free(rows[r][c].text);
        free(rows[r]);
    }
    free(rows);
}

void GridDestroyState(GridState* grid)
{
    if (grid == nullptr)
        return;
    if (grid->ownCellFont != nullptr)
        DeleteObject(grid->ownCellFont);
    if (grid->ownHeaderFont != nullptr)
        DeleteObject(grid->ownHeaderFont);
    if (grid->ownTitleFont != nullptr)
        DeleteObject(grid->ownTitleFont);
    FreeRows(grid->rows, grid->rowCount, grid->columnCount);
    free(grid->widths);
    free(grid->heights);
    free(grid);
}

GridState* GridStateOf(HWND window)
{
    return reinterpret_cast<GridState*>(GetWindowLongPtrA(window, 0));
}

bool GridCellInside(const GridState& grid, int row, int column)
{
    return row >= 0 && column >= 0 && row < grid.rowCount && column < grid.columnCount;
}

const GridCell& GridCellAt(const GridState& grid, int row, int column)
{
    if (!GridCellInside(grid, row, column) || grid.rows[row] == nullptr)
        return kFreshCell;
    return grid.rows[row][column];
}

static GridCell* NewRow(int columnCount)
{
    GridCell* row = static_cast<GridCell*>(malloc(sizeof(GridCell) * size_t(columnCount)));
    if (row != nullptr)
        for (int c = 0; c < columnCount; ++c)
            row[c] = kFreshCell;
    return row;
}

GridCell* GridMutableCell(GridState& grid, int row, int column)
{
    if (!GridCellInside(grid, row, column))
        return nullptr;
    if (grid.rows[row] == nullptr)
        grid.rows[row] = NewRow(grid.columnCount);
    return grid.rows[row] != nullptr ? &grid.rows[row][column] : nullptr;
}

const char* GridCellText(const GridState& grid, int row, int column)
{
    const GridCell& cell = GridCellAt(grid, row, column);
    return cell.text != nullptr ? cell.text : "";
}

bool GridStoreText(GridState& grid, int row, int column, const char* text, uint32_t length)
{
    GridCell* cell = GridMutableCell(grid, row, column);
    if (cell == nullptr)
        return false;
    char* copy = static_cast<char*>(malloc(size_t(length) + 1));
    if (copy == nullptr)
        return false;
    memcpy(copy, text, length);
    copy[length] = '\0';
    free(cell->text);
    cell->text = copy;
    cell->textSize = length + 1;
    return true;
}

void GridClearTexts(GridState& grid)
{
    for (int r = 0; r < grid.rowCount; ++r) {
        if (grid.rows[r] == nullptr)
            continue;
        for (int c = 0; c < grid.columnCount; ++c) {
            free(grid.rows[r][c].text);
            grid.rows[r][c].text = nullptr;
            grid.rows[r][c].textSize = 0;
        }
    }
}

// A list of count sizes that keeps the first entries of the old list.
static uint16_t* ResizedList(const uint16_t* old, int oldCount, int count, uint16_t fresh)
{
    uint16_t* list = static_cast<uint16_t*>(malloc(sizeof(uint16_t) * size_t(count)));
    if (list != nullptr)
        for (int i = 0; i < count; ++i)
            list[i] = i < oldCount ? old[i] : fresh;
    return list;
}

// The new table takes over the surviving cells (their texts move, they are not copied);
// on a failed allocation nothing of the old table has been touched.
static GridCell** ResizedTable(const GridState& grid, int rowCount, int columnCount)
{
    GridCell** rows = static_cast<GridCell**>(calloc(size_t(rowCount), sizeof(GridCell*)));
    if (rows == nullptr)
        return nullptr;
    int keepColumns = columnCount < grid.columnCount ? columnCount : grid.columnCount;
    for (int r = 0; r < rowCount && r < grid.rowCount; ++r) {
        if (grid.rows == nullptr || grid.rows[r] == nullptr)
            continue;
        rows[r] = NewRow(columnCount);
        if (rows[r] == nullptr) {
            for (int i = 0; i < r; ++i)
                free(rows[i]);
            free(rows);
            return nullptr;
        }
        memcpy(rows[r], grid.rows[r], sizeof(GridCell) * size_t(keepColumns));
    }
    return rows;
}

static void DropMovedCells(GridState& grid, int rowCount, int columnCount)
{
    for (int r = 0; r < grid.rowCount; ++r) {
        if (grid.rows == nullptr || grid.rows[r] == nullptr)
            continue;
        for (int c = 0; c < grid.columnCount; ++c)
            if (r >= rowCount || c >= columnCount)
                free(grid.rows[r][c].text);
        free(grid.rows[r]);
    }
    free(grid.rows);
}

bool GridResize(GridState& grid, unsigned dataRows, unsigned dataColumns)
{
    int rowCount = int(dataRows > unsigned(kGridMaxDataRows) ? unsigned(kGridMaxDataRows) : dataRows) + 1;
    int columnCount = int(dataColumns > unsigned(kGridMaxDataColumns) ? unsigned(kGridMaxDataColumns) : dataColumns) + 1;
    uint16_t* widths = ResizedList(grid.widths, grid.columnCount, columnCount, kGridDefaultWidth);
    uint16_t* heights = ResizedList(grid.heights, grid.rowCount, rowCount, kGridDefaultHeight);
    GridCell** rows = grid.rows;
    bool rebuild = rows == nullptr || rowCount != grid.rowCount || columnCount != grid.columnCount;
    if (rebuild && widths != nullptr && heights != nullptr)
        rows = ResizedTable(grid, rowCount, columnCount);
    if (widths == nullptr || heights == nullptr || rows == nullptr) {
        free(widths);
        free(heights);
        return false;
    }
    if (rebuild)
        DropMovedCells(grid, rowCount, columnCount);
    free(grid.widths);
    free(grid.heights);
    grid.widths = widths;
    grid.heights = heights;
    grid.rows = rows;
    grid.rowCount = uint16_t(rowCount);
    grid.columnCount = uint16_t(columnCount);

    int lastRow = rowCount > 1 ? rowCount - 1 : 1;
    int lastColumn = columnCount > 1 ? columnCount - 1 : 1;
    grid.currentRow = GridClamp(grid.currentRow, 1, lastRow);
    grid.anchorRow = GridClamp(grid.anchorRow, 1, lastRow);
    grid.currentColumn = GridClamp(grid.currentColumn, 1, lastColumn);
    grid.anchorColumn = GridClamp(grid.anchorColumn, 1, lastColumn);
    grid.topRow = uint16_t(GridClamp(grid.topRow, 1, lastRow));
    grid.leftColumn = uint16_t(GridClamp(grid.leftColumn, 1, lastColumn));
    // The visible range is worked out again at the next paint; until then it must not
    // name rows or columns that are gone.
    grid.lastVisibleRow = uint16_t(GridClamp(grid.lastVisibleRow, 0, rowCount - 1));
    grid.lastVisibleColumn = uint16_t(GridClamp(grid.lastVisibleColumn, 0, columnCount - 1));
    return true;
}

void GridNotify(const GridState& grid, WORD code, LPARAM lParam)
{
    HWND parent = GetParent(grid.window);
    if (parent != nullptr)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(grid.controlId, code), lParam);
}

void GridRepaint(const GridState& grid)
{
    InvalidateRect(grid.window, nullptr, FALSE);
}

void GridRedrawNow(const GridState& grid)
{
    RedrawWindow(grid.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
