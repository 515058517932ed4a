#include "app/hyperlink.h"

#include <cstdio>

#include "app/prompts.h"

namespace {

struct LinkRecord {
    char url[260];
    WNDPROC previousProc;
    COLORREF colour;
    COLORREF visitedColour;
};

const COLORREF kLinkBlue = 0xFF0000;
const COLORREF kVisitedPurple = 0x800080;

// One press at a time is possible with one mouse, so one flag serves every link.
bool g_pressed = false;

LinkRecord* RecordOf(HWND control)
{
    return reinterpret_cast<LinkRecord*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

// Created once and kept for the life of the program, shared by every link.
HFONT UnderlinedFont()
{
    static HFONT font = nullptr;
    if (font == nullptr) {
        LOGFONTA description = {};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
        description.lfUnderline = TRUE;
        font = CreateFontIndirectA(&description);
    }
    return font;
}

void OnPaint(HWND control, const LinkRecord& link)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT client;
    GetClientRect(control, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    char text[260] = "";
    GetWindowTextA(control, text, sizeof text);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    UINT format = DT_SINGLELINE;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        format |= DT_CENTER;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        format |= DT_RIGHT;
    if (style & SS_CENTERIMAGE)
        format |= DT_VCENTER;
    HGDIOBJ oldFont = SelectObject(dc, UnderlinedFont());
    SetTextColor(dc, link.colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, format);
    SelectObject(dc, oldFont);
    EndPaint(control, &paint);
}

void OnClick(HWND control, LinkRecord& link)
{
    g_pressed = false;
    link.colour = link.visitedColour;
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    char text[260] = "";
    const char* target = link.url;
    if (target[0] == '\0') {
        GetWindowTextA(control, text, sizeof text);
        target = text;
    }
    OpenUrl(control, target);
}

LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    LinkRecord* link = RecordOf(control);
    if (link == nullptr)
        return DefWindowProcA(control, message, wParam, lParam);
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_PAINT:
        OnPaint(control, *link);
        return 0;
    case WM_SETTEXT: {
        LRESULT result = CallWindowProcA(link->previousProc, control, message, wParam, lParam);
        InvalidateRect(control, nullptr, TRUE);
        return result;
    }
    case WM_LBUTTONDOWN:
        g_pressed = true;
        return 0;
    case WM_LBUTTONUP:
        if (g_pressed)
            OnClick(control, *link);
        return 0;
    case WM_NCDESTROY: {
        WNDPROC previous = link->previousProc;
        SetWindowLongPtrA(control, GWLP_USERDATA, 0);
        HeapFree(GetProcessHeap(), 0, link);
        return CallWindowProcA(previous, control, message, wParam, lParam);
    }
    }
    return CallWindowProcA(link->previousProc, control, message, wParam, lParam);
}

} // namespace

void MakeHyperlink(HWND dialog, int controlId, const char* url, COLORREF colour)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr || RecordOf(control) != nullptr)
        return;
    LinkRecord* link = static_cast<LinkRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(LinkRecord)));
    if (link == nullptr)
        return;
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOTIFY);
    snprintf(link->url, sizeof link->url, "%s", url != nullptr ? url : "");
    link->colour = colour == COLORREF(-1) ? kLinkBlue : colour;
    link->visitedColour = kVisitedPurple;
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link));
    link->previousProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc)));
}

COLORREF HyperlinkColour(HWND control)
{
    if (control == nullptr || GetWindowLongPtrA(control, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(LinkProc))
        return CLR_INVALID;
    LinkRecord* link = RecordOf(control);
    return link != nullptr ? link->colour : CLR_INVALID;
}
