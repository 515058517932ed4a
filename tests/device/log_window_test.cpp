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

TEST(LogWindow, ShowsLinesClearsAndStaysReadOnly)
{
    LogSink sink = {nullptr, nullptr, nullptr, nullptr, GetStockObject(DEFAULT_GUI_FONT)};
    HWND window = CreateLogWindow(&sink);
    ASSERT_NE(window, nullptr);
    HWND edit = static_cast<HWND>(sink.editControl);
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
    EXPECT_STREQ(data != nullptr ? static_cast<const char*>(GlobalLock(data)) : "(none)", "KVSerial");
    GlobalUnlock(data);
    CloseClipboard();

    // "Clear" empties the box; the next line starts without a break.
    SendMessageA(window, WM_COMMAND, IDM_LOG_CLEAR, 0);
    EXPECT_EQ(TextOf(edit), "");
    LogPrintf(&sink, "after");
    EXPECT_EQ(TextOf(edit), "after");

    // A full box drops its oldest lines, whole, so the newest always shows; an outcome
    // appended to the last line stays on it.
    SendMessageA(edit, EM_SETLIMITTEXT, 100, 0);
    for (int i = 10; i < 30; ++i)
        LogPrintf(&sink, "line %d", i);
    AppendStatusText(edit, " OK", 0, 0);
    const std::string kept = TextOf(edit);
    EXPECT_LE(kept.size(), 100u);
    EXPECT_EQ(kept.substr(0, 5), "line ") << kept;
    const std::string newest = "line 28\r\nline 29 OK";
    EXPECT_EQ(kept.substr(kept.size() - newest.size()), newest) << kept;

    // Closing the window turns logging off.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(sink.appendLine.load(), nullptr);
    EXPECT_EQ(sink.editControl, nullptr);
    LogPrintf(&sink, "dropped");
}

// A worker's lines arrive whole and in order. Closing the window while a worker formats a
// line that takes long is safe: the worker goes on with the append function it read.
TEST(LogWindow, LinesFromAWorkerArriveInOrderAndClosingMeanwhileIsSafe)
{
    std::string expected;
    for (int i = 0; i < 100; ++i)
        expected += (i ? "\r\nline " : "line ") + std::to_string(i);
    for (int round = 0; round < 5; ++round) {
        LogSink sink = {nullptr, nullptr, nullptr, nullptr, nullptr};
        HWND window = CreateLogWindow(&sink);
        ASSERT_NE(window, nullptr);
        HWND edit = static_cast<HWND>(sink.editControl);
        HANDLE logged = CreateEventA(nullptr, TRUE, FALSE, nullptr), done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> stop{false};
        std::thread worker([&] {
            for (int i = 0; i < 100; ++i)
                LogPrintf(&sink, "line %d", i);
            SetEvent(logged);
            while (!stop.load())
                LogPrintf(&sink, "%*d", 1 << 20, round);
            SetEvent(done);
        });
        PumpUntil(logged);
        EXPECT_EQ(TextOf(edit).substr(0, expected.size()), expected);
        PumpUntil(done, 30);
        SendMessageA(window, WM_CLOSE, 0, 0);
        PumpUntil(done, 30);
        stop = true;
        PumpUntil(done);
        worker.join();
        CloseHandle(logged);
        CloseHandle(done);
        EXPECT_FALSE(IsWindow(window));
    }
}
