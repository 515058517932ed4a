// Progress of long device operations, handed to an optional callback.
#pragma once
#include <cstdarg>
#include <cstdint>

struct ProgressInfo {
    uint32_t size;    // of this record, set by the producer
    uint32_t current; // steps done
    uint32_t total;   // steps announced
    uint32_t flags;
    char* text;       // a status line when flags has kProgressText; may be null
    uint32_t textSize;
};

enum : uint32_t {
    kProgressStep = 0,     // current was just raised by one
    kProgressBegin = 1,    // total is valid
    kProgressEnd = 2,
    kProgressOpenStep = 4, // a step of an operation whose step count is open
    kProgressText = 8,
};

// Returns 0; the result is not used.
typedef int (*ProgressCallback)(ProgressInfo* info);

// Fills one operation's record and reports it; every call does nothing without a callback.
class ProgressReporter {
public:
    ProgressReporter(ProgressCallback callback, char* textBuffer, uint32_t textSize);

    void Begin(uint32_t total);
    void Step();
    void OpenStep();
    // Formats the record's text (bounded by its buffer) without reporting it.
    void SetText(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Formats the text and reports it with kProgressText.
    void Text(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // kProgressEnd alone, or kProgressEnd | kProgressText with the text dropped.
    void End(uint32_t flags);
    ProgressInfo& info() { return info_; }

private:
    void Report(uint32_t flags);
    void FormatText(const char* format, va_list args);

    ProgressCallback callback_;
    char* buffer_;
    ProgressInfo info_;
};
