#include "controls/offscreen.h"

void ReleaseSurface(OffscreenSurface& surface)
{
    if (surface.dc != nullptr && surface.oldBitmap != nullptr)
        SelectObject(surface.dc, surface.oldBitmap);
    if (surface.bitmap != nullptr)
        DeleteObject(surface.bitmap);
    if (surface.dc != nullptr)
        DeleteDC(surface.dc);
    surface = OffscreenSurface();
}

static bool MakeSurface(OffscreenSurface& surface, HDC target, int width, int height)
{
    ReleaseSurface(surface);
    surface.dc = CreateCompatibleDC(target);
    surface.bitmap = CreateCompatibleBitmap(target, width, height);
    if (surface.dc == nullptr || surface.bitmap == nullptr) {
        ReleaseSurface(surface);
        return false;
    }
    surface.oldBitmap = SelectObject(surface.dc, surface.bitmap);
    surface.width = width;
    surface.height = height;
    return true;
}

void PaintThroughSurface(OffscreenSurface& surface, HDC target, int width, int height, PaintProc paint,
                         void* context)
{
    if (width <= 0 || height <= 0)
        return;
    const bool ready = surface.dc != nullptr && surface.width == width && surface.height == height;
    if (!ready && !MakeSurface(surface, target, width, height)) {
        // Without an off-screen surface the control still paints, only with flicker.
        paint(target, context);
        return;
    }
    paint(surface.dc, context);
    BitBlt(target, 0, 0, width, height, surface.dc, 0, 0, SRCCOPY);
}

void PaintOffscreen(HDC target, int width, int height, PaintProc paint, void* context)
{
    OffscreenSurface surface = OffscreenSurface();
    PaintThroughSurface(surface, target, width, height, paint, context);
    ReleaseSurface(surface);
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
