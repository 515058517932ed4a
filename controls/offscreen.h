// Painting helpers shared by the controls: flicker-free drawing through an off-screen
// bitmap, and one paint routine serving WM_PAINT and WM_PRINTCLIENT alike.
#pragma once
#include <windows.h>

typedef void (*PaintProc)(HDC dc, void* context);

// An off-screen bitmap with its context, kept between paints by a control that repaints
// often; made on first use and again only when the size changes.
struct OffscreenSurface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    int width;
    int height;
};

// Draws into the surface's bitmap of width x height (made compatible with target when it
// is missing or of another size) and copies it to target in one BitBlt; draws straight
// into target when no bitmap can be had.
void PaintThroughSurface(OffscreenSurface& surface, HDC target, int width, int height, PaintProc paint,
                         void* context);
void ReleaseSurface(OffscreenSurface& surface);

// The same through a surface made for this one paint.
void PaintOffscreen(HDC target, int width, int height, PaintProc paint, void* context);

// Paints into given when a message supplied a context (WM_PRINTCLIENT, or WM_PAINT with a
// context in wParam), else between BeginPaint and EndPaint.
void PaintWindow(HWND window, HDC given, PaintProc paint, void* context);
