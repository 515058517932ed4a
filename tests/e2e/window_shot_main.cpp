// t6shot OUT.bmp [TIMEOUT_MS]: waits for the main window of a running t6utility.exe and
// for the end of its first query, then saves what the window shows as a BMP picture.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/window_driver.h"

namespace {

// The window's pixels as the screen shows them, into a 24-bit BMP.
bool SaveWindowPicture(HWND window, const char* path)
{
    RECT box;
    GetWindowRect(window, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bool saved = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
        // Without a window manager nobody draws the title bar: draw it over the strip
        // above the menu bar, so the picture shows the title as a desktop would.
        POINT client = {0, 0};
        ClientToScreen(window, &client);
        RECT caption = {0, 0, width, client.y - box.top - GetSystemMetrics(SM_CYMENU) - 1};
        if (caption.bottom > 0)
            DrawCaption(window, memory, &caption, DC_ACTIVE | DC_TEXT | DC_GRADIENT);
        GdiFlush();
        SelectObject(memory, old);
        const DWORD rowSize = (DWORD(width) * 3 + 3) & ~3u;
        const DWORD imageSize = rowSize * DWORD(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        std::vector<uint8_t> bytes(file.bfSize);
        memcpy(&bytes[0], &file, sizeof file);
        memcpy(&bytes[sizeof file], &info.bmiHeader, sizeof info.bmiHeader);
        memcpy(&bytes[file.bfOffBits], pixels, imageSize);
        saved = WriteWholeFile(path, bytes);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fputs("usage: t6shot OUT.bmp [TIMEOUT_MS]\n", stderr);
        return 2;
    }
    const DWORD timeoutMs = argc > 2 ? DWORD(strtoul(argv[2], nullptr, 10)) : 20000;
    HWND window = WaitForProcessWindow(0, kMainTitleStart, timeoutMs);
    if (window == nullptr) {
        fputs("t6shot: no main window\n", stderr);
        return 1;
    }
    auto queryFinished = [&] {
        const std::string status = ControlText(window, IDC_STATUS_BOX);
        return status.find("Hardware ready.") != std::string::npos ||
               status.find("Hardware not found.") != std::string::npos;
    };
    if (!WaitUntil(queryFinished, timeoutMs))
        fputs("t6shot: the query has not finished; saving the window as it is\n", stderr);
    // The completion handler fills the grid and the title after the status lines.
    Sleep(500);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(200);
    if (!SaveWindowPicture(window, argv[1])) {
        fprintf(stderr, "t6shot: cannot write %s\n", argv[1]);
        return 1;
    }
    printf("t6shot: saved the main window in %s\n", argv[1]);
    return 0;
}
