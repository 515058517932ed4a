// The diagnostic log: a printf-style trace of what the device layers do.
//
// Producers hold a borrowed LogSink pointer; a null pointer, or a sink with no appendLine
// (the log window sets it while its edit control exists), turns logging off before any
// formatting, so the device layers log every command and reply unconditionally.
#pragma once
#include <atomic>
#include <cstdint>

typedef void (*LogAppendLine)(struct LogSink* sink, const char* line);

struct LogSink {
    // Appends one line: "\r\n" first unless the destination is empty, then the line.
    // Atomic, and read once a line, because the log window clears it on its own thread
    // while a worker may be logging.
    std::atomic<LogAppendLine> appendLine;
    void* context;       // the owner's, for appendLine
    // Kept by the log window while it exists (window, its edit control, the edit's font);
    // the window is read by whichever thread logs.
    std::atomic<void*> logWindow;
    void* editControl;
    void* font;
};

// Longest formatted line; longer output is cut.
enum { kLogLineMax = 4095 };

void LogPrintf(LogSink* sink, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// An optional title line, then 16 bytes a line: "%04X: " offset, hex column 48 wide, text.
void LogHexDump(LogSink* sink, const char* title, const void* data, uint32_t length);
