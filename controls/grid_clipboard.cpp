// Copy and paste of the selection as tab-separated lines of text through the clipboard.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls/grid_state.h"

enum : size_t {
    kPasteMax = 65535,            // longer clipboard texts are refused
    kCopyMax = 16 * 1024 * 1024,  // a copy needing more is refused like a failed allocation
};

struct Block {
    int top, left, bottom, right;
};

static Block SelectionBlock(const GridState& grid)
{
    Block block;
    block.top = grid.currentRow < grid.anchorRow ? grid.currentRow : grid.anchorRow;
    block.bottom = grid.currentRow < grid.anchorRow ? grid.anchorRow : grid.currentRow;
    block.left = grid.currentColumn < grid.anchorColumn ? grid.currentColumn : grid.anchorColumn;
    block.right = grid.currentColumn < grid.anchorColumn ? grid.anchorColumn : grid.currentColumn;
    return block;
}

static size_t FieldLength(const GridState& grid, int row, int column)
{
    return strnlen(GridCellText(grid, row, column), kGridFieldMax);
}

// Every cell but the last of a row is followed by a TAB, every row by CR LF; with the
// terminator, one byte more.
static size_t CopySize(const GridState& grid, const Block& block)
{
    size_t size = 1;
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int column = block.left; column <= block.right; ++column)
            size += FieldLength(grid, row, column) + 1;
        size += 1;
        if (size > kCopyMax)
            break;
    }
    return size;
}

static void WriteCopyText(const GridState& grid, const Block& block, char* out)
{
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int column = block.left; column <= block.right; ++column) {
            size_t length = FieldLength(grid, row, column);
            memcpy(out, GridCellText(grid, row, column), length);
            out += length;
            if (column < block.right)
                *out++ = '\t';
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    *out = '\0';
}

LRESULT GridCopy(GridState& grid)
{
    if (!OpenClipboard(grid.window))
        return 0;
    EmptyClipboard();
    Block block = SelectionBlock(grid);
    size_t size = CopySize(grid, block);
    HGLOBAL memory = size <= kCopyMax ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    char* text = memory != nullptr ? static_cast<char*>(GlobalLock(memory)) : nullptr;
    if (text == nullptr) {
        if (memory != nullptr)
            GlobalFree(memory);
        CloseClipboard();
        return 0;
    }
    WriteCopyText(grid, block, text);
    GlobalUnlock(memory);
    bool taken = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!taken)
        GlobalFree(memory);
    CloseClipboard();
    return taken ? 1 : 0;
}

// The clipboard text, copied out so that the clipboard is not held open while the parent
// hears of every pasted cell. Bounded by the clipboard block itself, so a text without a
// terminator is never read past its end. Null when there is none, or it is too long.
static char* TakeClipboardText(HWND window, size_t* length)
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(window))
        return nullptr;
    char* copy = nullptr;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text != nullptr) {
        size_t blockSize = GlobalSize(data);
        *length = strnlen(text, blockSize < kPasteMax + 1 ? blockSize : kPasteMax + 1);
        if (*length <= kPasteMax && (copy = static_cast<char*>(malloc(*length + 1))) != nullptr) {
            memcpy(copy, text, *length);
            copy[*length] = '\0';
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return copy;
}

// Walks the pasted text line by line. A line ends at LF; its content at the first CR or LF.
// Fields are separated by TABs; a field beyond the end of its line's content reads as
// empty, fields beyond the block's width are dropped with the rest of the line, and every
// field keeps at most 255 characters. Nothing is read past the end of the text.
class PasteReader {
public:
    PasteReader(const char* text, size_t length) : text_(text), length_(length) {}

    void NextField(char (&field)[kGridFieldMax + 1])
    {
        size_t kept = 0;
        while (!AtContentEnd() && text_[at_] != '\t') {
            if (kept < kGridFieldMax)
                field[kept++] = text_[at_];
            ++at_;
        }
        field[kept] = '\0';
        if (at_ < length_ && text_[at_] == '\t')
            ++at_;
    }

    void NextLine()
    {
        while (at_ < length_ && text_[at_] != '\n')
            ++at_;
        if (at_ < length_)
            ++at_;
    }

private:
    bool AtContentEnd() const { return at_ >= length_ || text_[at_] == '\r' || text_[at_] == '\n'; }

    const char* text_;
    size_t length_;
    size_t at_ = 0;
};

static void PasteField(GridState& grid, int row, int column, char (&field)[kGridFieldMax + 1])
{
    char present[kGridFieldMax + 1];
    snprintf(present, sizeof(present), "%s", GridCellText(grid, row, column));
    if (strcmp(present, field) != 0)
        if (GridCell* cell = GridMutableCell(grid, row, column))
            cell->flags |= GRID_CELL_CHANGED;
    GridTextRef ref = {field, sizeof(field)};
    SendMessageA(grid.window, GCM_SETCELLTEXT, WPARAM(GridCellWord(row, column)), LPARAM(&ref));
    grid.state |= GRID_MODIFIED;
    GridNotify(grid, GCN_TEXTSET, GridCellWord(row, column));
}

// The block is lines (LF count) high and TABs / lines + 1 wide, placed at the selection's
// top-left cell; a block that does not fit is not pasted at all.
static bool PasteText(GridState& grid, const char* text, size_t length, Block* pasted)
{
    size_t lines = 0, tabs = 0;
    for (size_t i = 0; i < length; ++i) {
        lines += text[i] == '\n';
        tabs += text[i] == '\t';
    }
    if (lines == 0)
        return false;
    size_t columns = tabs / lines + 1;
    Block block = SelectionBlock(grid);
    if (size_t(block.left) + columns - 1 >= size_t(grid.columnCount) ||
        size_t(block.top) + lines - 1 >= size_t(grid.rowCount))
        return false;
    block.bottom = block.top + int(lines) - 1;
    block.right = block.left + int(columns) - 1;

    PasteReader reader(text, length);
    char field[kGridFieldMax + 1];
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int column = block.left; column <= block.right; ++column) {
            reader.NextField(field);
            PasteField(grid, row, column, field);
        }
        reader.NextLine();
    }
    *pasted = block;
    return true;
}

LRESULT GridPaste(GridState& grid)
{
    if (!(grid.style & GS_EDITABLE))
        return 0;
    size_t length = 0;
    char* text = TakeClipboardText(grid.window, &length);
    if (text == nullptr)
        return 0;
    Block block;
    bool pasted = PasteText(grid, text, length, &block);
    free(text);
    if (!pasted)
        return 0;
    // A parent that resized the grid while hearing of the cells leaves the block partly outside.
    int lastRow = grid.rowCount > 1 ? grid.rowCount - 1 : 1;
    int lastColumn = grid.columnCount > 1 ? grid.columnCount - 1 : 1;
    grid.anchorRow = GridClamp(block.top, 1, lastRow);
    grid.anchorColumn = GridClamp(block.left, 1, lastColumn);
    grid.currentRow = GridClamp(block.bottom, 1, lastRow);
    grid.currentColumn = GridClamp(block.right, 1, lastColumn);
    GridRepaint(grid);
    return 1;
}
