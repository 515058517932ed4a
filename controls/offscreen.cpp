#include "controls/offscreen.h"

void PaintOffscreen(HDC target, int width, int height, PaintProc paint, void* context)
{
    if (width <= 0 || height <= 0)
        return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    if (memory == nullptr || bitmap == nullptr) {
        // Without an off-screen surface the control still paints, only with flicker.
        if (memory != nullptr)
            DeleteDC(memory);
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        paint(target, context);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    paint(memory, context);
    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void PaintWindow(HWND window, HDC given, PaintProc paint, void* context)
{
    if (given != nullptr) {
        paint(given, context);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc != nullptr)
        paint(dc, context);
    EndPaint(window, &ps);
}
