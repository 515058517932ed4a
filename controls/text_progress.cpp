// The text progress bar: state, messages and double-buffered painting.
#include "controls/text_progress.h"

#include "controls/offscreen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kTextProgressClass[] = "KVTEXTPROGRESS";

enum { kCaptionMax = 260 };

struct TextProgress {
    HWND window;
    char caption[kCaptionMax + 1];
    COLORREF textColor;
    COLORREF backgroundColor;
    COLORREF barColor;
    int vertical;
    int maximum;
    int minimum;
    int step;
    int position;
    HFONT font;
    // Kept between paints: the bar repaints on every position a job reports.
    OffscreenSurface surface;
    // What the window showed after its last paint; valid until a change that paint did not draw.
    bool shownValid;
    int shownFill;
    RECT shownClient;
    int shownVertical;
};

static TextProgress* ProgressOf(HWND window)
{
    return reinterpret_cast<TextProgress*>(GetWindowLongPtrA(window, 0));
}

// The default GUI font, a little heavier.
static HFONT CreateCaptionFont()
{
    LOGFONTA font = {};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font) == 0) {
        font.lfHeight = -11;
        snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "MS Shell Dlg");
    }
    font.lfWeight = 500;
    return CreateFontIndirectA(&font);
}

static LRESULT OnNcCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    TextProgress* bar = static_cast<TextProgress*>(calloc(1, sizeof(TextProgress)));
    if (bar == nullptr)
        return FALSE;
    bar->window = window;
    bar->textColor = 0x000000;
    bar->backgroundColor = kTextProgressDefaultColor;
    bar->barColor = RGB(0, 100, 210);
    bar->maximum = 255;
    bar->step = 1;
    bar->font = CreateCaptionFont();
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(bar));
    return DefWindowProcA(window, WM_NCCREATE, wParam, lParam) ? TRUE : FALSE;
}

static void OnNcDestroy(HWND window, TextProgress* bar)
{
    SetWindowLongPtrA(window, 0, 0);
    ReleaseSurface(bar->surface);
    if (bar->font != nullptr)
        DeleteObject(bar->font);
    free(bar);
}

static void RepaintNow(TextProgress& bar)
{
    bar.shownValid = false;
    RedrawWindow(bar.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Filled length: position / (maximum - minimum) of the extent, clipped to the window.
static int FilledLength(const TextProgress& bar, int extent)
{
    double span = double(bar.maximum) - double(bar.minimum);
    if (span == 0)
        return 0;
    double length = double(bar.position) / span * extent;
    return length <= 0 ? 0 : length >= extent ? extent : int(length);
}

static int FillOfClient(const TextProgress& bar, const RECT& client)
{
    return FilledLength(bar, bar.vertical ? client.bottom : client.right);
}

// True when a repaint would draw the very pixels the window shows and has nothing else
// waiting to be painted: the filled length in pixels, the size and the orientation are
// those of the last paint, and every other change has repainted since.
static bool ShowsCurrentState(const TextProgress& bar)
{
    if (!bar.shownValid)
        return false;
    RECT client;
    GetClientRect(bar.window, &client);
    return EqualRect(&client, &bar.shownClient) && bar.vertical == bar.shownVertical &&
           FillOfClient(bar, client) == bar.shownFill && !GetUpdateRect(bar.window, nullptr, FALSE);
}

// Returns the old value of a field after storing the new one and repainting.
static LRESULT Exchange(TextProgress& bar, COLORREF& field, COLORREF value)
{
    COLORREF previous = field;
    field = value;
    RepaintNow(bar);
    return LRESULT(previous);
}

static LRESULT SetPosition(TextProgress& bar, int position)
{
    int previous = bar.position;
    bar.position = position;
    if (!ShowsCurrentState(bar))
        RepaintNow(bar);
    return previous;
}

static LRESULT StepIt(TextProgress& bar)
{
    long long next = (long long)bar.position + bar.step;
    return SetPosition(bar, next > bar.maximum ? bar.minimum : int(next));
}

static LRESULT GetRange(const TextProgress& bar, WPARAM wantMinimum, PBRANGE* range)
{
    if (range != nullptr) {
        range->iLow = bar.minimum;
        range->iHigh = bar.maximum;
        return 0;
    }
    return wantMinimum == 1 ? bar.minimum : wantMinimum == 0 ? bar.maximum : 0;
}

static void OnSetText(TextProgress& bar, const char* text)
{
    if (text == nullptr)
        return;
    snprintf(bar.caption, sizeof(bar.caption), "%s", text);
    RepaintNow(bar);
}

static LRESULT OnGetText(const TextProgress& bar, WPARAM size, char* buffer)
{
    if (buffer == nullptr || size == 0)
        return 0;
    size_t length = strnlen(bar.caption, size - 1);
    memcpy(buffer, bar.caption, length);
    buffer[length] = '\0';
    return LRESULT(length);
}

static void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

static void DrawCaption(const TextProgress& bar, HDC dc, RECT client, const RECT* clip, COLORREF color)
{
    int saved = SaveDC(dc);
    if (clip != nullptr)
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    SetTextColor(dc, color);
    DrawTextA(dc, bar.caption, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
}

static void PaintBar(const TextProgress& bar, HDC dc, RECT client)
{
    RECT filled = client, rest = client;
    const int fill = FillOfClient(bar, client);
    if (bar.vertical) {
        filled.top = client.bottom - fill;
        rest.bottom = filled.top;
    } else {
        filled.right = fill;
        rest.left = filled.right;
    }
    if (bar.backgroundColor == kTextProgressDefaultColor)
        FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
    else
        FillSolid(dc, rest, bar.backgroundColor);
    FillSolid(dc, filled, bar.barColor);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, bar.font != nullptr ? bar.font : GetStockObject(DEFAULT_GUI_FONT));
    if (bar.textColor != kTextProgressDefaultColor || bar.backgroundColor == kTextProgressDefaultColor) {
        DrawCaption(bar, dc, client, nullptr, bar.textColor);
    } else {
        DrawCaption(bar, dc, client, &filled, bar.backgroundColor);
        DrawCaption(bar, dc, client, &rest, bar.barColor);
    }
    SelectObject(dc, oldFont);
}

static void PaintBarNow(HDC dc, void* context)
{
    const TextProgress& bar = *static_cast<const TextProgress*>(context);
    RECT client;
    GetClientRect(bar.window, &client);
    PaintBar(bar, dc, client);
}

// Always through an off-screen bitmap: the caption is drawn over the bar in up to two passes.
static void Paint(HDC target, void* context)
{
    const TextProgress& bar = *static_cast<const TextProgress*>(context);
    RECT client;
    GetClientRect(bar.window, &client);
    PaintOffscreen(target, client.right, client.bottom, PaintBarNow, context);
}

// The window's own paint goes through the kept surface and notes what the window now shows.
static void PaintToWindow(HDC target, void* context)
{
    TextProgress& bar = *static_cast<TextProgress*>(context);
    RECT client;
    GetClientRect(bar.window, &client);
    PaintThroughSurface(bar.surface, target, client.right, client.bottom, PaintBarNow, context);
    bar.shownValid = true;
    bar.shownFill = FillOfClient(bar, client);
    bar.shownClient = client;
    bar.shownVertical = bar.vertical;
}

LRESULT CALLBACK TextProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return OnNcCreate(window, wParam, lParam);
    TextProgress* bar = ProgressOf(window);
    if (bar == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case PBM_SETRANGE:
        bar->minimum = LOWORD(lParam);
        bar->maximum = HIWORD(lParam);
        return 0;
    case PBM_SETPOS:
        return SetPosition(*bar, int(wParam));
    case PBM_SETSTEP: {
        int previous = bar->step;
        bar->step = int(wParam);
        return previous;
    }
    case PBM_STEPIT:
        return StepIt(*bar);
    case PBM_SETRANGE32:
        bar->minimum = int(wParam);
        bar->maximum = int(lParam);
        return 0;
    case PBM_GETRANGE:
        return GetRange(*bar, wParam, reinterpret_cast<PBRANGE*>(lParam));
    case PBM_GETPOS:
        return bar->position;
    case PBM_SETBARCOLOR:
        return Exchange(*bar, bar->barColor, COLORREF(lParam));
    case PBM_SETBKCOLOR:
        return Exchange(*bar, bar->backgroundColor, COLORREF(lParam));
    case TXPM_SETTEXTCOLOR:
        return Exchange(*bar, bar->textColor, COLORREF(lParam));
    case TXPM_GETTEXTCOLOR:
        return LRESULT(bar->textColor);
    case TXPM_SETVERTICAL:
        bar->vertical = lParam != 0;
        return 0;
    case TXPM_GETVERTICAL:
        return bar->vertical;
    case TXPM_GETRANGE:
        if (wParam != 0)
            *reinterpret_cast<int*>(wParam) = bar->minimum;
        if (lParam != 0)
            *reinterpret_cast<int*>(lParam) = bar->maximum;
        return 0;
    case WM_SETTEXT:
        OnSetText(*bar, reinterpret_cast<const char*>(lParam));
        return 0;
    case WM_GETTEXT:
        return OnGetText(*bar, wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return LRESULT(strlen(bar->caption));
    case WM_PAINT:
        PaintWindow(window, reinterpret_cast<HDC>(wParam), wParam != 0 ? Paint : PaintToWindow, bar);
        return 0;
    case WM_PRINTCLIENT:
        if (wParam != 0)
            Paint(reinterpret_cast<HDC>(wParam), bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        OnNcDestroy(window, bar);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterTextProgressClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = TextProgressProc;
    // Owners may read the first 4 bytes; the state pointer needs all of a pointer's width.
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kTextProgressClass;
    return RegisterClassExA(&wc);
}
