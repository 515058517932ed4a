// Auto-scroll: while a drag selection is outside the window, a timer moves the view
// toward the cursor.
#include "controls/grid_state.h"

enum { kAutoScrollTimer = 1, kAutoScrollPeriod = 10 };

void GridStopAutoScroll(GridState& grid)
{
    if (grid.autoScrollTimer != 0)
        KillTimer(grid.window, grid.autoScrollTimer);
    grid.autoScrollTimer = 0;
}

// Inside the window the timer stops; outside it starts, counting its ticks from 0.
void GridFollowWithAutoScroll(GridState& grid, int x, int y)
{
    RECT client;
    GetClientRect(grid.window, &client);
    POINT point = {x, y};
    if (PtInRect(&client, point)) {
        GridStopAutoScroll(grid);
    } else if (grid.autoScrollTimer == 0) {
        grid.autoScrollTicks = 0;
        grid.autoScrollTimer = SetTimer(grid.window, kAutoScrollTimer, kAutoScrollPeriod, nullptr);
    }
}

// One step every m ticks toward a cursor d pixels outside the edge: m is 8 close to the
// edge, 3 further out and 1 far away.
static int AutoScrollStep(int at, int low, int high, int ticks)
{
    int distance, direction;
    if (at < low) {
        distance = low - at;
        direction = -1;
    } else if (at >= high) {
        distance = at - high;
        direction = 1;
    } else {
        return 0;
    }
    int every = distance < 16 ? 8 : distance < 48 ? 3 : 1;
    return ticks % every == 0 ? direction : 0;
}

// Moves a bar's thumb by step within its range; gives the new position.
static int StepBar(const GridState& grid, int bar, int step)
{
    int low = 1, high = 1;
    GetScrollRange(grid.window, bar, &low, &high);
    int position = GridClamp((long long)GetScrollPos(grid.window, bar) + step, 1, high > 1 ? high : 1);
    SetScrollPos(grid.window, bar, position, FALSE);
    return position;
}

// Only the view moves; the current cell follows with the next mouse move.
void GridOnAutoScrollTick(GridState& grid)
{
    RECT client;
    GetClientRect(grid.window, &client);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(grid.window, &cursor);
    int verticalStep = AutoScrollStep(cursor.y, client.top, client.bottom, grid.autoScrollTicks);
    int horizontalStep = AutoScrollStep(cursor.x, client.left, client.right, grid.autoScrollTicks);
    if (grid.state & GRID_HSCROLLSHOWN) {
        int left = StepBar(grid, SB_HORZ, horizontalStep);
        grid.leftColumn = uint16_t(GridClamp(left, 1, grid.columnCount > 1 ? grid.columnCount - 1 : 1));
    }
    if (grid.state & GRID_VSCROLLSHOWN) {
        int top = StepBar(grid, SB_VERT, verticalStep);
        grid.topRow = uint16_t(GridClamp(top, 1, grid.rowCount > 1 ? grid.rowCount - 1 : 1));
    }
    if (grid.state & (GRID_HSCROLLSHOWN | GRID_VSCROLLSHOWN))
        GridRepaint(grid);
    ++grid.autoScrollTicks;
}
