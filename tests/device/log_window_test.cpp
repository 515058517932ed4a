#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "device/log_window.h"

namespace {

std::string TextOf(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::string text(size_t(length) + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(size_t(length));
    return text;
}

HWND CreateLogWindow(LogSink* sink)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_TRUE(RegisterLogWindowClass(instance));
    return CreateWindowExA(0, kLogWindowClass, "Log", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           instance, sink);
}

// Delivers messages until the event is set, or for the given time when it never is.
void PumpUntil(HANDLE event, DWORD milliseconds = 10000)
{
    DWORD end = GetTickCount() + milliseconds;
    for (DWORD now = GetTickCount(); int(end - now) > 0; now = GetTickCount()) {
        if (MsgWaitForMultipleObjects(1, &event, FALSE, end - now, QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

} // namespace

TEST(StatusText, BreaksOnlyBetweenTexts)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    AppendStatusText(edit, "Searching...", 2, 0);
    EXPECT_EQ(TextOf(edit), "Searching...");
    AppendStatusText(edit, " OK", 0, 0);
    AppendStatusText(edit, "Next", 2, 0);
    EXPECT_EQ(TextOf(edit), "Searching... OK\r\n\r\nNext");
    // Clearing comes first, so no break goes before the new text.
    AppendStatusText(edit, "Fresh", 1, 1);
    EXPECT_EQ(TextOf(edit), "Fresh");
    DestroyWindow(edit);
}

TEST(LogWindow, ShowsLinesClearsAndStaysReadOnly)
{
    LogSink sink = {nullptr, nullptr, nullptr, nullptr, GetStockObject(DEFAULT_GUI_FONT)};
    HWND window = CreateLogWindow(&sink);
    ASSERT_NE(window, nullptr);
    HWND edit = static_cast<HWND>(sink.editControl);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(sink.logWindow.load(), window);

    // Centred on the desktop.
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    EXPECT_EQ(own.left, desktop.left + (desktop.right - desktop.left) / 2 - (own.right - own.left) / 2);
    EXPECT_EQ(own.top, desktop.top + (desktop.bottom - desktop.top) / 2 - (own.bottom - own.top) / 2);

    LogPrintf(&sink, "KVSerial: %s opened at %i baud", "\\\\.\\COM7", 115200);
    LogHexDump(&sink, "KVSerial: Write", "VV", 2);
    EXPECT_EQ(TextOf(edit), "KVSerial: \\\\.\\COM7 opened at 115200 baud\r\nKVSerial: Write\r\n0000: 56 56 " +
                                std::string(42, ' ') + "VV");

    // Typing changes nothing; Ctrl+C copies the selection.
    SendMessageA(edit, EM_SETSEL, 0, 8);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(TextOf(edit).substr(0, 9), "KVSerial:");
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    CloseClipboard();
    SendMessageA(edit, WM_CHAR, 3, 0);
    ASSERT_TRUE(OpenClipboard(window));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "KVSerial");
    GlobalUnlock(data);
    CloseClipboard();

    // "Clear" empties the box; the next line starts without a break.
    SendMessageA(window, WM_COMMAND, IDM_LOG_CLEAR, 0);
    EXPECT_EQ(TextOf(edit), "");
    LogPrintf(&sink, "after");
    EXPECT_EQ(TextOf(edit), "after");

    // Closing the window turns logging off.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(sink.appendLine.load(), nullptr);
    EXPECT_EQ(sink.editControl, nullptr);
    LogPrintf(&sink, "dropped");
}

TEST(LogWindow, LinesFromAWorkerArriveWholeAndInOrder)
{
    LogSink sink = {nullptr, nullptr, nullptr, nullptr, nullptr};
    HWND window = CreateLogWindow(&sink);
    ASSERT_NE(window, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            LogPrintf(&sink, "line %03d", i);
        SetEvent(done);
    });
    PumpUntil(done);
    worker.join();
    std::string expected;
    char line[16];
    for (int i = 0; i < 100; ++i) {
        snprintf(line, sizeof line, "%sline %03d", i ? "\r\n" : "", i);
        expected += line;
    }
    EXPECT_EQ(TextOf(static_cast<HWND>(sink.editControl)), expected);
    CloseHandle(done);
    DestroyWindow(window);
}

TEST(LogWindow, ClosingWhileAWorkerLogs)
{
    // Lines that take long to format: the window closes while one is being formatted.
    for (int round = 0; round < 5; ++round) {
        LogSink sink = {nullptr, nullptr, nullptr, nullptr, nullptr};
        HWND window = CreateLogWindow(&sink);
        ASSERT_NE(window, nullptr);
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> stop{false};
        std::thread worker([&] {
            while (!stop.load())
                LogPrintf(&sink, "%*d", 1 << 20, round);
            SetEvent(done);
        });
        PumpUntil(done, 30);
        SendMessageA(window, WM_CLOSE, 0, 0);
        PumpUntil(done, 30);
        stop = true;
        PumpUntil(done);
        worker.join();
        CloseHandle(done);
        EXPECT_FALSE(IsWindow(window));
    }
}
