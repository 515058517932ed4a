// Painting helpers shared by the controls: flicker-free drawing through an off-screen
// bitmap, and one paint routine serving WM_PAINT and WM_PRINTCLIENT alike.
#pragma once
#include <windows.h>

typedef void (*PaintProc)(HDC dc, void* context);

// Draws into a bitmap of width x height and copies it to target in one BitBlt; draws
// straight into target when no bitmap can be had.
void PaintOffscreen(HDC target, int width, int height, PaintProc paint, void* context);

// Paints into given when a message supplied a context (WM_PRINTCLIENT, or WM_PAINT with a
// context in wParam), else between BeginPaint and EndPaint.
void PaintWindow(HWND window, HDC given, PaintProc paint, void* context);
